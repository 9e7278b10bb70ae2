#include "app/command_line.h"
#include "app/program.h"
#include "app/replay_player.h"
#include "app/replay_recorder.h"
#include "app/version.h"
#include "platform/platform.h"
#include "records/record_store.h"
#include "records/records_report.h"
#include "world/world.h"
#include "world/world_digest.h"

#include <cstdio>
#include <emscripten.h>
#include <string>
#include <sys/stat.h>

namespace {

// Every game played since the page opened is recorded here, in the page's memory.
constexpr const char* kRecordingFolder = "/recordings";
constexpr const char* kThisVisit = "/recordings/this-visit.replay";
constexpr const char* kToDownload = "/recordings/download.replay";
constexpr mode_t kFolderMode = 0700;
constexpr const char* kRecordsKeptIn = "this browser, for this site";
constexpr int kRefusedStatus = 2;

} // namespace

// The games played since the page opened, as a recording that ends where the
// game stands now, for the player to download: its path, or "" when there is
// none (the page is replaying).
extern "C" EMSCRIPTEN_KEEPALIVE const char* vantorel_recording_to_download() {
    return getReplayRecorder().copyEndingNow(kToDownload, worldDigest(getWorld())) ? kToDownload
                                                                                   : "";
}

// The record as `vantorel --records` prints it, or why it cannot be read.
extern "C" EMSCRIPTEN_KEEPALIVE const char* vantorel_records_report() {
    static std::string report;
    const ParsedRecords kept = RecordStore(recordsFolder()).peek();
    report = kept.records ? recordsReport(*kept.records, kRecordsKeptIn)
                          : "The records cannot be read: " + kept.problem + "\n";
    return report.c_str();
}

// Where the records are kept in the program's memory, for the page to export.
extern "C" EMSCRIPTEN_KEEPALIVE const char* vantorel_records_file() {
    static std::string path;
    path = RecordStore(recordsFolder()).filePath();
    return path.c_str();
}

// The page gives the program `--replay FILE` for a recording to play back,
// which it has put in the program's memory; otherwise the game is played, and
// recorded.
int main(int argc, char** argv) {
    CommandLine line = readCommandLine(argc, argv);
    if (line.action != CommandLine::Action::Play) {
        showOutcomeLine(line.problem, true);
        return kRefusedStatus;
    }
    if (line.options.replayFile.empty()) {
        ::mkdir(kRecordingFolder, kFolderMode);
        line.options.recordFile = kThisVisit;
    }
    const std::string problem = openReplayFiles(line.options);
    if (!problem.empty()) {
        showOutcomeLine(problem, true);
        return kRefusedStatus;
    }
    if (!getReplayPlayer().notice().empty()) {
        std::fprintf(stderr, "%s: replaying %s: %s\n", kProgramName,
                     line.options.replayFile.c_str(), getReplayPlayer().notice().c_str());
    }
    const int glutArgc = static_cast<int>(line.glutArguments.size()) - 1;
    return runProgram(glutArgc, line.glutArguments.data(), line.options);
}
