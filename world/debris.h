#pragma once

// One speck of the raw material of planets. It glides towards the ship while
// attracted, is captured once within reach of it, and then circles it when drawn.
class Debris {
public:
    Debris();

    void load();
    void update(float dt);
    // Not const: a debris found within reach of its target while drawn is captured.
    void draw();
    // Back to the constructed state, except that a returning debris is full size.
    void reset();

    // Captures the debris when it is within reach of its target; never releases it.
    bool hasReachedTarget();
    bool checkInRange(float px, float py) const;

    void setX(float x) { x_ = x; }
    void setY(float y) { y_ = y; }
    void setTarget(float x, float y) {
        targetX_ = x;
        targetY_ = y;
    }
    void setAttractRange(float range) { attractRange_ = range; }
    void setAttracted(int attracted) { attracted_ = attracted; }
    void setSpinRate(float rate) { spinRate_ = rate; }

    float x() const { return x_; }
    float y() const { return y_; }
    float size() const { return size_; }
    float angle() const { return angle_; }
    bool isCaptured() const { return captured_; }

private:
    void restoreDefaults(float size);
    void approachTarget(float dt);

    int displayList_ = 0;
    int texture_ = 0;
    float x_;
    float y_;
    float z_;
    float size_;
    float angle_;
    float red_;
    float green_;
    float blue_;
    int attracted_; // -1 not yet tested, 0 out of range, 1 within range
    float spinRate_;
    float targetX_;
    float targetY_;
    bool captured_;
    float attractRange_;
};
