#pragma once

// Points of the play field that several bodies agree on, in world units.
struct Landmark {
    float x;
    float y;
};

// The sun stands here; every orbit, polar angle and contact test is measured about it.
constexpr Landmark kSystemCentre{0.0f, 40.0f};
// Where the ship waits when the program starts and at the start of every new game.
constexpr Landmark kShipStart{0.0f, 48.0f};
