// Games recorded and played back on the real binary: a lost game recorded from
// the mouse, the committed winning game, and files that cannot be played.
#include "data_folder.h"
#include "play_field.h"
#include "program_harness.h"

#include "render/tga_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace {

constexpr const char* kWonGame = VANTOREL_DATA_DIR "/tests/data/won_game.replay";
constexpr const char* kRecorded = "; the final state is the recorded one\n";
constexpr auto kStaysAfterTheEnd = std::chrono::seconds(1);

struct Finished {
    std::string standardOutput;
    std::string standardError;
    int status = -1;
};

// Runs the real binary to its end with `arguments` and what it printed.
Finished run(const std::string& arguments, const std::string& environment = "") {
    const std::string errors = ::testing::TempDir() + "replay_test_errors";
    const std::string output =
        commandOutput("cd " VANTOREL_DATA_DIR " && " + environment + " " VANTOREL_BINARY " " +
                      arguments + " 2>" + errors + "; echo \"status $?\"");
    Finished finished;
    const std::size_t statusAt = output.rfind("status ");
    finished.standardOutput = output.substr(0, statusAt);
    finished.status = std::atoi(output.c_str() + statusAt + 7);
    std::ifstream errorFile(errors);
    finished.standardError.assign(std::istreambuf_iterator<char>(errorFile), {});
    return finished;
}

// Played back as fast as it goes, in a window of another size than the recording's.
Finished fastReplayOf(const std::string& file) {
    return run("--replay '" + file + "' --fast --scale 0.5 --mute");
}

bool startsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string contentsOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

TEST(Replay, ALostGameRecordedFromTheMousePlaysBackToTheSameEnd) {
    const ScreenPictures pictures;
    TgaImage lose;
    ASSERT_TRUE(lose.load(VANTOREL_DATA_DIR "/images/lose.tga", false));
    const DataFolder folder;
    const std::string file = folder.path() + "/lost.replay";
    const auto lostShows = [&](const RunningGame::Screenshot& shot) {
        return showsEndPicture(shot, lose);
    };
    {
        RunningGame game(
            RunningGame::Options{VANTOREL_DATA_DIR, VANTOREL_BINARY, {"--record", file}});
        ASSERT_TRUE(game.hasWindow());
        reachPlay(game, pictures);
        game.click(windowX(kSunCentre.x), windowY(kSunCentre.y));
        ASSERT_TRUE(lostShows(screenshotWhen(game, lostShows))) << "the game was not lost";
        game.close();
        ASSERT_TRUE(waitUntil([&] { return !game.stillRunning(); })) << "the window did not close";
    }

    // At the recorded pace, the same end, and the window stays on it.
    {
        RunningGame replay(
            RunningGame::Options{VANTOREL_DATA_DIR, VANTOREL_BINARY, {"--replay", file}});
        ASSERT_TRUE(replay.hasWindow());
        EXPECT_TRUE(lostShows(screenshotWhen(replay, lostShows))) << "the replay was not lost";
        std::this_thread::sleep_for(kStaysAfterTheEnd);
        EXPECT_TRUE(replay.stillRunning());
        EXPECT_TRUE(lostShows(replay.screenshot()));
    }

    const Finished fast = fastReplayOf(file);
    EXPECT_EQ(fast.status, 0) << fast.standardError;
    EXPECT_TRUE(startsWith(fast.standardOutput, "lost: 0 planets formed in "))
        << fast.standardOutput;
    EXPECT_TRUE(endsWith(fast.standardOutput, kRecorded)) << fast.standardOutput;

    // Killed in the middle of writing a frame: its end and the last frame's clock are lost.
    const std::string whole = contentsOf(file);
    writeFile(file, whole.substr(0, whole.size() - 10));
    const Finished cut = fastReplayOf(file);
    EXPECT_EQ(cut.status, 0) << cut.standardError;
    EXPECT_TRUE(startsWith(cut.standardOutput, "lost: 0 planets formed in ")) << cut.standardOutput;
    EXPECT_TRUE(endsWith(cut.standardOutput, "; the recording holds no final state to compare\n"))
        << cut.standardOutput;
    EXPECT_TRUE(startsWith(cut.standardError, "vantorel: replaying " + file + ": it was cut short"))
        << cut.standardError;
}

// Made by tests/soak/make_winning_replay.cpp (make winning-replay), which must
// be run again whenever the game's version or its rules change.
TEST(Replay, TheCommittedWinningGameWinsAgainInTheRecordedState) {
    const Finished won = fastReplayOf(kWonGame);
    EXPECT_EQ(won.status, 0) << won.standardError;
    EXPECT_EQ(won.standardOutput,
              std::string("won: 12 planets formed in 87.62 s of game time") + kRecorded);
}

TEST(Replay, AFileThatCannotBePlayedIsRefusedInOneLineBeforeAnyWindowOpens) {
    const DataFolder folder;
    const std::string won = contentsOf(kWonGame);
    std::string otherVersion = won;
    const std::size_t version = otherVersion.find(VANTOREL_VERSION);
    ASSERT_NE(version, std::string::npos);
    otherVersion.replace(version, 1, "0");
    const struct {
        const char* name;
        std::string bytes;
        std::string problem;
    } cases[] = {
        {"missing", "", "No such file or directory"},
        {"empty.replay", "", "it is empty"},
        {"cut-in-header.replay", won.substr(0, 20), "it ends inside its header"},
        {"other-version.replay", otherVersion,
         "it was recorded by version " +
             otherVersion.substr(version, std::strlen(VANTOREL_VERSION)) +
             " of the game; this is version " VANTOREL_VERSION},
    };
    for (const auto& c : cases) {
        const std::string path = folder.path() + "/" + c.name;
        if (std::string(c.name) != "missing") {
            writeFile(path, c.bytes);
        }
        // Without a display, a window that opened would end the game with GLUT's complaint.
        const Finished refused = run("--replay " + path, "env -u DISPLAY");
        EXPECT_EQ(refused.status, 2) << c.name;
        EXPECT_EQ(refused.standardError,
                  "vantorel: cannot replay " + path + ": " + c.problem + "\n");
        EXPECT_EQ(refused.standardOutput, "") << c.name;
    }
}
