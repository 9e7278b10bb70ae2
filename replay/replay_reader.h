#pragma once

#include "replay/replay.h"

#include <cstdint>
#include <string>
#include <vector>

// What reading a replay file gave: the recorded game, or why it cannot be
// played. A recording cut short (a crash, a kill) is played up to its last
// whole frame, and `notice` says so.
struct ReplayReading {
    Replay replay;
    std::string problem;
    std::string notice;
};

// Reads a replay recorded by this game's `gameVersion`. Every value is checked
// before the game sees it: a clock that runs backwards, a button GLUT cannot
// report, a pointer off the field and a file of another version are refused.
ReplayReading readReplay(const std::vector<std::uint8_t>& bytes, const std::string& gameVersion);
ReplayReading readReplayFile(const std::string& path, const std::string& gameVersion);
