#include "planet_former.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace {

using std::chrono::milliseconds;

// The gas cloud stands still while planets orbit: frames this far apart tell them apart.
constexpr int kCloudFrames = 3;
constexpr milliseconds kBetweenCloudFrames{700};
// A cloud this close to the sun or the edge of the field is not worth the risk.
constexpr double kCloudSunClearance = 10.0;
constexpr double kCloudEdgeMargin = 6.0;
// The last stop before the cloud lies this far beside it, across the line to the sun,
// so that the final run in never comes nearer the sun than the cloud is.
constexpr double kRunIn = 12.0;
// The ship stops a unit short of the point pressed, and a planet forms once it
// is within a unit of the cloud's centre: pressing beyond the centre carries it
// through. It flies at about as many units a second as it has yet to go.
constexpr double kBeyondTheCentre = 1.5;
constexpr double kFarBeyondTheCentre = 14.0;
constexpr double kRunEdgeMargin = 3.0;
constexpr milliseconds kLongestApproach{7000};
// Held on a point the ship creeps the last units to it, then spins up.
constexpr milliseconds kSpinUp{2000};
// Planets orbit the sun: these circles about it keep the journeys off their orbits.
constexpr double kRings[] = {14.0, 22.0, 30.0};
constexpr double kMovedCloud = 5.0;
// How many pixels of the counter change clearly when its number does.
constexpr int kClearChange = 48;
constexpr int kLeastChangedPixels = 40;

bool counterChanged(const RunningGame::Screenshot& before, const RunningGame::Screenshot& now) {
    if (before.rgb.size() != now.rgb.size() || now.rgb.empty()) {
        return false;
    }
    int changed = 0;
    for (int y = kCounterTop; y < kCounterBottom; ++y) {
        for (int x = kCounterLeft; x < kCounterRight; ++x) {
            bool clear = false;
            for (int c = 0; c < 3; ++c) {
                clear = clear || std::abs(before.at(x, y)[c] - now.at(x, y)[c]) > kClearChange;
            }
            changed += clear ? 1 : 0;
        }
    }
    return changed >= kLeastChangedPixels;
}

bool insideField(const WorldPoint& point, double margin) {
    return point.x >= kFieldLeft + margin && point.x <= kFieldRight - margin &&
           point.y >= kFieldBottom + margin && point.y <= kFieldTop - margin;
}

bool reachable(const WorldPoint& cloud) {
    return insideField(cloud, kCloudEdgeMargin) &&
           distanceBetween(cloud, kSunCentre) >= kCloudSunClearance;
}

// A run through the cloud: from a stop beside it, across the line to the sun
// so that it never comes nearer the sun than the cloud is, to a point beyond.
struct RunThrough {
    WorldPoint start;
    WorldPoint beyond;
};

double roomAround(const WorldPoint& p) {
    return std::min({p.x - kFieldLeft, kFieldRight - p.x, p.y - kFieldBottom, kFieldTop - p.y});
}

// Pressed far beyond the centre, the ship is still flying fast as it passes
// it; where the field leaves no room for that, just beyond it.
RunThrough runThrough(const WorldPoint& cloud) {
    const double distance = distanceBetween(cloud, kSunCentre);
    const double alongX = -(cloud.y - kSunCentre.y) / distance;
    const double alongY = (cloud.x - kSunCentre.x) / distance;
    const auto along = [&](double by) {
        return WorldPoint{cloud.x + by * alongX, cloud.y + by * alongY};
    };
    for (const double beyond : {kFarBeyondTheCentre, kBeyondTheCentre}) {
        for (const double side : {1.0, -1.0}) {
            const RunThrough run{along(side * kRunIn), along(-side * beyond)};
            if (std::min(roomAround(run.start), roomAround(run.beyond)) >= kRunEdgeMargin) {
                return run;
            }
        }
    }
    // A cloud by an edge: the run starts from the side with more room.
    const RunThrough one{along(kRunIn), along(-kBeyondTheCentre)};
    const RunThrough other{along(-kRunIn), along(kBeyondTheCentre)};
    return roomAround(one.start) >= roomAround(other.start) ? one : other;
}

// The circle about the sun farthest from every orbit so far.
double ringClearOf(const std::vector<double>& orbits) {
    double best = kRings[0];
    double bestGap = -1.0;
    for (const double ring : kRings) {
        double gap = 1e9;
        for (const double orbit : orbits) {
            gap = std::min(gap, std::fabs(ring - orbit));
        }
        if (gap > bestGap) {
            bestGap = gap;
            best = ring;
        }
    }
    return best;
}

bool never(const RunningGame::Screenshot&) {
    return false;
}

} // namespace

PlanetFormer::PlanetFormer(const RunningGame& game, ShipPilot& pilot, const GasCloudFinder& finder)
    : game_(game), pilot_(pilot), finder_(finder) {}

bool PlanetFormer::spinUp() {
    return pilot_.holdOn(pilot_.ship(), kSpinUp, never);
}

std::optional<WorldPoint> PlanetFormer::findCloud() const {
    std::vector<RunningGame::Screenshot> frames;
    for (int frame = 0; frame < kCloudFrames; ++frame) {
        if (frame > 0) {
            std::this_thread::sleep_for(kBetweenCloudFrames);
        }
        frames.push_back(game_.screenshot());
    }
    return finder_.find(frames);
}

// A new planet orbits where its cloud was, at the speed of its size, and
// destroys a ship on its orbit once formed.
PlanetFormer::Approach PlanetFormer::formPlanet(Afterwards afterwards) {
    if (!cloud_) {
        cloud_ = findCloud();
    }
    if (!cloud_ || !reachable(*cloud_)) {
        return Approach::Missed;
    }
    const WorldPoint cloud = *cloud_;
    const RunThrough run = runThrough(cloud);
    if (!pilot_.flyTo(run.start, ringClearOf(orbits_))) {
        return Approach::Lost;
    }
    const RunningGame::Screenshot before = game_.screenshot();
    const auto counted = [&](const RunningGame::Screenshot& shot) {
        return counterChanged(before, shot);
    };
    if (!pilot_.holdOn(run.beyond, kLongestApproach, counted)) {
        return Approach::Lost;
    }
    std::vector<double> orbitsAfter = orbits_;
    orbitsAfter.push_back(distanceBetween(cloud, kSunCentre));
    if (afterwards == Afterwards::LeaveTheOrbit) {
        const double ring = ringClearOf(orbitsAfter);
        const WorldPoint away = ringPointBeside(pilot_.ship(), ring);
        if (!pilot_.flyTo(away, ring) || !pilot_.holdOn(away, kSpinUp, never)) {
            return Approach::Lost;
        }
    }
    cloud_ = findCloud();
    if (!cloud_ || distanceBetween(*cloud_, cloud) <= kMovedCloud) {
        return Approach::Missed;
    }
    orbits_ = orbitsAfter;
    return Approach::Formed;
}
