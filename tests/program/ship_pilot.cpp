#include "ship_pilot.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace {

// The ship dies within 6 units of the sun's centre; a straight way keeps this far off.
constexpr double kSunClearance = 10.0;
constexpr double kLargestTurnPerLeg = M_PI / 4;
// A released ship stops within 2 units of where it was sent.
constexpr double kArrival = 2.5;
// The ship covers the share dt of the remaining way each frame, so it takes
// about ln(d / 2) seconds to arrive; the limit allows for slow frames.
constexpr double kSecondsPerLog = 3.0;
constexpr double kSpareSeconds = 2.0;
// The ship's picture has a cyan eye at its centre, drawn over everything
// but planets.
constexpr int kEyeRed = 132;
constexpr int kEyeGreen = 212;
constexpr int kEyeLeastBlue = 205;
constexpr int kEyeTolerance = 36;
constexpr int kLeastEyePixels = 4;
constexpr int kSearchRadius = 80; // pixels

double angleAbout(const WorldPoint& point) {
    return std::atan2(point.y - kSunCentre.y, point.x - kSunCentre.x);
}

WorldPoint onRing(double angle, double radius) {
    return WorldPoint{kSunCentre.x + radius * std::cos(angle),
                      kSunCentre.y + radius * std::sin(angle)};
}

// Nearest approach to the sun's centre along the straight way from `from` to `to`.
double closestToTheSun(const WorldPoint& from, const WorldPoint& to) {
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    const double length2 = dx * dx + dy * dy;
    double t = 0.0;
    if (length2 > 0.0) {
        t = ((kSunCentre.x - from.x) * dx + (kSunCentre.y - from.y) * dy) / length2;
        t = std::clamp(t, 0.0, 1.0);
    }
    return distanceBetween(WorldPoint{from.x + t * dx, from.y + t * dy}, kSunCentre);
}

// A way that starts near the sun is clear if it only moves away from it.
bool clearOfTheSun(const WorldPoint& from, const WorldPoint& to) {
    const double allowed = std::min(kSunClearance, distanceBetween(from, kSunCentre));
    return closestToTheSun(from, to) >= allowed - 1e-9;
}

} // namespace

WorldPoint ringPointBeside(const WorldPoint& point, double ringRadius) {
    return onRing(angleAbout(point), ringRadius);
}

std::vector<WorldPoint> routeAroundTheSun(const WorldPoint& from, const WorldPoint& to,
                                          double ringRadius) {
    if (clearOfTheSun(from, to)) {
        return {to};
    }
    const double start = angleAbout(from);
    const double turn = std::remainder(angleAbout(to) - start, 2 * M_PI); // the shorter way
    const int legs = std::max(1, static_cast<int>(std::ceil(std::fabs(turn) / kLargestTurnPerLeg)));
    std::vector<WorldPoint> route;
    for (int leg = 0; leg <= legs; ++leg) {
        route.push_back(onRing(start + turn * leg / legs, ringRadius));
    }
    route.push_back(to);
    return route;
}

ShipPilot::ShipPilot(const RunningGame& game, const TgaImage& losePicture)
    : game_(game), losePicture_(losePicture) {}

bool ShipPilot::flyTo(const WorldPoint& to, double ringRadius) {
    for (const WorldPoint& point : routeAroundTheSun(ship_, to, ringRadius)) {
        if (!leg(point)) {
            return false;
        }
    }
    return true;
}

bool ShipPilot::leg(const WorldPoint& to) {
    const double distance = std::max(distanceBetween(ship_, to), kArrival);
    const auto longest = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::duration<double>(kSecondsPerLog * std::log(distance / 2.0) + kSpareSeconds));
    game_.hold(windowX(to.x), windowY(to.y));
    const auto seenThere = [&](const RunningGame::Screenshot& shot) -> std::optional<WorldPoint> {
        const std::optional<WorldPoint> seen = findShip(shot, to);
        return seen && distanceBetween(*seen, to) <= kArrival ? seen : std::nullopt;
    };
    const RunningGame::Screenshot last = screenshotWhenLostOr(
        [&](const RunningGame::Screenshot& shot) { return seenThere(shot).has_value(); }, longest);
    if (showsEndPicture(last, losePicture_)) {
        return false;
    }
    // Not seen there: hidden under a planet, or slow; it keeps flying there on its own.
    ship_ = seenThere(last).value_or(to);
    return true;
}

bool ShipPilot::holdOn(const WorldPoint& at, std::chrono::milliseconds longest,
                       const ScreenshotCondition& done) {
    game_.press(windowX(at.x), windowY(at.y));
    std::this_thread::sleep_for(RunningGame::kPressHold);
    const RunningGame::Screenshot last = screenshotWhenLostOr(done, longest);
    game_.release();
    const std::optional<WorldPoint> seen = findShip(game_.screenshot(), at);
    ship_ = seen ? *seen : at;
    return !showsEndPicture(last, losePicture_);
}

RunningGame::Screenshot ShipPilot::screenshotWhenLostOr(const ScreenshotCondition& holds,
                                                        std::chrono::milliseconds longest) const {
    return screenshotWhen(
        game_,
        [&](const RunningGame::Screenshot& shot) {
            return showsEndPicture(shot, losePicture_) || holds(shot);
        },
        longest);
}

std::optional<WorldPoint> ShipPilot::findShip(const RunningGame::Screenshot& shot,
                                              const WorldPoint& near) const {
    const std::optional<WindowPixel> eye = shipEyeNear(shot, windowX(near.x), windowY(near.y));
    if (!eye) {
        return std::nullopt;
    }
    return worldPointAt(eye->x, eye->y);
}

std::optional<WindowPixel> shipEyeNear(const RunningGame::Screenshot& shot, int centreX,
                                       int centreY) {
    if (shot.rgb.empty()) {
        return std::nullopt;
    }
    int found = 0;
    double sumX = 0.0;
    double sumY = 0.0;
    for (int y = std::max(0, centreY - kSearchRadius);
         y < std::min(shot.height, centreY + kSearchRadius); ++y) {
        for (int x = std::max(0, centreX - kSearchRadius);
             x < std::min(shot.width, centreX + kSearchRadius); ++x) {
            const std::uint8_t* pixel = shot.at(x, y);
            if (std::abs(pixel[0] - kEyeRed) <= kEyeTolerance &&
                std::abs(pixel[1] - kEyeGreen) <= kEyeTolerance && pixel[2] >= kEyeLeastBlue) {
                ++found;
                sumX += x + 0.5;
                sumY += y + 0.5;
            }
        }
    }
    if (found < kLeastEyePixels) {
        return std::nullopt;
    }
    return WindowPixel{sumX / found, sumY / found};
}
