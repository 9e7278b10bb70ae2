#include "random_player.h"

#include "app/input_manager.h"
#include "math/numeric.h"
#include "world/game_screen.h"
#include "world/world.h"

#include <GL/glut.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kSunX = 0.0;
constexpr double kSunY = 40.0;
constexpr double kFieldLeft = -50.0;
constexpr double kFieldRight = 50.0;
constexpr double kFieldBottom = 0.0;
constexpr double kFieldTop = 75.0;
constexpr double kPixelsPerUnit = 10.24; // 1024 pixels across 100 units, 768 down 75

// Pointer positions reach this far past every edge of the window.
constexpr int kOutsideMargin = 300;
constexpr int kWindowWidth = 1024;
constexpr int kWindowHeight = 768;

// The sun kills within 6 of its centre and clouds re-form more than 13 from it,
// so a ship parked 8 from the centre is clear of the sun and, with the button
// held until it is within 1 of its mark, of every planet of the smallest size.
constexpr double kParkingRadius = 8.0;
constexpr double kSunClearance = 9.0;
constexpr double kArcStep = 30.0 * kPi / 180.0;
constexpr double kNearEnough = 1.2;
constexpr double kPastTheCloud = 1.0;
constexpr double kClosedIn = 1.05;
constexpr double kFarPastTheCloud = 30.0;
constexpr double kShortestFarMark = 3.0;
constexpr double kMarkStep = 0.5;
constexpr double kEdgeMargin = 0.5;
constexpr int kLegTimeoutFrames = 600;
constexpr int kLongestWaitFrames = 900;
constexpr int kTripFrames = 1200;
constexpr double kFrameSeconds = 1.0 / 60.0;
constexpr double kCloudReach = 1.0;
constexpr double kShipRadius = 2.0;
constexpr double kNewPlanetRadius = 2.0;
constexpr int kFormationFrames = 120;
constexpr double kRadialSafety = 0.5;
constexpr double kAngularSafety = 3.0;
constexpr double kCarefulGameChance = 0.5;

constexpr double kStrayEventChance = 0.001;
constexpr double kChaosMotionChance = 0.3;
constexpr double kChaosButtonChance = 0.06;
constexpr double kMenuMotionChance = 0.1;
constexpr double kMenuButtonChance = 0.03;
constexpr double kOverMotionChance = 0.05;
constexpr double kReleaseAtOnceChance = 0.3;

double angleOf(double x, double y) {
    return std::atan2(y - kSunY, x - kSunX);
}

double radiusOf(double x, double y) {
    return std::hypot(x - kSunX, y - kSunY);
}

double polarDegrees(double x, double y) {
    return polarAngleAbout(static_cast<float>(x), static_cast<float>(y), kSunX, kSunY);
}

// How fast a planet of this size circles the sun, in degrees per second.
double orbitSpeed(double size) {
    return size < 5.0   ? 80.0
           : size < 6.0 ? 70.0
           : size < 7.0 ? 60.0
           : size < 8.0 ? 50.0
           : size < 9.0 ? 40.0
                        : 30.0;
}

bool insideField(double x, double y) {
    return x > kFieldLeft + kEdgeMargin && x < kFieldRight - kEdgeMargin &&
           y > kFieldBottom + kEdgeMargin && y < kFieldTop - kEdgeMargin;
}

// Distance from the sun's centre to the segment between two points.
double sunToSegment(double ax, double ay, double bx, double by) {
    const double dx = bx - ax;
    const double dy = by - ay;
    const double lengthSquared = dx * dx + dy * dy;
    double t = 0.0;
    if (lengthSquared > 0.0) {
        t = std::clamp(((kSunX - ax) * dx + (kSunY - ay) * dy) / lengthSquared, 0.0, 1.0);
    }
    return radiusOf(ax + t * dx, ay + t * dy);
}

} // namespace

RandomPlayer::RandomPlayer(unsigned seed, World& world) : world_(world), random_(seed) {
    releaseIn_.fill(-1);
}

void RandomPlayer::act() {
    releaseDueButtons();
    if (currentScreen != GameScreen::Playing) {
        actOnMenu();
    } else if (world_.isGameOver()) {
        wasPlaying_ = false;
        actWhileOver();
    } else {
        if (!wasPlaying_) {
            wasPlaying_ = true;
            careful_ = chance(kCarefulGameChance);
        }
        overFrames_ = 0;
        actInPlay();
    }
}

void RandomPlayer::releaseDueButtons() {
    for (int button = 0; button < kButtons; ++button) {
        if (held_[button] && releaseIn_[button] > 0 && --releaseIn_[button] == 0) {
            release(button);
        }
    }
}

void RandomPlayer::actOnMenu() {
    if (chance(kMenuMotionChance)) {
        randomMotion();
    }
    if (chance(kMenuButtonChance)) {
        randomButtonEvent();
    }
}

// Sometimes at once, sometimes after a while; mostly a left click, but also
// presses that withdraw the request before the next frame sees it.
void RandomPlayer::actWhileOver() {
    if (!route_.empty() || framesLeft_ > 0) {
        abandonErrand();
    }
    ++overFrames_;
    if (overFrames_ == 1) {
        nextRestartTry_ = between(0, 240);
    }
    if (chance(kOverMotionChance)) {
        randomMotion();
    }
    if (overFrames_ < nextRestartTry_) {
        return;
    }
    nextRestartTry_ = overFrames_ + between(5, 120);
    const double roll = uniform(0.0, 1.0);
    if (roll < 0.6) {
        press(GLUT_LEFT_BUTTON, between(1, 20));
    } else if (roll < 0.75) {
        press(GLUT_LEFT_BUTTON, 0);
    } else if (roll < 0.9) {
        press(between(GLUT_MIDDLE_BUTTON, GLUT_RIGHT_BUTTON), between(0, 10));
    } else {
        press(between(3, 4), 0); // a wheel notch
    }
}

void RandomPlayer::actInPlay() {
    if (!careful_ && chance(kStrayEventChance)) {
        randomButtonEvent();
    }
    if (route_.empty() && framesLeft_ <= 0) {
        startErrand();
    }
    if (!route_.empty()) {
        followRoute();
    } else if (errand_ == Errand::Chaos) {
        if (chance(kChaosMotionChance)) {
            randomMotion();
        }
        if (chance(kChaosButtonChance)) {
            randomButtonEvent();
        }
    }
    --framesLeft_;
}

void RandomPlayer::abandonErrand() {
    route_.clear();
    framesLeft_ = 0;
    legStarted_ = false;
    for (int button = 0; button < kButtons; ++button) {
        if (held_[button]) {
            release(button);
        }
    }
}

void RandomPlayer::startErrand() {
    const double roll = careful_ ? 0.0 : uniform(0.0, 1.0);
    legStarted_ = false;
    if (roll < 0.45) {
        errand_ = Errand::FormPlanet;
        route_.push_back(Leg{LegKind::PlanRouteToCloud, {}, 0});
    } else if (roll < 0.65) {
        errand_ = Errand::GatherAndForm;
        const auto& debris = world_.debris();
        const Debris& d = *debris[static_cast<std::size_t>(between(0, int(debris.size()) - 1))];
        route_.push_back(Leg{LegKind::Spin, {}, between(20, 150)});
        route_.push_back(Leg{LegKind::Fly, {d.x(), d.y()}, between(1, 5)});
        route_.push_back(Leg{LegKind::PlanRouteToCloud, {}, 0});
    } else if (roll < 0.73) {
        errand_ = Errand::Spin;
        route_.push_back(Leg{LegKind::Spin, {}, between(10, 300)});
    } else if (roll < 0.83) {
        errand_ = Errand::Wander;
        const int press = chance(0.5) ? -1 : between(1, 30);
        route_.push_back(Leg{LegKind::Fly, randomPointInField(), press});
    } else if (roll < 0.93) {
        errand_ = Errand::Chaos;
        framesLeft_ = between(60, 600);
    } else {
        errand_ = Errand::Rest;
        framesLeft_ = between(10, 300);
    }
}

void RandomPlayer::followRoute() {
    const Leg leg = route_.front();
    switch (leg.kind) {
    case LegKind::PlanRouteToCloud:
        route_.pop_front();
        queueRouteToCloud();
        followRoute();
        break;
    case LegKind::Spin:
        spinLeg(leg);
        break;
    case LegKind::Fly:
        flyLeg(leg);
        break;
    case LegKind::WaitForGap:
        waitLeg();
        break;
    case LegKind::ThroughCloud:
        throughCloudLeg();
        break;
    }
}

void RandomPlayer::spinLeg(const Leg& leg) {
    moveTo(ship());
    if (!legStarted_) {
        legStarted_ = true;
        legFrames_ = 0;
        press(GLUT_LEFT_BUTTON, -1);
    }
    if (++legFrames_ >= leg.frames) {
        release(GLUT_LEFT_BUTTON);
        finishLeg();
    }
}

void RandomPlayer::flyLeg(const Leg& leg) {
    if (!legStarted_) {
        legStarted_ = true;
        legFrames_ = 0;
        moveTo(leg.target);
        press(GLUT_LEFT_BUTTON, leg.frames);
    }
    ++legFrames_;
    const Point at = ship();
    const bool near = std::hypot(at.x - leg.target.x, at.y - leg.target.y) < kNearEnough;
    if (held_[GLUT_LEFT_BUTTON] && leg.frames < 0 && near) {
        moveTo(leg.target);
        release(GLUT_LEFT_BUTTON);
    }
    const Ship& s = world_.ship();
    const bool stopped = !held_[GLUT_LEFT_BUTTON] && s.moveState() == MoveState::Idle;
    if (stopped || legFrames_ > kLegTimeoutFrames) {
        if (held_[GLUT_LEFT_BUTTON]) {
            release(GLUT_LEFT_BUTTON);
        }
        finishLeg();
    }
}

void RandomPlayer::waitLeg() {
    if (!legStarted_) {
        legStarted_ = true;
        legFrames_ = 0;
    }
    if (++legFrames_ > kLongestWaitFrames || tripIsSafe(ship())) {
        finishLeg();
    }
}

// Done once the planet has formed, so the way back starts at once.
void RandomPlayer::throughCloudLeg() {
    if (!legStarted_) {
        legStarted_ = true;
        legFrames_ = 0;
        planetsAtLegStart_ = world_.planetsFormed();
        bool far = false;
        cloudMark_ = markPastCloud(ship(), far);
        moveTo(cloudMark_);
        press(GLUT_LEFT_BUTTON, far ? between(1, 5) : -1);
    }
    ++legFrames_;
    const bool formed = world_.planetsFormed() != planetsAtLegStart_;
    const Point at = ship();
    const bool closedIn = std::hypot(at.x - cloudMark_.x, at.y - cloudMark_.y) < kClosedIn;
    const bool stopped = !held_[GLUT_LEFT_BUTTON] && world_.ship().moveState() == MoveState::Idle;
    if (formed || stopped || closedIn || legFrames_ > kLegTimeoutFrames) {
        if (held_[GLUT_LEFT_BUTTON]) {
            release(GLUT_LEFT_BUTTON);
        }
        finishLeg();
    }
}

void RandomPlayer::finishLeg() {
    route_.pop_front();
    legStarted_ = false;
}

// Straight there when the way is clear of the sun; otherwise in to the parking
// circle, round it in short chords to the cloud's side, and out through the
// cloud's centre.
void RandomPlayer::queueRouteToCloud() {
    const GasCloud& cloud = world_.gasCloud();
    const Point goal{cloud.x(), cloud.y()};
    Point from = ship();
    std::vector<Leg> legs;
    if (careful_ || sunToSegment(from.x, from.y, goal.x, goal.y) < kSunClearance) {
        const double startAngle = angleOf(from.x, from.y);
        const double turn = std::remainder(angleOf(goal.x, goal.y) - startAngle, 2.0 * kPi);
        const int chords = static_cast<int>(std::ceil(std::fabs(turn) / kArcStep));
        for (int i = 0; i <= chords; ++i) {
            const double angle = startAngle + turn * i / std::max(chords, 1);
            from = Point{kSunX + kParkingRadius * std::cos(angle),
                         kSunY + kParkingRadius * std::sin(angle)};
            legs.push_back(Leg{LegKind::Fly, from, -1});
        }
    }
    if (careful_) {
        legs.push_back(Leg{LegKind::WaitForGap, {}, 0});
    }
    legs.push_back(Leg{LegKind::ThroughCloud, {}, 0});
    route_.insert(route_.begin(), legs.begin(), legs.end());
}

RandomPlayer::Point RandomPlayer::markPastCloud(Point from, bool& far) const {
    const GasCloud& cloud = world_.gasCloud();
    const double length = std::hypot(cloud.x() - from.x, cloud.y() - from.y);
    if (length == 0.0) {
        far = false;
        return from;
    }
    const double ux = (cloud.x() - from.x) / length;
    const double uy = (cloud.y() - from.y) / length;
    for (double reach = kFarPastTheCloud; reach >= kShortestFarMark; reach -= kMarkStep) {
        if (insideField(cloud.x() + reach * ux, cloud.y() + reach * uy)) {
            far = true;
            return Point{cloud.x() + reach * ux, cloud.y() + reach * uy};
        }
    }
    // Held, a ship closes in to within 1 of its mark: here, the cloud's centre.
    far = false;
    return Point{cloud.x() + kPastTheCloud * ux, cloud.y() + kPastTheCloud * uy};
}

// Plays the trip ahead: out through the cloud, a planet formed there, and back
// to where the ship waits, against every planet's orbit as it stands now.
bool RandomPlayer::tripIsSafe(Point from) const {
    struct Orbit {
        double radius, polar, degreesPerFrame, reach;
        int harmlessFrames;
    };
    std::vector<Orbit> orbits;
    for (const auto& planet : world_.planets()) {
        orbits.push_back(Orbit{radiusOf(planet->x(), planet->y()), planet->polarAngle(),
                               orbitSpeed(planet->size()) * kFrameSeconds,
                               planet->radius() + kShipRadius, 0});
    }
    const GasCloud& cloud = world_.gasCloud();
    bool far = false;
    Point at = from;
    Point target = markPastCloud(from, far);
    bool formed = false;
    for (int frame = 0; frame < kTripFrames; ++frame) {
        at = Point{at.x + kFrameSeconds * (target.x - at.x),
                   at.y + kFrameSeconds * (target.y - at.y)};
        const double left = std::hypot(target.x - at.x, target.y - at.y);
        if (formed && left < kNearEnough) {
            return true;
        }
        if (!formed && std::hypot(cloud.x() - at.x, cloud.y() - at.y) <= kCloudReach) {
            formed = true;
            target = from;
            orbits.push_back(Orbit{radiusOf(cloud.x(), cloud.y()),
                                   polarDegrees(cloud.x(), cloud.y()),
                                   orbitSpeed(2.0 * kNewPlanetRadius) * kFrameSeconds,
                                   kNewPlanetRadius + kShipRadius, frame + kFormationFrames});
        }
        const double radius = radiusOf(at.x, at.y);
        const double polar = polarDegrees(at.x, at.y);
        for (const Orbit& orbit : orbits) {
            const double planetPolar =
                std::fmod(orbit.polar + orbit.degreesPerFrame * frame, 360.0);
            if (frame >= orbit.harmlessFrames &&
                std::fabs(radius - orbit.radius) < orbit.reach + kRadialSafety &&
                std::fabs(polar - planetPolar) < orbit.reach + kAngularSafety) {
                return false;
            }
        }
    }
    return true;
}

void RandomPlayer::moveTo(Point world) {
    moveToPixel(static_cast<int>(std::lround((world.x - kFieldLeft) * kPixelsPerUnit)),
                static_cast<int>(std::lround((kFieldTop - world.y) * kPixelsPerUnit)));
}

void RandomPlayer::moveToPixel(int x, int y) {
    pointerX_ = x;
    pointerY_ = y;
    if (anyButtonHeld()) {
        getInputManager().onMotion(x, y);
    } else {
        getInputManager().onPassiveMotion(x, y);
    }
}

// releaseAfterFrames: 0 releases in the same frame, -1 holds until released.
void RandomPlayer::press(int button, int releaseAfterFrames) {
    if (held_[button]) {
        return;
    }
    held_[button] = true;
    releaseIn_[button] = releaseAfterFrames;
    getInputManager().onMouse(button, GLUT_DOWN, pointerX_, pointerY_);
    if (releaseAfterFrames == 0) {
        release(button);
    }
}

void RandomPlayer::release(int button) {
    held_[button] = false;
    releaseIn_[button] = -1;
    getInputManager().onMouse(button, GLUT_UP, pointerX_, pointerY_);
}

void RandomPlayer::randomButtonEvent() {
    const int button = between(0, kButtons - 1);
    if (held_[button]) {
        release(button);
    } else {
        press(button, chance(kReleaseAtOnceChance) ? 0 : between(1, 60));
    }
}

void RandomPlayer::randomMotion() {
    moveToPixel(between(-kOutsideMargin, kWindowWidth + kOutsideMargin),
                between(-kOutsideMargin, kWindowHeight + kOutsideMargin));
}

bool RandomPlayer::anyButtonHeld() const {
    return std::any_of(held_.begin(), held_.end(), [](bool held) { return held; });
}

RandomPlayer::Point RandomPlayer::ship() const {
    return Point{world_.ship().x(), world_.ship().y()};
}

RandomPlayer::Point RandomPlayer::randomPointInField() {
    return Point{uniform(kFieldLeft, kFieldRight), uniform(kFieldBottom, kFieldTop)};
}

bool RandomPlayer::chance(double probability) {
    return uniform(0.0, 1.0) < probability;
}

int RandomPlayer::between(int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random_);
}

double RandomPlayer::uniform(double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(random_);
}
