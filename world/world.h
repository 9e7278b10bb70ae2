#pragma once

#include "world/debris.h"
#include "world/gas_cloud.h"
#include "world/planet.h"
#include "world/ship.h"
#include "world/sun.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

// The simulated solar system: the ship, the debris field, the planets formed so
// far, the gas cloud and the sun, and the rules of a game (gathering, forming,
// collisions, death, win, lose, restart).
class World {
public:
    World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Scatters the debris and places the cloud at random, and starts the sun's
    // clock: once, at the first frame.
    void begin();
    // One step of the rules: the bodies move, debris is gathered, planets form,
    // collide and wear down, and what touches the sun or a planet is destroyed.
    void update(float dt);
    void restart();
    void addPlanet(Planet* planet);

    bool isGameOver() const { return gameOver_; }
    // What the end picture shows now; at most one of the two holds.
    bool showsWin() const;
    bool showsLoss() const;
    // A request stands until the restart answers it, whatever button events
    // follow: a click whose press and release both arrive between two frames
    // still restarts.
    void setRestartRequested(bool requested) { restartRequested_ = restartRequested_ || requested; }
    bool restartRequested() const { return restartRequested_; }

    Ship& ship() { return ship_; }
    const Ship& ship() const { return ship_; }
    const std::vector<std::unique_ptr<Debris>>& debris() const { return debris_; }
    const std::vector<std::unique_ptr<Planet>>& planets() const { return planets_; }
    GasCloud& gasCloud() { return gasCloud_; }
    const GasCloud& gasCloud() const { return gasCloud_; }
    const Sun& sun() const { return sun_; }
    int planetsFormed() const { return planetsFormed_; }
    // How long this game has been played: the sum of its update steps from the
    // player's first press on the new ship until its end picture first shows,
    // so neither the wait for that press nor a stalled frame counts more than
    // the clamped steps the player played.
    double gameSeconds() const { return gameSeconds_; }
    // The clock reading of the first frame after the one that drew the end
    // picture, when it has been on the screen: from then on it stands; none
    // before that frame, or while the game goes on.
    std::optional<int> endShownSinceMs() const { return endShownSinceMs_; }

private:
    // Two planets by their places in `planets_`, the earlier first.
    using PlanetPair = std::pair<std::size_t, std::size_t>;

    float randomFloat(float x) const;
    float randomRange(float a, float b) const;

    void passDebris(float dt);
    void formPlanetIfShipInCloud();
    void formPlanet();
    void scatterCapturedDebris();
    void moveCloudClearOfSun();
    void collidePlanets(float dt);
    void crashPlanetsThatMeet(std::set<PlanetPair>& touching);
    void releasePlanets();
    void wearDown(Planet& planet);
    void destroyShipOnContact();
    void destroyShip();
    void captureDebrisWithinReach();

    Ship ship_;
    std::vector<std::unique_ptr<Debris>> debris_;
    std::vector<std::unique_ptr<Planet>> planets_;
    GasCloud gasCloud_;
    Sun sun_;
    int towCount_ = 0;
    int planetsFormed_ = 0;
    double gameSeconds_ = 0.0;
    // The new ship has had its first press: the game's time runs.
    bool played_ = false;
    std::optional<int> endShownSinceMs_;
    bool restartRequested_ = false;
    bool gameOver_ = false;
    // The ship died in the very update that formed the twelfth planet: a loss.
    bool lostWithFullSystem_ = false;
    // The pairs of planets found touching by the last update.
    std::set<PlanetPair> touchingPlanets_;
};

// The game's world, constructed before main runs.
World& getWorld();
