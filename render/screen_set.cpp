#include "render/screen_set.h"

#include "render/sprite_list.h"

#include <GL/gl.h>
#include <cmath>

namespace {

constexpr const char* kBackdropImage = "./images/background.tga";
constexpr const char* kTitleImage = "./images/titlescreen.tga";
constexpr const char* kInstructionsImage = "./images/instructions.tga";

// The list binds its own picture, so each screen loads its texture afresh.
void buildScreenList(std::int32_t& listId, const char* fileName) {
    int texture = -1;
    buildSpriteList(listId, texture, fileName);
}

void resetDrawingColour() {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

} // namespace

void ScreenSet::load() {
    buildScreenList(backgroundList_, kBackdropImage);
    buildScreenList(titleList_, kTitleImage);
    buildScreenList(instructionsList_, kInstructionsImage);
}

void ScreenSet::setBounds(double top, double right, double bottom, double left) {
    top_ = top;
    right_ = right;
    bottom_ = bottom;
    left_ = left;
}

// The unit sprite stretched over the play field; extents are whole units.
void ScreenSet::drawOverField(std::int32_t list) const {
    const auto width = std::abs(static_cast<int>(left_ - right_));
    const auto height = std::abs(static_cast<int>(top_ - bottom_));
    glPushMatrix();
    glTranslatef(static_cast<float>((left_ + right_) / 2.0),
                 static_cast<float>((bottom_ + top_) / 2.0), 0.0f);
    glScalef(static_cast<float>(width), static_cast<float>(height), 1.0f);
    glCallList(static_cast<GLuint>(list));
    glPopMatrix();
}

// Fully transparent texels of the backdrop leave what was drawn before.
void ScreenSet::drawBackdrop() const {
    beginSpriteDrawing();
    resetDrawingColour();
    drawOverField(backgroundList_);
    endSpriteDrawing();
    resetDrawingColour();
}

void ScreenSet::drawTitle() const {
    drawOpaque(titleList_);
}

void ScreenSet::drawInstructions() const {
    drawOpaque(instructionsList_);
}

void ScreenSet::drawOpaque(std::int32_t list) const {
    glEnable(GL_TEXTURE_2D);
    resetDrawingColour();
    drawOverField(list);
    glDisable(GL_TEXTURE_2D);
    resetDrawingColour();
}

ScreenSet& getScreenSet() {
    static ScreenSet* const screens = new ScreenSet();
    return *screens;
}
