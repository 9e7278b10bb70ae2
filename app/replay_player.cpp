#include "app/replay_player.h"

#include "app/game.h"
#include "app/version.h"
#include "clock/elapsed_time.h"
#include "platform/platform.h"
#include "replay/replay_reader.h"
#include "world/game_rules.h"
#include "world/world.h"

#include <GL/glut.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

// A replay that falls this far behind its recording (a slow machine, a
// dragged window) starts its schedule afresh rather than rushing to catch up.
constexpr std::chrono::milliseconds kLongestLag{250};
// A recording may wait for an hour on the title, or a crafted one for weeks:
// the replay waits a second at most, and only its pace changes, never the
// clock readings its frames see.
constexpr std::chrono::milliseconds kLongestWait{1000};
// While a frame is waited for, the window still redraws and closes: the wait
// goes by in slices this long at most, with GLUT's events in between.
constexpr std::chrono::milliseconds kWaitSlice{10};
// A frame due this long ago is not drawn: the replay runs it and goes on to
// the next, so that it keeps its recording's pace on a screen that draws
// fewer frames than the recording holds. A few frames at most go undrawn in a
// row, so that something is shown; a machine slower than that falls behind.
constexpr std::chrono::milliseconds kBehindBy{25};
constexpr int kMostFramesUndrawn = 8;
// A fast replay that did not end where its recording did.
constexpr int kEndedElsewhereStatus = 1;

} // namespace

std::string ReplayPlayer::load(const std::string& path, bool fast) {
    ReplayReading reading = readReplayFile(path, kProgramVersion);
    if (!reading.problem.empty()) {
        return reading.problem;
    }
    notice_ = reading.notice;
    path_ = path;
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
    if (frameDue_) {
        // Not shown yet (GLUT draws no hidden window): the next waits for it.
        waitBetweenIdleCalls(kWaitSlice);
        return;
    }
    if (!waiting_ && !readyNextFrame()) {
        end();
        return;
    }
    if (!waitedASliceFor(dueAt_)) {
        return;
    }
    waiting_ = false;
    if (!catchUp()) {
        return;
    }
    undrawnFrames_ = 0;
    frameDue_ = true;
    glutPostRedisplay();
}

// Runs the readied frames that are already late without drawing them; whether
// the one readied now is to be drawn (or is still to be waited for). The last
// frame is always drawn, so that the replay stays on what its game ended on.
bool ReplayPlayer::catchUp() {
    while (isBehind() && run_->hasFrameAfter() && undrawnFrames_ < kMostFramesUndrawn) {
        ++undrawnFrames_;
        getGame().runFrame();
        if (!readyNextFrame()) {
            glutPostRedisplay();
            end();
            return false;
        }
        if (Clock::now() < dueAt_) {
            return false;
        }
        waiting_ = false;
    }
    return true;
}

bool ReplayPlayer::isBehind() const {
    return !fast_ && Clock::now() - dueAt_ >= kBehindBy;
}

bool ReplayPlayer::readyNextFrame() {
    if (!run_->prepareNextFrame()) {
        return false;
    }
    ++framesReadied_;
    waiting_ = true;
    const Clock::time_point now = Clock::now();
    dueAt_ = fast_ ? now : dueTime(now);
    readiedMs_ = run_->frameMs();
    return true;
}

// Sleeps towards `due`, a slice at most; whether it has come.
bool ReplayPlayer::waitedASliceFor(Clock::time_point due) {
    const Clock::time_point now = Clock::now();
    if (now < due) {
        waitBetweenIdleCalls(std::min<Clock::duration>(due - now, kWaitSlice));
    }
    return Clock::now() >= due;
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

// When the frame just readied is due: as long after the frame the schedule
// started from as in the recording.
ReplayPlayer::Clock::time_point ReplayPlayer::dueTime(Clock::time_point now) {
    const int frameMs = run_->frameMs();
    if (!anchored_) {
        startSchedule(now, frameMs);
        return now;
    }
    const auto sinceAnchor = std::chrono::milliseconds(millisecondsBetween(anchorMs_, frameMs));
    const Clock::time_point due = anchor_ + sinceAnchor;
    if (now - due > kLongestLag) {
        startSchedule(now, frameMs);
        return now;
    }
    if (due - now > kLongestWait) {
        sayWaitsAreShortened(millisecondsBetween(readiedMs_, frameMs));
        startSchedule(now + kLongestWait, frameMs);
        return now + kLongestWait;
    }
    return due;
}

void ReplayPlayer::startSchedule(Clock::time_point at, int frameMs) {
    anchored_ = true;
    anchor_ = at;
    anchorMs_ = frameMs;
}

void ReplayPlayer::sayWaitsAreShortened(int recordedWaitMs) {
    if (saidWaitsAreShortened_) {
        return;
    }
    saidWaitsAreShortened_ = true;
    std::fprintf(stderr,
                 "%s: replaying %s: it waits %.1f s before frame %d; waits longer than %.0f s "
                 "are shortened to that\n",
                 kProgramName, path_.c_str(), recordedWaitMs / 1000.0, framesReadied_,
                 std::chrono::duration<double>(kLongestWait).count());
}

// A fast replay prints how the game ended and ends the program; one at the
// recorded pace stays on its last frame, and the platform shows the line as it
// shows such lines.
void ReplayPlayer::end() {
    glutIdleFunc(nullptr);
    const ReplayRun::Ending ending = run_->finish();
    const std::string line =
        outcomeText(getWorld()) + "; " + comparisonText(ending, run_->firstDifferingSecond());
    const bool endedElsewhere = ending == ReplayRun::Ending::Elsewhere;
    if (fast_) {
        std::puts(line.c_str());
        std::fflush(stdout);
        std::exit(endedElsewhere ? kEndedElsewhereStatus : 0);
    }
    showOutcomeLine(line, endedElsewhere);
}

ReplayPlayer& getReplayPlayer() {
    static ReplayPlayer* const player = new ReplayPlayer();
    return *player;
}
