#include "render/screen_set.h"

#include "platform/platform.h"
#include "render/sprite_list.h"
#include "render/texture_manager.h"

#include <GL/gl.h>
#include <cmath>

namespace {

constexpr const char* kBackdropImage = "./images/background.tga";
constexpr const char* kTitleImage = "./images/titlescreen.tga";
constexpr const char* kInstructionsImage = "./images/instructions.tga";

// The list binds its own picture, so each screen loads its texture afresh;
// the texture is returned, or -1 when the list was already built.
int buildScreenList(std::int32_t& listId, const char* fileName) {
    int texture = -1;
    buildSpriteList(listId, texture, fileName);
    return texture;
}

// A texture of -1 stands for a list built by an earlier load: it is kept.
void keepTexture(int& field, int texture) {
    if (texture >= 0) {
        field = texture;
    }
}

void releaseScreen(std::int32_t& listId, int& texture) {
    if (listId >= 0) {
        glDeleteLists(static_cast<GLuint>(listId), 1);
        listId = -1;
    }
    releaseTexture(texture);
    texture = -1;
}

struct Viewport {
    int width;
    int height;
};

Viewport currentViewport() {
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    return Viewport{viewport[2], viewport[3]};
}

void resetDrawingColour() {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

} // namespace

void ScreenSet::load() {
    loadBackdrop();
    loadTitle();
    keepTexture(instructionsTexture_, buildScreenList(instructionsList_, kInstructionsImage));
}

// Kept at the viewport's size when the picture allows it, otherwise stretched
// over the field as the other screens are.
void ScreenSet::loadBackdrop() {
    const Viewport viewport = currentViewport();
    windowBackdrop_.load(kBackdropImage, viewport.width, viewport.height);
    if (windowBackdrop_.list() >= 0) {
        return;
    }
    const int backdrop = buildScreenList(backgroundList_, kBackdropImage);
    if (backdrop >= 0) {
        backdropOpaque_ = isOpaqueTexture(backdrop);
    }
}

void ScreenSet::loadTitle() {
    keepTexture(titleTexture_, buildScreenList(titleList_, kTitleImage));
}

// There is no way back to the menus once play has begun. Their two pictures
// are 8 MB on a software renderer, handed back to the system where it can.
void ScreenSet::releaseMenus() {
    if (titleList_ < 0 && instructionsList_ < 0) {
        return;
    }
    releaseScreen(titleList_, titleTexture_);
    releaseScreen(instructionsList_, instructionsTexture_);
    returnFreedMemory();
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

// Fully transparent texels of the backdrop leave what was drawn before. A
// backdrop without any is simply laid down: blending it would change no pixel
// and costs a software renderer a read of the whole window.
void ScreenSet::drawBackdrop() {
    const Viewport viewport = currentViewport();
    if (!windowBackdrop_.madeFor(viewport.width, viewport.height)) {
        loadBackdrop();
    }
    if (windowBackdrop_.list() >= 0) {
        drawOpaque(windowBackdrop_.list());
        return;
    }
    if (backdropOpaque_) {
        drawOpaque(backgroundList_);
        return;
    }
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
