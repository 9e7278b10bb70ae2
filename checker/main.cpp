// vantorel-check-replay FILE...: plays each recording through the game's rules
// alone, with no window and as fast as the processor allows, and says in one
// line per file how it ended against how it was recorded.

#include "app/version.h"
#include "replay/replay_reader.h"
#include "replay/replay_run.h"
#include "world/game_rules.h"
#include "world/world.h"
#include "world/world_digest.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string>

namespace {

// As the game's --replay --fast: 1 when a state differs, 2 for a file that
// cannot be replayed.
constexpr int kDiffersStatus = 1;
constexpr int kUnreadableStatus = 2;

struct FileCheck {
    int status = 0;
    std::string line;
};

std::string digestText(std::uint64_t digest) {
    char text[24];
    std::snprintf(text, sizeof text, "%016" PRIx64, digest);
    return text;
}

FileCheck checkFile(const std::string& path) {
    const ReplayReading reading = readReplayFile(path, kProgramVersion);
    if (!reading.problem.empty()) {
        return {kUnreadableStatus, path + ": cannot replay: " + reading.problem};
    }
    World world;
    GameRules rules(world);
    ReplayRun run(reading.replay, rules);
    run.begin();
    while (run.prepareNextFrame()) {
        rules.frame();
    }
    const ReplayRun::Ending ending = run.finish();
    const std::optional<int> parted = run.firstDifferingSecond();
    const bool differs = ending == ReplayRun::Ending::Elsewhere || parted;
    return {differs ? kDiffersStatus : 0, path + ": " + outcomeText(world) + "; digest " +
                                              digestText(worldDigest(world)) + "; " +
                                              comparisonText(ending, parted)};
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "Usage: %s FILE...\n"
                     "Plays each recorded game through the rules alone and says whether it "
                     "ends in its recorded state.\n",
                     argv[0]);
        return kUnreadableStatus;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        const FileCheck check = checkFile(argv[i]);
        std::puts(check.line.c_str());
        status = std::max(status, check.status);
    }
    return status;
}
