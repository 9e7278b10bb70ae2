#pragma once

// One speck of the raw material of planets. It glides towards the ship while
// attracted, is captured once within reach of it, and then circles it.
class Debris {
public:
    Debris();

    void update(float dt);
    // Back to the constructed state, except that a returning debris is full size.
    void reset();

    // Captures the debris when it is within reach of its target; never releases it.
    bool hasReachedTarget();
    bool withinReachOfTarget() const;
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
    float targetX() const { return targetX_; }
    float targetY() const { return targetY_; }
    bool isCaptured() const { return captured_; }

private:
    void restoreDefaults(float size);
    void approachTarget(float dt);

    float x_;
    float y_;
    float size_;
    float angle_;
    int attracted_; // -1 not yet tested, 0 out of range, 1 within range
    float spinRate_;
    float targetX_;
    float targetY_;
    bool captured_;
    float attractRange_;
};
