#pragma once

class Debris;
class GasCloud;
class Planet;
class Ship;
class Sun;
class World;

// Draws the world as its rules leave it: every body in its picture, back to
// front (sun, cloud, debris, ship, planets), and the win or lose picture over
// the sun once a game is over. It reads the world and changes nothing in it.
// The end pictures are 1 MB each on a software renderer and show only after a
// game: each is read when it first shows, and let go when play goes on.
class WorldPainter {
public:
    // Loads the bodies' pictures and the sprite quad; needs a current OpenGL
    // context. A picture that cannot be read draws as a plain square.
    void load();
    void draw(const World& world);

    void drawSun(const Sun& sun) const;
    void drawGasCloud(const GasCloud& cloud) const;
    void drawDebris(const Debris& debris) const;
    void drawShip(const Ship& ship) const;
    void drawPlanet(const Planet& planet) const;
    void drawEndImage(const World& world);
    // The texture of the end picture held; 0 for none.
    int endPicture() const { return endTexture_; }

private:
    void drawSunLayer(int texture, float x, float y, float size, float alpha) const;
    enum class EndPicture { None, Win, Lose };
    void holdEndPicture(EndPicture picture);

    int spriteList_ = 0;
    int sunTexture_ = 0;
    int sunGlowTexture_ = 0;
    int gasCloudTexture_ = 0;
    int debrisTexture_ = 0;
    int shipTexture_ = 0;
    int wreckTexture_ = 0;
    int planetTexture_ = 0;
    int hitPlanetTexture_ = 0;
    int formingPlanetTexture_ = 0;
    EndPicture endPicture_ = EndPicture::None;
    int endTexture_ = 0;
};

WorldPainter& getWorldPainter();
