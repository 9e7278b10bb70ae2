#include "random_player.h"

#include "app/game.h"
#include "clock/elapsed_time.h"
#include "math/numeric.h"
#include "support/gl_context.h"
#include "world/game_rules.h"
#include "world/game_screen.h"
#include "world/world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <string>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define VANTOREL_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTOREL_UNDER_ASAN 1
#endif
#endif
#ifdef VANTOREL_UNDER_ASAN
// From the sanitizer runtime; declared here, as GCC ships no header for it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

constexpr int kFramesPerSecond = 60;
constexpr int kDefaultSeconds = 3600;
constexpr unsigned kDefaultSeed = 20240611;
constexpr int kStartMs = 1000;
// ASan's quarantine of freed blocks fills over the first minutes: measure after.
constexpr int kWarmUpSeconds = 600;
constexpr int kReportEverySeconds = 600;
// The whole frame, drawing included, runs every this many frames; the others
// run the frame clock and the world's update only. Drawing matters: debris are
// captured while drawn and the game ends when its end image is drawn.
constexpr int kDefaultDrawEvery = 4;
// Generous: the planets freed by every restart must keep the heap from creeping.
constexpr long kMostHeapGrowthKb = 8 * 1024;
constexpr long kMostResidentGrowthKb = 64 * 1024;

long settingFromEnvironment(const char* name, long fallback) {
    const char* const value = std::getenv(name);
    return value && *value ? std::strtol(value, nullptr, 10) : fallback;
}

long residentKb() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Bytes handed out by the allocator and not yet freed (ASan's quarantine excluded).
long heapKb() {
#ifdef VANTOREL_UNDER_ASAN
    return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#else
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
#endif
}

struct Memory {
    long heapKb;
    long residentKb;
};

Memory memoryNow() {
    return Memory{heapKb(), residentKb()};
}

// 60 frames a second on a millisecond clock: 17, 17 and 16 ms, exactly 1000 ms
// every 60 frames.
class FrameClock {
public:
    void advance() {
        ++frame_;
        driveElapsedMilliseconds(kStartMs + static_cast<int>(frame_ * 1000 / kFramesPerSecond));
    }

private:
    long frame_ = 0;
};

struct Tally {
    long frames = 0;
    long draws = 0;
    long playFrames = 0;
    long planetsFormed = 0;
    long gamesWon = 0;
    long gamesLost = 0;
    long restarts = 0;
    int mostPlanetsInAGame = 0;
};

bool finite(float value) {
    return std::isfinite(value);
}

// The first body whose position or angle is not a finite number, or empty.
std::string firstNonFinite(World& world) {
    const Ship& ship = world.ship();
    if (!finite(ship.x()) || !finite(ship.y()) || !finite(ship.rotation()) ||
        !finite(ship.polarAngle()) || !finite(ship.spinRate())) {
        return "ship";
    }
    for (std::size_t i = 0; i < world.debris().size(); ++i) {
        const Debris& d = *world.debris()[i];
        if (!finite(d.x()) || !finite(d.y()) || !finite(d.angle())) {
            return "debris " + std::to_string(i);
        }
    }
    for (std::size_t i = 0; i < world.planets().size(); ++i) {
        const Planet& p = *world.planets()[i];
        if (!finite(p.x()) || !finite(p.y()) || !finite(p.size()) || !finite(p.polarAngle()) ||
            !finite(p.orbitAngle()) || !finite(p.spin())) {
            return "planet " + std::to_string(i);
        }
    }
    const GasCloud& cloud = world.gasCloud();
    if (!finite(cloud.x()) || !finite(cloud.y()) || !finite(cloud.rotation())) {
        return "gas cloud";
    }
    return "";
}

void report(const char* when, long seconds, const Memory& memory, const Tally& tally) {
    std::printf("[soak] %-8s t=%5lds heap=%7ld KiB resident=%7ld KiB planets formed=%ld "
                "won=%ld lost=%ld restarts=%ld\n",
                when, seconds, memory.heapKb, memory.residentKb, tally.planetsFormed,
                tally.gamesWon, tally.gamesLost, tally.restarts);
    std::fflush(stdout);
}

class Soak : public GlTest {
protected:
    void TearDown() override { releaseElapsedMilliseconds(); }

    // Runs one frame the way the display callback does, or its rules alone.
    void runFrame(bool draw) {
        if (draw) {
            getGame().drawFrame();
            ++tally_.draws;
        } else {
            takeElapsedMilliseconds();
            getGameRules().frame();
        }
    }

    // Counts what the frame did to the game: planets formed, games ended, restarts.
    void countOutcome(bool wasOver, int planetsBefore) {
        World& world = getWorld();
        const bool over = world.isGameOver();
        const int planets = world.planetsFormed();
        const bool restarted = wasOver && !over;
        if (restarted) {
            ++tally_.restarts;
            tally_.planetsFormed += planets;
        } else if (planets > planetsBefore) {
            tally_.planetsFormed += planets - planetsBefore;
        }
        if (!wasOver && over) {
            const bool won = !world.ship().dead();
            ++(won ? tally_.gamesWon : tally_.gamesLost);
        }
        tally_.mostPlanetsInAGame = std::max(tally_.mostPlanetsInAGame, planets);
    }

    Tally tally_;
};

} // namespace

// An hour of play at 60 frames a second through the real Game, World and
// InputManager, from the title screen on, with a seeded random player. Every
// position and angle stays a finite number and the heap does not creep.
TEST_F(Soak, AnHourOfRandomPlayStaysFiniteAndSteady) {
    const long seconds = settingFromEnvironment("VANTOREL_SOAK_SECONDS", kDefaultSeconds);
    const unsigned seed =
        static_cast<unsigned>(settingFromEnvironment("VANTOREL_SOAK_SEED", kDefaultSeed));
    const long drawEvery = settingFromEnvironment("VANTOREL_SOAK_DRAW_EVERY", kDefaultDrawEvery);
    const long frames = seconds * kFramesPerSecond;
    std::printf("[soak] seed %u, %ld s of game time, %ld frames, drawing every %ld\n", seed,
                seconds, frames, drawEvery);

    seedRandom(seed);
    FrameClock clock;
    clock.advance();
    getGame().init();
    getGameRules().start();
    World& world = getWorld();
    RandomPlayer player(seed, world);

    const auto wallStart = std::chrono::steady_clock::now();
    Memory warm{0, 0};
    for (long frame = 1; frame <= frames; ++frame) {
        clock.advance();
        player.act();
        const bool wasOver = world.isGameOver();
        const int planetsBefore = world.planetsFormed();
        runFrame(frame % drawEvery == 0);
        ++tally_.frames;
        if (currentScreen != GameScreen::Playing) {
            continue;
        }
        ++tally_.playFrames;
        countOutcome(wasOver, planetsBefore);
        const std::string broken = firstNonFinite(world);
        ASSERT_TRUE(broken.empty())
            << broken << " is not finite at frame " << frame << ", seed " << seed;
        if (frame == kWarmUpSeconds * kFramesPerSecond) {
            warm = memoryNow();
            report("warm", kWarmUpSeconds, warm, tally_);
        } else if (frame % (kReportEverySeconds * kFramesPerSecond) == 0) {
            report("running", frame / kFramesPerSecond, memoryNow(), tally_);
        }
    }
    const Memory end = memoryNow();
    const double wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    report("end", seconds, end, tally_);
    std::printf("[soak] %ld frames (%ld in play, %ld drawn) in %.0f s of wall time; "
                "%ld planets formed, most in one game %d; games won %ld, lost %ld, "
                "restarts %ld\n",
                tally_.frames, tally_.playFrames, tally_.draws, wallSeconds, tally_.planetsFormed,
                tally_.mostPlanetsInAGame, tally_.gamesWon, tally_.gamesLost, tally_.restarts);

    EXPECT_EQ(currentScreen, GameScreen::Playing);
    if (seconds >= kWarmUpSeconds) {
        EXPECT_LE(end.heapKb - warm.heapKb, kMostHeapGrowthKb);
        EXPECT_LE(end.residentKb - warm.residentKb, kMostResidentGrowthKb);
    }
    if (seconds >= kDefaultSeconds) {
        // The player is good enough to finish games both ways and come back.
        EXPECT_GT(tally_.gamesWon, 0);
        EXPECT_GT(tally_.gamesLost, 0);
        EXPECT_GT(tally_.restarts, 0);
    }
}
