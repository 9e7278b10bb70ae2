#include "render/screen_set.h"

#include "render/sprite_list.h"
#include "render/texture_manager.h"

#include <GL/gl.h>
#include <cmath>

namespace {

constexpr const char* kBackdropImage = "./images/background.tga";
constexpr const char* kTitleImage = "./images/titlescreen.tga";
constexpr const char* kInstructionsImage = "./images/instructions.tga";

struct Viewport {
    int width;
    int height;
};

Viewport currentViewport() {
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    return Viewport{viewport[2], viewport[3]};
}

const char* pictureOf(GameScreen screen) {
    switch (screen) {
    case GameScreen::Title:
        return kTitleImage;
    case GameScreen::Instructions:
        return kInstructionsImage;
    case GameScreen::Playing:
        break;
    }
    return kBackdropImage;
}

void resetDrawingColour() {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

} // namespace

void ScreenSet::loadTitle() {
    listFor(kTitleImage);
}

void ScreenSet::setBounds(double top, double right, double bottom, double left) {
    top_ = top;
    right_ = right;
    bottom_ = bottom;
    left_ = left;
}

bool ScreenSet::holds(GameScreen screen) const {
    const char* const file = pictureOf(screen);
    return windowPicture_.holds(file) || (stretchedList_ >= 0 && stretchedFile_ == file);
}

// The list that draws `fileName` over the unit square, read first when it is
// not the picture held at the viewport's size.
int ScreenSet::listFor(const char* fileName) {
    const Viewport viewport = currentViewport();
    windowPicture_.load(fileName, viewport.width, viewport.height);
    if (windowPicture_.list() >= 0) {
        releaseStretched();
        return windowPicture_.list();
    }
    return stretch(fileName);
}

int ScreenSet::stretch(const char* fileName) {
    if (stretchedList_ >= 0 && stretchedFile_ == fileName) {
        return stretchedList_;
    }
    releaseStretched();
    stretchedFile_ = fileName;
    buildSpriteList(stretchedList_, stretchedTexture_, fileName);
    stretchedOpaque_ = isOpaqueTexture(stretchedTexture_);
    return stretchedList_;
}

void ScreenSet::releaseStretched() {
    if (stretchedList_ >= 0) {
        glDeleteLists(static_cast<GLuint>(stretchedList_), 1);
        stretchedList_ = -1;
    }
    releaseTexture(stretchedTexture_);
    stretchedTexture_ = -1;
    stretchedOpaque_ = false;
    stretchedFile_.clear();
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
    const int list = listFor(kBackdropImage);
    if (windowPicture_.list() >= 0 || stretchedOpaque_) {
        drawOpaque(list);
        return;
    }
    beginSpriteDrawing();
    resetDrawingColour();
    drawOverField(list);
    endSpriteDrawing();
    resetDrawingColour();
}

void ScreenSet::drawTitle() {
    drawOpaque(listFor(kTitleImage));
}

void ScreenSet::drawInstructions() {
    drawOpaque(listFor(kInstructionsImage));
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
