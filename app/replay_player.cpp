#include "app/replay_player.h"

#include "app/game.h"
#include "app/version.h"
#include "clock/elapsed_time.h"
#include "replay/replay_reader.h"
#include "world/game_rules.h"
#include "world/world.h"

#include <GL/glut.h>

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <utility>

namespace {

// A replay that falls this far behind its recording (a slow machine, a
// dragged window) starts its schedule afresh rather than rushing to catch up.
constexpr std::chrono::milliseconds kLongestLag{250};
// A fast replay that did not end where its recording did.
constexpr int kEndedElsewhereStatus = 1;

} // namespace

std::string ReplayPlayer::load(const std::string& path, bool fast) {
    ReplayReading reading = readReplayFile(path, kProgramVersion);
    if (!reading.problem.empty()) {
        return reading.problem;
    }
    notice_ = reading.notice;
    replay_ = std::move(reading.replay);
    loaded_ = true;
    fast_ = fast;
    return {};
}

void ReplayPlayer::begin() {
    run_.emplace(replay_, getGameRules());
    run_->begin();
}

void ReplayPlayer::advance() {
    if (!run_->prepareNextFrame()) {
        end();
        return;
    }
    if (!fast_) {
        waitForFrame();
    }
    frameDue_ = true;
    glutPostRedisplay();
}

// Between two frames nothing changes, so drawing the last one again changes
// nothing either.
void ReplayPlayer::show() {
    if (frameDue_) {
        frameDue_ = false;
        getGame().drawFrame();
    } else {
        getGame().redrawFrame();
    }
}

void ReplayPlayer::waitForFrame() {
    const Clock::time_point now = Clock::now();
    const int frameMs = run_->frameMs();
    const auto sinceAnchor = std::chrono::milliseconds(millisecondsBetween(anchorMs_, frameMs));
    if (!anchored_ || now - (anchor_ + sinceAnchor) > kLongestLag) {
        anchored_ = true;
        anchor_ = now;
        anchorMs_ = frameMs;
        return;
    }
    std::this_thread::sleep_until(anchor_ + sinceAnchor);
}

// A fast replay prints how the game ended and ends the program; one at the
// recorded pace stays on its last frame, and speaks only of a different end.
void ReplayPlayer::end() {
    glutIdleFunc(nullptr);
    const ReplayRun::Ending ending = run_->finish();
    const std::string line = outcomeText(getWorld()) + "; " +
                             comparisonText(ending, run_->firstDifferingSecond()) + "\n";
    if (fast_) {
        std::fputs(line.c_str(), stdout);
        std::fflush(stdout);
        std::exit(ending == ReplayRun::Ending::Elsewhere ? kEndedElsewhereStatus : 0);
    }
    if (ending == ReplayRun::Ending::Elsewhere) {
        std::fprintf(stderr, "%s: %s", kProgramName, line.c_str());
    }
}

ReplayPlayer& getReplayPlayer() {
    static ReplayPlayer* const player = new ReplayPlayer();
    return *player;
}
