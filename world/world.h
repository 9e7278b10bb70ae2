#pragma once

// The simulated solar system: every body and the rules of a game.
class World {
public:
    void load();
    void update(float dt);
    void draw();

    bool isGameOver() const { return gameOver_; }
    void setRestartRequested(bool requested) { restartRequested_ = requested; }

private:
    bool restartRequested_ = false;
    bool gameOver_ = false;
};

// The one world, constructed before main runs.
World& getWorld();
