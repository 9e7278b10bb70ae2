#include "support/recording_tour.h"

#include "replay/replay_run.h"
#include "support/sound_requests.h"
#include "world/game_rules.h"
#include "world/game_screen.h"
#include "world/world.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMillisecondsPerSecond = 1000.0;

float shipSpeed(const Ship& ship) {
    return std::hypot(ship.velocityX(), ship.velocityY());
}

// Counts what one frame did, from the world just before it and just after.
class FrameWatch {
public:
    explicit FrameWatch(const World& world)
        : wasOver_(world.isGameOver()), planets_(world.planetsFormed()),
          towed_(world.ship().towCount()), speed_(shipSpeed(world.ship())) {}

    void count(const World& world, RecordingTour& tour) const {
        const Ship& ship = world.ship();
        if (world.planetsFormed() > planets_) {
            tour.planetsFormed += world.planetsFormed() - planets_;
            tour.mostTowedIntoAPlanet = std::max(tour.mostTowedIntoAPlanet, towed_);
            tour.fastestThroughTheCloud = std::max(tour.fastestThroughTheCloud, speed_);
        }
        if (wasOver_ && !world.isGameOver()) {
            ++tour.restarts;
        }
        if (!wasOver_ && world.isGameOver()) {
            if (world.showsWin()) {
                ++tour.wins;
            } else if (world.sun().contains(ship.x(), ship.y(), ship.radius())) {
                ++tour.lossesInTheSun;
            } else {
                ++tour.lossesOnAPlanet;
            }
        }
        tour.fastestSpin = std::max(tour.fastestSpin, std::fabs(ship.spinRate()));
        tour.mostTowed = std::max(tour.mostTowed, ship.towCount());
    }

private:
    bool wasOver_;
    int planets_;
    float towed_;
    float speed_;
};

} // namespace

RecordingTour tourOf(const Replay& replay) {
    const SoundRequests sounds;
    RecordingTour tour;
    World world;
    GameRules rules(world);
    ReplayRun run(replay, rules);
    run.begin();
    // The title is drawn only when it shows, so its frames may lie seconds
    // apart, and the click that leaves it comes before the next one: its time
    // is read from the clock, for the screen each frame left showing.
    int lastFrameMs = replay.startMs;
    GameScreen shown = currentScreen;
    while (run.prepareNextFrame()) {
        if (shown == GameScreen::Title) {
            tour.secondsOnTheTitle += (run.frameMs() - lastFrameMs) / kMillisecondsPerSecond;
        }
        lastFrameMs = run.frameMs();
        const FrameWatch watch(world);
        rules.frame();
        watch.count(world, tour);
        shown = currentScreen;
    }
    tour.endsAsRecorded =
        run.finish() == ReplayRun::Ending::AsRecorded && !run.firstDifferingSecond();
    tour.planetMeetings = sounds.count(PlanetExplosion);
    return tour;
}
