#pragma once

// Signed on purpose: Idle is numbered -1.
enum class MoveState : int { Idle = -1, SpinUp = 0, Travelling = 1 };

// The player's ship. It flies towards the point of the last button event, spins
// up while pressed on, and whirls as a wreck once the world declares it dead.
class Ship {
public:
    Ship();

    void update(float dt);

    // Judged on polar coordinates about the system centre: the angular difference
    // in degrees is held against the same reach as the distances in world units,
    // and does not wrap at 360.
    bool hitsPlanet(float px, float py, float planetRadius, float planetPolarAngle) const;

    void setTarget(float x, float y) {
        targetX_ = x;
        targetY_ = y;
    }
    void setButtonHeld(bool held);
    // Puts the ship down at rest for a new game: aimed at itself, not travelling,
    // no press held or pending. Its spin carries over.
    void restAt(float x, float y);
    void setX(float x) { x_ = x; }
    void setY(float y) { y_ = y; }
    void setDead(bool dead) { dead_ = dead; }
    void setTowCount(float count) { towCount_ = count; }

    float x() const { return x_; }
    float y() const { return y_; }
    float size() const { return size_; }
    float radius() const { return radius_; }
    float rotation() const { return rotation_; }
    bool dead() const { return dead_; }
    float targetX() const { return targetX_; }
    float targetY() const { return targetY_; }
    float velocityX() const { return velocityX_; }
    float velocityY() const { return velocityY_; }
    bool buttonHeld() const { return buttonHeld_; }
    // Pressed since the last update, or held: the player is at the controls.
    bool pressed() const { return buttonHeld_ || pressPending_; }
    MoveState moveState() const { return moveState_; }
    float spinRate() const { return spinRate_; }
    bool moving() const { return moving_; }
    float towCount() const { return towCount_; }
    float polarAngle() const { return polarAngle_; }

private:
    void takeControl();
    void move(float dt);
    void spin(float dt);
    bool isNear(float px, float py) const;
    bool hasArrived() const;
    void aim();
    void computePolarAngle(float px, float py);

    float x_;
    float y_;
    float size_;
    float radius_;
    float rotation_ = 0.0f;
    bool dead_ = false;
    float targetX_ = 0.0f;
    float targetY_ = 0.0f;
    float velocityX_ = 0.0f;
    float velocityY_ = 0.0f;
    bool buttonHeld_ = false;
    // A press seen since the last update: a click whose press and release both
    // arrive between two frames still counts once.
    bool pressPending_ = false;
    MoveState moveState_ = MoveState::Idle;
    float spinRate_;
    bool moving_ = false;
    float towCount_ = 0.0f;
    float polarAngle_ = 0.0f;
};
