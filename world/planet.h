#pragma once

// A planet formed from delivered debris. It spends two seconds forming, then
// shows tinted; from its creation it orbits the system centre, the faster the
// smaller it is. Its start position never moves: it is drawn turned about the
// centre by its orbit angle, and its polar angle tracks where it is.
class Planet {
public:
    Planet();

    void setX(float x) { x_ = x; }
    void setY(float y) { y_ = y; }
    void computePolarAngle(float px, float py);
    void setSize(float s);
    // Starts forming at the frame's clock reading, and takes its tint.
    void form();
    void update(float dt);

    // Evaluated on this planet: reach plus this planet's radius bounds the radial
    // gap, one less bounds the angular gap in degrees (no wrap at 360). Not
    // symmetric, so callers test each pair from both sides.
    bool touches(float px, float py, float reach, float otherPolarAngle) const;
    void markHit() { hit_ = true; }

    float x() const { return x_; }
    float y() const { return y_; }
    float size() const { return size_; }
    float radius() const { return radius_; }
    float orbitAngle() const { return orbitAngle_; }
    float red() const { return red_; }
    float green() const { return green_; }
    float blue() const { return blue_; }
    float polarAngle() const { return polarAngle_; }
    bool hit() const { return hit_; }
    float spin() const { return spin_; }
    bool formed() const { return formed_; }

private:
    void advanceOrbit(float dt);
    float randomFloat(float x) const;
    float randomRange(float a, float b) const;

    int formedAt_ = 0;
    float x_;
    float y_;
    float size_;
    float radius_;
    float orbitAngle_ = 0.0f;
    float red_ = 1.0f;
    float green_ = 1.0f;
    float blue_ = 1.0f;
    float orbitStep_ = 0.0f;
    float polarAngle_ = 0.0f;
    bool hit_ = false;
    float spin_ = 0.0f;
    bool formed_ = false;
};
