#pragma once

// The sun at the system centre. It never moves, shimmers by cross-fading two
// pictures, and destroys what comes within reach of it.
class Sun {
public:
    Sun();

    void load();
    // dt is not used: the cross-fade runs on the elapsed-time clock.
    void update(float dt);
    void draw() const;

    // Whether (px, py) lies within reach plus the sun's own radius of its centre.
    bool contains(float px, float py, float reach) const;

    float radius() const { return radius_; }
    float alpha() const { return alpha_; }
    float glowAlpha() const { return glowAlpha_; }
    bool brightening() const { return brightening_; }

private:
    void stepCrossFade();
    void drawLayer(int texture, float alpha) const;

    int displayList_ = 0;
    int texture_ = 0;
    int glowTexture_ = 0;
    float x_;
    float y_;
    float z_;
    float size_;
    float radius_;
    float alpha_;
    float glowAlpha_;
    bool brightening_ = false;
    int lastStepTime_ = 0;
};
