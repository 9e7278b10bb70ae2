#pragma once

#include "play_field.h"
#include "program_harness.h"

#include <chrono>
#include <optional>
#include <vector>

class TgaImage;

// Flies the ship of a running game as a player would: a press held over a few
// frames on a point sends the ship there; a press held on it spins it up.
// The sun destroys a ship that comes within 6 units of its centre, so journeys
// that would pass near it go round it on a circle about it.
class ShipPilot {
public:
    ShipPilot(const RunningGame& game, const TgaImage& losePicture);

    // Flies to within two units of `to`, round the sun on a circle of
    // `ringRadius` about it where the straight way passes near it. False when
    // the ship was destroyed on the way.
    bool flyTo(const WorldPoint& to, double ringRadius);
    // Holds the button down on `at`: the ship creeps to within a unit of it and
    // then spins up while the button stays down. Lets go once `done` holds for
    // a screenshot or `longest` has passed; false when the ship was destroyed.
    bool holdOn(const WorldPoint& at, std::chrono::milliseconds longest,
                const ScreenshotCondition& done);

    // Where the ship was last seen, or sent when it was hidden.
    const WorldPoint& ship() const { return ship_; }

private:
    bool leg(const WorldPoint& to);
    // The first screenshot that shows the ship lost or satisfies `holds`, or the
    // last one taken within `longest`.
    RunningGame::Screenshot screenshotWhenLostOr(const ScreenshotCondition& holds,
                                                 std::chrono::milliseconds longest) const;
    std::optional<WorldPoint> findShip(const RunningGame::Screenshot& shot,
                                       const WorldPoint& near) const;

    const RunningGame& game_;
    const TgaImage& losePicture_;
    WorldPoint ship_ = kShipStartPoint;
};

// The point of the circle of `ringRadius` about the sun straight out from (or
// in towards) `point`: the quickest way off the orbit it lies on.
WorldPoint ringPointBeside(const WorldPoint& point, double ringRadius);

// A point of the window in pixels, y down as in a screenshot.
struct WindowPixel {
    double x = 0.0;
    double y = 0.0;
};

// The centre of the ship's cyan eye within 80 pixels of (x, y), where it shows.
std::optional<WindowPixel> shipEyeNear(const RunningGame::Screenshot& shot, int x, int y);

// The points to send the ship to, in order, to reach `to` from `from` without
// passing near the sun.
std::vector<WorldPoint> routeAroundTheSun(const WorldPoint& from, const WorldPoint& to,
                                          double ringRadius);
