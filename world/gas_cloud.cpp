#include "world/gas_cloud.h"

#include "math/numeric.h"
#include "render/sprite_list.h"
#include "render/texture_manager.h"
#include "world/landmarks.h"

#include <GL/gl.h>

namespace {

constexpr float kStartZ = 0.0f;
constexpr float kSize = 10.0f;
constexpr float kDegreesPerSecond = 40.0f;
constexpr float kContactDistance = 1.0f;
constexpr float kOpacity = 0.6f;
constexpr const char* kImage = "./images/Gascloud.tga";

} // namespace

GasCloud::GasCloud()
    : x_(kSystemCentre.x), y_(kSystemCentre.y), z_(kStartZ), size_(kSize), radius_(kSize / 2.0f) {}

void GasCloud::load() {
    texture_ = loadTexture(kImage, false, false);
    displayList_ = newSpriteList();
}

void GasCloud::update(float dt) {
    rotationStep_ = kDegreesPerSecond * dt;
    rotation_ += rotationStep_;
}

bool GasCloud::contains(float px, float py) const {
    return distanceBetween(px, py, x_, y_) <= kContactDistance;
}

void GasCloud::draw() const {
    beginSpriteDrawing();
    glColor4f(1.0f, 1.0f, 1.0f, kOpacity);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture_));
    drawSpriteList(displayList_, x_, y_, z_, size_, rotation_);
    endSpriteDrawing();
}
