#include "render/world_painter.h"

#include "render/sprite_list.h"
#include "render/texture_manager.h"
#include "world/landmarks.h"
#include "world/world.h"

#include <GL/gl.h>

namespace {

constexpr float kGasCloudOpacity = 0.6f;
constexpr float kEndImageScale = 45.0f;
constexpr float kPlane = 0.0f;
constexpr const char* kWinImage = "./images/win.tga";
constexpr const char* kLoseImage = "./images/lose.tga";

int pictureOf(const char* fileName) {
    return loadTexture(fileName, false, false);
}

void bindPicture(int texture) {
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
}

// Turns what is drawn next by `degrees` about the point (x, y).
void turnAbout(float x, float y, float degrees) {
    glTranslatef(x, y, 0.0f);
    glRotatef(degrees, 0.0f, 0.0f, 1.0f);
    glTranslatef(-x, -y, 0.0f);
}

} // namespace

void WorldPainter::load() {
    spriteList_ = newSpriteList();
    sunTexture_ = pictureOf("./images/sun.tga");
    sunGlowTexture_ = pictureOf("./images/sun2.tga");
    gasCloudTexture_ = pictureOf("./images/Gascloud.tga");
    debrisTexture_ = pictureOf("./images/Debris.tga");
    shipTexture_ = pictureOf("./images/Spaceship.tga");
    wreckTexture_ = pictureOf("./images/Explosion.tga");
    planetTexture_ = pictureOf("./images/Planet.tga");
    hitPlanetTexture_ = pictureOf("./images/moon.tga");
    formingPlanetTexture_ = pictureOf("./images/formation.tga");
}

void WorldPainter::draw(const World& world) {
    beginSpriteDrawing(); // once for every body
    drawSun(world.sun());
    drawGasCloud(world.gasCloud());
    for (const auto& debris : world.debris()) {
        drawDebris(*debris);
    }
    drawShip(world.ship());
    for (const auto& planet : world.planets()) {
        drawPlanet(*planet);
    }
    drawEndImage(world);
    endSpriteDrawing();
}

void WorldPainter::drawSun(const Sun& sun) const {
    beginSpriteDrawing();
    drawSunLayer(sunTexture_, sun.x(), sun.y(), sun.size(), sun.alpha());
    drawSunLayer(sunGlowTexture_, sun.x(), sun.y(), sun.size(), sun.glowAlpha());
    endSpriteDrawing();
}

// Opacities a hair outside [0, 1] are clamped by OpenGL when the colour is set.
void WorldPainter::drawSunLayer(int texture, float x, float y, float size, float alpha) const {
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    bindPicture(texture);
    drawSpriteList(spriteList_, x, y, kPlane, size, 0.0f);
}

void WorldPainter::drawGasCloud(const GasCloud& cloud) const {
    beginSpriteDrawing();
    glColor4f(1.0f, 1.0f, 1.0f, kGasCloudOpacity);
    bindPicture(gasCloudTexture_);
    drawSpriteList(spriteList_, cloud.x(), cloud.y(), kPlane, cloud.size(), cloud.rotation());
    endSpriteDrawing();
}

// A debris within reach of the ship circles it: it is drawn turned about the ship.
void WorldPainter::drawDebris(const Debris& debris) const {
    beginSpriteDrawing();
    glPushMatrix();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    if (debris.withinReachOfTarget()) {
        turnAbout(debris.targetX(), debris.targetY(), debris.angle());
    }
    bindPicture(debrisTexture_);
    drawSpriteList(spriteList_, debris.x(), debris.y(), kPlane, debris.size(), 0.0f);
    glPopMatrix();
    endSpriteDrawing();
}

void WorldPainter::drawShip(const Ship& ship) const {
    beginSpriteDrawing();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    bindPicture(ship.dead() ? wreckTexture_ : shipTexture_);
    drawSpriteList(spriteList_, ship.x(), ship.y(), kPlane, ship.size(), ship.rotation());
    endSpriteDrawing();
}

// A planet's start position never moves: it is drawn turned about the system
// centre by its orbit, white while it forms and in its tint once formed.
void WorldPainter::drawPlanet(const Planet& planet) const {
    beginSpriteDrawing();
    glPushMatrix();
    turnAbout(kSystemCentre.x, kSystemCentre.y, planet.orbitAngle());
    if (planet.formed()) {
        glColor4f(planet.red(), planet.green(), planet.blue(), 1.0f);
        bindPicture(planet.hit() ? hitPlanetTexture_ : planetTexture_);
    } else {
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        bindPicture(formingPlanetTexture_);
    }
    drawSpriteList(spriteList_, planet.x(), planet.y(), kPlane, planet.size(), planet.spin());
    glPopMatrix();
    endSpriteDrawing();
}

void WorldPainter::drawEndImage(const World& world) {
    const bool win = world.showsWin();
    if (!win && !world.showsLoss()) {
        holdEndPicture(EndPicture::None);
        return;
    }
    holdEndPicture(win ? EndPicture::Win : EndPicture::Lose);
    beginSpriteDrawing();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    bindPicture(endTexture_);
    drawSpriteList(spriteList_, kSystemCentre.x, kSystemCentre.y, kPlane, kEndImageScale, 0.0f);
    endSpriteDrawing();
}

void WorldPainter::holdEndPicture(EndPicture picture) {
    if (picture == endPicture_) {
        return;
    }
    releaseTexture(endTexture_);
    endPicture_ = picture;
    endTexture_ = picture == EndPicture::None
                      ? 0
                      : pictureOf(picture == EndPicture::Win ? kWinImage : kLoseImage);
}

WorldPainter& getWorldPainter() {
    static WorldPainter* const painter = new WorldPainter();
    return *painter;
}
