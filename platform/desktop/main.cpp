#include "app/command_line.h"
#include "app/program.h"
#include "app/record_keeper.h"
#include "app/replay_player.h"
#include "app/version.h"

#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

// As other command-line tools do: 2 for a command line that cannot be obeyed.
constexpr int kRefusedStatus = 2;
constexpr int kFailedStatus = 1;

} // namespace

int main(int argc, char** argv) {
    CommandLine line = readCommandLine(argc, argv);
    switch (line.action) {
    case CommandLine::Action::Refuse:
        std::fputs(refusalText(line.problem).c_str(), stderr);
        return kRefusedStatus;
    case CommandLine::Action::ShowHelp:
        std::fputs(helpText(line.options).c_str(), stdout);
        return 0;
    case CommandLine::Action::ShowVersion:
        std::fputs(versionText().c_str(), stdout);
        return 0;
    case CommandLine::Action::ShowRecords:
        return printRecords();
    case CommandLine::Action::Play:
        break;
    }
    const std::string fileProblem = openReplayFiles(line.options);
    if (!fileProblem.empty()) {
        std::fprintf(stderr, "%s: %s\n", kProgramName, fileProblem.c_str());
        return kRefusedStatus;
    }
    if (!getReplayPlayer().notice().empty()) {
        std::fprintf(stderr, "%s: replaying %s: %s\n", kProgramName,
                     line.options.replayFile.c_str(), getReplayPlayer().notice().c_str());
    }
    try {
        const int glutArgc = static_cast<int>(line.glutArguments.size()) - 1;
        return runProgram(glutArgc, line.glutArguments.data(), line.options);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "%s: %s\n", kProgramName, error.what());
        return kFailedStatus;
    }
}
