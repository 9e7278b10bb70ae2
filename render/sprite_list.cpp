#include "render/sprite_list.h"

#include "render/texture_manager.h"

#include <GL/gl.h>

namespace {

constexpr float kHalf = 0.5f;

int openSpriteDrawings = 0;

} // namespace

void recordSpriteQuad() {
    recordSpriteQuadPart(1.0f, 1.0f);
}

void recordSpriteQuadPart(float sMax, float tMax) {
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glTexCoord2f(0.0f, tMax);
    glVertex2f(-kHalf, -kHalf);
    glTexCoord2f(sMax, tMax);
    glVertex2f(kHalf, -kHalf);
    glTexCoord2f(sMax, 0.0f);
    glVertex2f(kHalf, kHalf);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-kHalf, kHalf);
    glEnd();
}

int newSpriteList() {
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    recordSpriteQuad();
    glEndList();
    return static_cast<int>(list);
}

void buildSpriteList(int& listId, int& textureId, const char* fileName) {
    if (listId >= 0) {
        return;
    }
    if (textureId < 0) {
        textureId = loadTexture(fileName, false, false);
    }
    listId = static_cast<int>(glGenLists(1));
    glNewList(static_cast<GLuint>(listId), GL_COMPILE);
    if (textureId >= 0) {
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(textureId));
    }
    recordSpriteQuad();
    glEndList();
}

void beginSpriteDrawing() {
    if (openSpriteDrawings++ > 0) {
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
}

void endSpriteDrawing() {
    if (--openSpriteDrawings > 0) {
        return;
    }
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
}

void drawSpriteList(int list, float x, float y, float z, float size, float rotation) {
    glPushMatrix();
    glTranslatef(x, y, z);
    glScalef(size, size, 1.0f);
    glRotatef(rotation, 0.0f, 0.0f, 1.0f);
    glCallList(static_cast<GLuint>(list));
    glPopMatrix();
}
