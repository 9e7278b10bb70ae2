#include "world/world_digest.h"

#include "world/world.h"

#include <cstring>

namespace {

// FNV-1a over the values' bytes, floats bit for bit.
class Digest {
public:
    void add(float value) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        addBytes(bits, sizeof bits);
    }
    void add(bool value) { addBytes(value ? 1u : 0u, 1); }
    void add(int value) { addBytes(static_cast<std::uint32_t>(value), sizeof value); }

    std::uint64_t value() const { return hash_; }

private:
    static constexpr std::uint64_t kOffsetBasis = 14695981039346656037ULL;
    static constexpr std::uint64_t kPrime = 1099511628211ULL;

    void addBytes(std::uint32_t bits, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            hash_ = (hash_ ^ ((bits >> (8 * i)) & 0xFF)) * kPrime;
        }
    }

    std::uint64_t hash_ = kOffsetBasis;
};

void addShip(Digest& digest, const Ship& ship) {
    for (const float value : {ship.x(), ship.y(), ship.rotation(), ship.spinRate(),
                              ship.velocityX(), ship.velocityY(), ship.targetX(), ship.targetY()}) {
        digest.add(value);
    }
    digest.add(ship.dead());
    digest.add(ship.buttonHeld());
}

void addDebris(Digest& digest, const Debris& debris) {
    for (const float value : {debris.x(), debris.y(), debris.size(), debris.angle()}) {
        digest.add(value);
    }
    digest.add(debris.isCaptured());
}

void addPlanet(Digest& digest, const Planet& planet) {
    for (const float value :
         {planet.x(), planet.y(), planet.size(), planet.orbitAngle(), planet.polarAngle(),
          planet.spin(), planet.red(), planet.green(), planet.blue()}) {
        digest.add(value);
    }
    digest.add(planet.formed());
    digest.add(planet.hit());
}

void addSunAndCloud(Digest& digest, const Sun& sun, const GasCloud& cloud) {
    for (const float value :
         {sun.alpha(), sun.glowAlpha(), cloud.x(), cloud.y(), cloud.rotation()}) {
        digest.add(value);
    }
    digest.add(sun.brightening());
}

} // namespace

std::uint64_t worldDigest(const World& world) {
    Digest digest;
    addShip(digest, world.ship());
    for (const auto& debris : world.debris()) {
        addDebris(digest, *debris);
    }
    digest.add(static_cast<int>(world.planets().size()));
    for (const auto& planet : world.planets()) {
        addPlanet(digest, *planet);
    }
    addSunAndCloud(digest, world.sun(), world.gasCloud());
    digest.add(world.planetsFormed());
    digest.add(world.isGameOver());
    digest.add(world.showsWin());
    digest.add(world.showsLoss());
    return digest.value();
}
