// Makes the winning game the whole-program tests replay: the soak's careful
// player plays the real Game, World and InputManager on a driven 60 Hz clock,
// recorded as the game records itself, until its first game is won.
//
//   make winning-replay                  (writes tests/data/won_game.replay)
//   build/tests/vantorel_winning_replay FILE [SEED]
//
// It ends with status 1 when the first game is lost: try another seed. The
// replay holds the game's version, so a new version needs the file made again.
#include "random_player.h"

#include "app/camera.h"
#include "app/game.h"
#include "app/replay_recorder.h"
#include "clock/elapsed_time.h"
#include "math/numeric.h"
#include "world/game_rules.h"
#include "world/game_screen.h"
#include "world/world.h"
#include "world/world_digest.h"

#include <GL/glut.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr unsigned kDefaultSeed = 5;
constexpr int kStartMs = 1000;
constexpr int kFramesPerSecond = 60;
constexpr long kLongestGameFrames = 20L * 60 * kFramesPerSecond;

void openWindow(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(Camera::kWindowWidth, Camera::kWindowHeight);
    glutCreateWindow("Vantorel");
    getCamera().reshape(Camera::kWindowWidth, Camera::kWindowHeight);
}

// 17, 17 and 16 ms: exactly a second every 60 frames.
int clockAtFrame(long frame) {
    return kStartMs + static_cast<int>(frame * 1000 / kFramesPerSecond);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [SEED]\n", argv[0]);
        return 2;
    }
    const unsigned seed =
        argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : kDefaultSeed;
    openWindow(argc, argv);
    ReplayRecorder& recorder = getReplayRecorder();
    const std::string problem = recorder.prepare(argv[1]);
    if (!problem.empty()) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], problem.c_str());
        return 2;
    }
    seedRandom(seed);
    driveElapsedMilliseconds(kStartMs);
    recorder.start(randomSeed(), takeElapsedMilliseconds());
    Game& game = getGame();
    game.init();
    getGameRules().start();
    World& world = getWorld();
    RandomPlayer player(seed, world);
    long frame = 0;
    while (!world.isGameOver() && frame < kLongestGameFrames) {
        driveElapsedMilliseconds(clockAtFrame(++frame));
        player.act();
        game.drawFrame();
    }
    recorder.finish(worldDigest(world));
    const bool won = world.showsWin();
    std::printf("seed %u: %s with %d planets after %ld frames\n", seed, won ? "won" : "not won",
                world.planetsFormed(), frame);
    return won ? 0 : 1;
}
