#pragma once

#include "gas_cloud_finder.h"
#include "play_field.h"
#include "ship_pilot.h"

#include <optional>
#include <vector>

// Forms planets in a running game as a player would: finds the gas cloud, flies
// round the sun to beside it, runs through its centre at speed, then leaves the
// new planet's orbit for a circle about the sun clear of every orbit so far.
class PlanetFormer {
public:
    enum class Approach { Formed, Missed, Lost };
    enum class Afterwards { LeaveTheOrbit, StayOnIt };

    PlanetFormer(const RunningGame& game, ShipPilot& pilot, const GasCloudFinder& finder);

    // Holds the button on the ship where it is: it spins up and gathers the
    // debris within reach. False when the ship was lost.
    bool spinUp();
    // One run through the cloud: Missed when the cloud lay out of reach or did
    // not move on (no planet formed), Lost when the ship was destroyed.
    Approach formPlanet(Afterwards afterwards);

    const std::vector<double>& orbits() const { return orbits_; }

private:
    std::optional<WorldPoint> findCloud() const;

    const RunningGame& game_;
    ShipPilot& pilot_;
    const GasCloudFinder& finder_;
    std::vector<double> orbits_;
    std::optional<WorldPoint> cloud_;
};
