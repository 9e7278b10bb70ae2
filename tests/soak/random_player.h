#pragma once

#include <array>
#include <deque>
#include <random>

class World;

// A seeded, reproducible player that drives the real InputManager with window
// pixels, as GLUT would. It mixes purposeful play (spinning up on the ship,
// gathering debris, flying round the sun into the gas cloud, parking close to
// the sun inside every orbit) with stretches of random clicking and dragging
// anywhere, outside the window included, with every button the mouse reports,
// the wheel included.
class RandomPlayer {
public:
    RandomPlayer(unsigned seed, World& world);

    // The input of one frame, handed to the InputManager before the frame runs.
    void act();

private:
    struct Point {
        double x, y;
    };

    // One step of an errand: spin up on the ship, fly somewhere, plan the way to
    // the gas cloud from wherever the ship is by then, wait on the parking circle
    // until the trip out to the cloud and back crosses no planet, or fly through
    // the cloud's centre.
    enum class LegKind { Spin, Fly, PlanRouteToCloud, WaitForGap, ThroughCloud };
    struct Leg {
        LegKind kind;
        Point target;
        int frames; // Spin: how long to hold; Fly: how long to press, -1 until near
    };

    enum class Errand { FormPlanet, GatherAndForm, Spin, Wander, Chaos, Rest };

    void releaseDueButtons();
    void actOnMenu();
    void actWhileOver();
    void actInPlay();
    void abandonErrand();
    void startErrand();
    void followRoute();
    void spinLeg(const Leg& leg);
    void flyLeg(const Leg& leg);
    void waitLeg();
    void throughCloudLeg();
    void finishLeg();

    void queueRouteToCloud();
    // Where to aim to cross the cloud's centre from `from`: far past it when the
    // field allows, so the ship crosses fast; else just past it, held.
    Point markPastCloud(Point from, bool& far) const;
    bool tripIsSafe(Point from) const;

    void moveTo(Point world);
    void moveToPixel(int x, int y);
    void press(int button, int releaseAfterFrames);
    void release(int button);
    void randomButtonEvent();
    void randomMotion();
    bool anyButtonHeld() const;
    Point ship() const;
    Point randomPointInField();

    bool chance(double probability);
    int between(int low, int high);
    double uniform(double low, double high);

    static constexpr int kButtons = 5;

    World& world_;
    std::mt19937 random_;
    std::array<bool, kButtons> held_{};
    std::array<int, kButtons> releaseIn_{};
    int pointerX_ = 0;
    int pointerY_ = 0;
    // A careful game only forms planets, parks inside every orbit and waits for
    // gaps; the others mix in everything a player might do.
    bool careful_ = false;
    bool wasPlaying_ = false;
    Errand errand_ = Errand::Rest;
    int framesLeft_ = 0;
    std::deque<Leg> route_;
    bool legStarted_ = false;
    int legFrames_ = 0;
    int planetsAtLegStart_ = 0;
    Point cloudMark_{0.0, 0.0};
    int overFrames_ = 0;
    int nextRestartTry_ = 0;
};
