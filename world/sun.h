#pragma once

// The sun at the system centre. It never moves, shimmers by cross-fading two
// pictures, and destroys what comes within reach of it.
class Sun {
public:
    Sun();

    // Starts the cross-fade's clock at the frame's reading.
    void start();
    // dt is not used: the cross-fade runs on the elapsed-time clock.
    void update(float dt);

    // Whether (px, py) lies within reach plus the sun's own radius of its centre.
    bool contains(float px, float py, float reach) const;

    float x() const { return x_; }
    float y() const { return y_; }
    float size() const { return size_; }
    float radius() const { return radius_; }
    float alpha() const { return alpha_; }
    float glowAlpha() const { return glowAlpha_; }
    bool brightening() const { return brightening_; }

private:
    void stepCrossFade();

    float x_;
    float y_;
    float size_;
    float radius_;
    float alpha_;
    float glowAlpha_;
    bool brightening_ = false;
    int lastStepTime_ = 0;
};
