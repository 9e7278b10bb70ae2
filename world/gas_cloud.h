#pragma once

// The nursery of planets: a slowly turning, translucent cloud. The ship forms a
// planet by bringing its centre close to the cloud's.
class GasCloud {
public:
    GasCloud();

    void update(float dt);

    // Only the cloud's very centre counts, although it is drawn ten units wide.
    bool contains(float px, float py) const;

    void setX(float x) { x_ = x; }
    void setY(float y) { y_ = y; }

    float x() const { return x_; }
    float y() const { return y_; }
    float radius() const { return radius_; }
    float size() const { return size_; }
    float rotation() const { return rotation_; }

private:
    float x_;
    float y_;
    float size_;
    float radius_;
    float rotation_ = 0.0f;
    float rotationStep_ = 0.0f;
};
