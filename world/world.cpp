#include "world/world.h"

#include "clock/elapsed_time.h"
#include "math/numeric.h"
#include "world/field_bounds.h"
#include "world/landmarks.h"
#include "world/sound_sink.h"

#include <algorithm>

namespace {

constexpr int kDebrisCount = 100;
constexpr float kPlacementMargin = 10.0f;
constexpr float kAttractionRange = 20.0f;
constexpr float kSpinToAttractPerSecond = 100.0f;
constexpr double kPlanetSizePerDebris = 0.7;
constexpr float kSmallestNewPlanet = 4.0f;
constexpr float kLargestNewPlanet = 10.0f;
constexpr double kCollisionWear = 0.3;
constexpr float kSmallestWornPlanet = 3.0f;
constexpr int kPlanetsToWin = 12;

World world;

struct Field {
    float left, right, bottom, top;
};

constexpr Field kPlayField{static_cast<float>(kFieldLeft), static_cast<float>(kFieldRight),
                           static_cast<float>(kFieldBottom), static_cast<float>(kFieldTop)};

} // namespace

World::World() {
    debris_.reserve(kDebrisCount);
    for (int i = 0; i < kDebrisCount; ++i) {
        debris_.push_back(std::make_unique<Debris>());
    }
}

float World::randomFloat(float x) const {
    return ::randomFloat(x);
}

float World::randomRange(float a, float b) const {
    return a + randomFloat(b - a);
}

void World::begin() {
    sun_.start();
    const Field& field = kPlayField;
    for (const std::unique_ptr<Debris>& d : debris_) {
        d->setX(randomRange(field.left + kPlacementMargin, field.right - kPlacementMargin));
        d->setY(randomRange(field.bottom + kPlacementMargin, field.top - kPlacementMargin));
    }
    // The first position is not kept clear of the sun; only re-placements are.
    gasCloud_.setX(randomRange(field.left, field.right));
    gasCloud_.setY(randomRange(field.bottom, field.top));
}

void World::update(float dt) {
    if (gameOver_ && restartRequested_) {
        restartRequested_ = false;
        gameOver_ = false;
        restart();
    }
    if (gameOver_ && !endShownSinceMs_) {
        endShownSinceMs_ = elapsedMilliseconds(); // the frame before drew the end picture
    }
    played_ = played_ || ship_.pressed();
    ship_.update(dt);
    sun_.update(dt);
    gasCloud_.update(dt);
    passDebris(dt);
    ship_.setTowCount(static_cast<float>(towCount_));
    formPlanetIfShipInCloud();
    collidePlanets(dt);
    destroyShipOnContact();
    if (!gameOver_ && ship_.dead() && planetsFormed_ >= kPlanetsToWin) {
        lostWithFullSystem_ = true;
    }
    if (played_ && !gameOver_) {
        gameSeconds_ += static_cast<double>(dt); // the world goes on under the end picture
    }
    captureDebrisWithinReach();
    gameOver_ = gameOver_ || showsWin() || showsLoss();
}

// Besides their own pass, debris are caught where they stand at the end of the
// step: a debris the ship has come to within reach of is caught before the next.
void World::captureDebrisWithinReach() {
    for (const std::unique_ptr<Debris>& d : debris_) {
        d->hasReachedTarget();
    }
}

void World::passDebris(float dt) {
    towCount_ = 0;
    const float attractRange =
        ship_.spinRate() > kSpinToAttractPerSecond * dt ? kAttractionRange : 0.0f;
    for (const std::unique_ptr<Debris>& d : debris_) {
        d->update(dt); // still pulled by the previous pass's target and range
        d->setTarget(ship_.x(), ship_.y());
        d->setAttractRange(attractRange);
        d->setAttracted(d->checkInRange(ship_.x(), ship_.y()) ? 1 : 0);
        if (ship_.moving() && d->isCaptured()) {
            d->setX(d->x() + ship_.velocityX() * dt);
            d->setY(d->y() + ship_.velocityY() * dt);
            ++towCount_;
            d->setSpinRate(ship_.spinRate());
        }
        d->update(dt);
    }
}

void World::formPlanetIfShipInCloud() {
    if (gasCloud_.contains(ship_.x(), ship_.y())) {
        formPlanet();
        scatterCapturedDebris();
        moveCloudClearOfSun();
    }
}

void World::formPlanet() {
    Planet* const planet = new Planet();
    addPlanet(planet);
    planet->setX(gasCloud_.x());
    planet->setY(gasCloud_.y());
    planet->computePolarAngle(gasCloud_.x(), gasCloud_.y());
    float size = static_cast<float>(static_cast<double>(ship_.towCount()) * kPlanetSizePerDebris);
    if (size < kSmallestNewPlanet) {
        size = kSmallestNewPlanet;
    }
    if (size > kLargestNewPlanet) {
        size = kLargestNewPlanet;
    }
    planet->setSize(size);
    planet->form();
    playSound(Form);
}

void World::addPlanet(Planet* planet) {
    planets_.emplace_back(planet);
    ++planetsFormed_;
}

void World::scatterCapturedDebris() {
    const Field& field = kPlayField;
    for (const std::unique_ptr<Debris>& d : debris_) {
        if (d->isCaptured()) {
            d->reset();
            d->setX(randomRange(field.left, field.right));
            d->setY(randomRange(field.bottom, field.top));
        }
    }
}

void World::moveCloudClearOfSun() {
    const Field& field = kPlayField;
    gasCloud_.setX(randomRange(field.left + kPlacementMargin, field.right - kPlacementMargin));
    gasCloud_.setY(randomRange(field.bottom + kPlacementMargin, field.top - kPlacementMargin));
    while (sun_.contains(gasCloud_.x(), gasCloud_.y(), gasCloud_.radius() + sun_.radius())) {
        gasCloud_.setX(randomRange(field.left, field.right));
        gasCloud_.setY(randomRange(field.bottom, field.top));
    }
}

// Every ordered pair is tested, and the test is not symmetric, so a pair in
// contact is usually worn twice in one update.
void World::collidePlanets(float dt) {
    std::set<PlanetPair> touching;
    for (std::size_t i = 0; i < planets_.size(); ++i) {
        Planet& a = *planets_[i];
        for (std::size_t j = 0; j < planets_.size(); ++j) {
            Planet& b = *planets_[j];
            if (i != j && b.touches(a.x(), a.y(), b.radius() + a.radius(), a.polarAngle())) {
                wearDown(a.size() < b.size() ? b : a);
                touching.insert(std::minmax(i, j));
            }
        }
        a.update(dt);
    }
    crashPlanetsThatMeet(touching);
}

// Planets that go on touching crash once, when they meet, not on every update.
void World::crashPlanetsThatMeet(std::set<PlanetPair>& touching) {
    for (const PlanetPair& pair : touching) {
        if (touchingPlanets_.count(pair) == 0) {
            playSound(PlanetExplosion);
        }
    }
    touchingPlanets_.swap(touching);
}

void World::wearDown(Planet& planet) {
    float size = static_cast<float>(planet.size() - kCollisionWear);
    if (size < kSmallestWornPlanet) {
        size = kSmallestWornPlanet;
    }
    planet.setSize(size);
    planet.markHit();
}

void World::destroyShipOnContact() {
    for (const std::unique_ptr<Planet>& planet : planets_) {
        if (planet->formed() &&
            ship_.hitsPlanet(planet->x(), planet->y(), planet->radius(), planet->polarAngle())) {
            destroyShip();
        }
    }
    if (sun_.contains(ship_.x(), ship_.y(), ship_.radius())) {
        destroyShip();
    }
}

// A wreck that stays in the sun or on a planet is destroyed again on every
// update; its explosion is heard once.
void World::destroyShip() {
    if (!ship_.dead()) {
        playSound(ShipExplode);
    }
    ship_.setDead(true);
}

bool World::showsWin() const {
    return planetsFormed_ >= kPlanetsToWin && !ship_.dead();
}

bool World::showsLoss() const {
    return ship_.dead() && (planetsFormed_ < kPlanetsToWin || lostWithFullSystem_);
}

void World::restart() {
    planetsFormed_ = 0;
    gameSeconds_ = 0.0;
    played_ = false;
    releasePlanets();
    // Whatever the old ship was doing (a wreck still travelling, a button held
    // as it died) must not carry the new one anywhere before the player acts.
    ship_.restAt(kShipStart.x, kShipStart.y);
    scatterCapturedDebris();
    ship_.setDead(false);
    restartRequested_ = false;
    gameOver_ = false;
    endShownSinceMs_.reset();
    lostWithFullSystem_ = false;
}

void World::releasePlanets() {
    planets_.clear();
    touchingPlanets_.clear(); // its pairs name places in planets_
}

World& getWorld() {
    return world;
}
