#pragma once

// The planet counter drawn over the play field.
class Hud {
public:
    void loadFont();
    void setPlanetsFormed(int count);
    void draw() const;

    float planetCount() const { return planetCount_; }

private:
    float planetCount_ = 0.0f;
};

Hud& getHud();
