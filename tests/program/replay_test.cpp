// Games recorded and played back on the real binary: a lost game recorded from
// the mouse, the committed winning game, and files that cannot be played.
#include "play_field.h"
#include "program_harness.h"

#include "app/replay_recorder.h"
#include "render/tga_image.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kWonGame = VANTOREL_DATA_DIR "/tests/data/won_game.replay";
constexpr auto kStaysAfterTheEnd = std::chrono::seconds(1);
constexpr auto kWaitBeforeTheFirstClick = std::chrono::milliseconds(3000);
constexpr double kFlightIntoTheSun = 1.5; // seconds, from the click to the wreck

Finished run(const std::string& arguments, const std::string& environment = "") {
    return runToEnd(VANTOREL_BINARY, arguments, environment);
}

// The replay checker, with no display to open a window on.
Finished check(const std::string& files) {
    return runToEnd(VANTOREL_CHECKER, files, "env -u DISPLAY");
}

// Played back as fast as it goes, in a window of another size than the recording's.
Finished fastReplayOf(const std::string& file, const std::string& environment = "") {
    return run("--replay '" + file + "' --fast --scale 0.5 --mute", environment);
}

RunningGame::Options gameWith(const std::vector<std::string>& arguments) {
    RunningGame::Options options;
    options.arguments = arguments;
    return options;
}

bool startsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
}

// Plays a game into `file` from the mouse: into play, a wait of `beforeClick`,
// a click on the sun, the lose picture, the window closed.
void recordAGameLostInTheSun(const std::string& file,
                             std::chrono::milliseconds beforeClick = std::chrono::milliseconds(0)) {
    const ScreenPictures pictures;
    TgaImage lose;
    ASSERT_TRUE(lose.load(VANTOREL_DATA_DIR "/images/lose.tga", false));
    RunningGame game(gameWith({"--record", file, "--no-records"}));
    ASSERT_TRUE(game.hasWindow());
    reachPlay(game, pictures);
    std::this_thread::sleep_for(beforeClick);
    game.click(windowX(kSunCentre.x), windowY(kSunCentre.y));
    const auto lostShows = [&](const RunningGame::Screenshot& shot) {
        return showsEndPicture(shot, lose);
    };
    ASSERT_TRUE(lostShows(screenshotWhen(game, lostShows))) << "the game was not lost";
    game.close();
    ASSERT_TRUE(waitUntil([&] { return !game.stillRunning(); })) << "the window did not close";
}

} // namespace

TEST(Replay, ALostGameRecordedFromTheMousePlaysBackToTheSameEnd) {
    TgaImage lose;
    ASSERT_TRUE(lose.load(VANTOREL_DATA_DIR "/images/lose.tga", false));
    const TemporaryFolder folder;
    const std::string file = folder.pathOf("lost.replay");
    const auto lostShows = [&](const RunningGame::Screenshot& shot) {
        return showsEndPicture(shot, lose);
    };
    recordAGameLostInTheSun(file);

    // At the recorded pace, the same end, and the window stays on it.
    {
        RunningGame replay(gameWith({"--replay", file}));
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
    EXPECT_TRUE(endsWith(fast.standardOutput, kEndsAsRecorded)) << fast.standardOutput;
    const Finished checked = check(file);
    EXPECT_EQ(checked.status, 0) << checked.standardOutput;
    EXPECT_TRUE(startsWith(checked.standardOutput, file + ": lost: 0 planets formed in "))
        << checked.standardOutput;
    EXPECT_TRUE(endsWith(checked.standardOutput, kEndsAsRecorded)) << checked.standardOutput;

    // Killed in the middle of writing a frame: its end and the last frame's clock are lost.
    const std::string whole = folder.read("lost.replay");
    folder.write("lost.replay", whole.substr(0, whole.size() - 10));
    const Finished cut = fastReplayOf(file);
    EXPECT_EQ(cut.status, 0) << cut.standardError;
    EXPECT_TRUE(startsWith(cut.standardOutput, "lost: 0 planets formed in ")) << cut.standardOutput;
    EXPECT_TRUE(endsWith(cut.standardOutput, "; the recording holds no final state to compare\n"))
        << cut.standardOutput;
    EXPECT_TRUE(startsWith(cut.standardError, "vantorel: replaying " + file + ": it was cut short"))
        << cut.standardError;
}

// The new ship waits above the sun for the player: three seconds of waiting
// before the first click are not game time.
TEST(Replay, AGamesTimeStartsAtItsFirstClick) {
    const TemporaryFolder folder;
    const std::string file = folder.pathOf("waited.replay");
    recordAGameLostInTheSun(file, kWaitBeforeTheFirstClick);
    const Finished fast = fastReplayOf(file);
    ASSERT_TRUE(startsWith(fast.standardOutput, "lost: 0 planets formed in "))
        << fast.standardOutput;
    const double seconds =
        std::atof(fast.standardOutput.c_str() + std::strlen("lost: 0 planets formed in "));
    EXPECT_LT(seconds, kFlightIntoTheSun) << fast.standardOutput;
}

// Made by tests/soak/make_winning_replay.cpp (make winning-replay), which must
// be run again whenever the game's version or its rules change. Its games were
// counted when they were played: a replay writes no records.
TEST(Replay, TheCommittedWinningGameWinsAgainInTheRecordedState) {
    const TemporaryFolder dataHome;
    const Finished won = fastReplayOf(kWonGame, "XDG_DATA_HOME=" + dataHome.path());
    EXPECT_EQ(won.status, 0) << won.standardError;
    EXPECT_EQ(won.standardOutput,
              std::string("won: 12 planets formed in 87.62 s of game time") + kEndsAsRecorded);
    EXPECT_FALSE(dataHome.has("vantorel")) << "the replay wrote records";
}

// The corpus made on the real game with the mouse plays back in the window to
// the end the checker names for it, the digest aside.
TEST(Replay, EveryCorpusRecordingEndsInTheWindowWhereTheCheckerSays) {
    const std::string corpus = VANTOREL_DATA_DIR "/tests/data/replays/";
    std::ifstream expected(corpus + "expected.txt");
    int recordings = 0;
    for (std::string line; std::getline(expected, line); ++recordings) {
        const std::size_t nameEnd = line.find(": ");
        const std::size_t digest = line.find("; digest ");
        ASSERT_NE(digest, std::string::npos) << line;
        const std::size_t digestEnd = line.find(';', digest + 1);
        const std::string name = line.substr(0, nameEnd);
        const std::string ending =
            line.substr(nameEnd + 2, digest - nameEnd - 2) + line.substr(digestEnd) + "\n";
        const Finished fast = fastReplayOf(corpus + name);
        EXPECT_EQ(fast.status, 0) << name << ": " << fast.standardError;
        EXPECT_EQ(fast.standardOutput, ending) << name;
    }
    EXPECT_GE(recordings, 13);
}

// The rules alone, with no window, end where the windowed game ends; the
// worst file decides the status: 0 all as recorded, 1 one differs, 2 one unreadable.
TEST(Replay, TheCheckerFindsTheGamesEndWithoutADisplay) {
    const TemporaryFolder folder;
    std::ifstream wonFile(kWonGame, std::ios::binary);
    std::string altered{std::istreambuf_iterator<char>(wonFile), {}};
    altered.back() = static_cast<char>(altered.back() ^ 1); // the final digest's last byte
    folder.write("altered.replay", altered);
    const std::string wonLine = std::string(kWonGame) +
                                ": won: 12 planets formed in 87.62 s of game time; "
                                "digest a7d9bd182c3489fe; the final state is the recorded one\n";
    const std::string alteredLine = folder.pathOf("altered.replay") +
                                    ": won: 12 planets formed in 87.62 s of game time; "
                                    "digest a7d9bd182c3489fe; the final state differs from the "
                                    "recorded one\n";
    const std::string missingLine =
        folder.pathOf("missing.replay") + ": cannot replay: No such file or directory\n";
    const struct {
        std::string files;
        int status;
        std::string output;
    } cases[] = {
        {kWonGame, 0, wonLine},
        {folder.pathOf("altered.replay"), 1, alteredLine},
        {folder.pathOf("missing.replay") + " " + kWonGame, 2, missingLine + wonLine},
        {kWonGame + std::string(" ") + folder.pathOf("altered.replay"), 1, wonLine + alteredLine},
    };
    for (const auto& c : cases) {
        const Finished checked = check(c.files);
        EXPECT_EQ(checked.status, c.status) << c.files;
        EXPECT_EQ(checked.standardOutput, c.output);
    }
}

TEST(Replay, AFileThatCannotBePlayedIsRefusedInOneLineBeforeAnyWindowOpens) {
    const TemporaryFolder folder;
    std::ifstream wonFile(kWonGame, std::ios::binary);
    const std::string won{std::istreambuf_iterator<char>(wonFile), {}};
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
        if (std::string(c.name) != "missing") {
            folder.write(c.name, c.bytes);
        }
        // Without a display, a window that opened would end the game with GLUT's complaint.
        const Finished refused = run("--replay " + folder.pathOf(c.name), "env -u DISPLAY");
        EXPECT_EQ(refused.status, 2) << c.name;
        EXPECT_EQ(refused.standardError,
                  "vantorel: cannot replay " + folder.pathOf(c.name) + ": " + c.problem + "\n");
        EXPECT_EQ(refused.standardOutput, "") << c.name;
    }
}

// Read whole, a replay must be a file of bounded length: a pipe or a device
// could go on for ever, and a huge file would take all the memory there is.
// Each is refused at once, under a limit on memory as a shared machine sets.
TEST(Replay, WhatIsNoFileOrTooLongIsRefusedAtOnceUnderAMemoryLimit) {
    constexpr auto kAtOnce = std::chrono::milliseconds(1000);
    const TemporaryFolder folder;
    const std::string fifo = folder.pathOf("fifo.replay");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string oversized = folder.pathOf("oversized.replay");
    folder.write("oversized.replay", "");
    ASSERT_EQ(truncate(oversized.c_str(), 33 * 1024 * 1024), 0);
    const struct {
        std::string path;
        std::string problem;
    } cases[] = {
        {"/dev/zero", "it is a device, not a file"},
        {fifo, "it is a pipe, not a file"},
        {folder.path(), "it is a folder, not a file"},
        {oversized, "it is longer than 32 MiB, the most a replay can be"},
    };
    const std::string limited = "ulimit -v 400000; timeout 10 env -u DISPLAY";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const auto started = std::chrono::steady_clock::now();
        const Finished refused = runToEnd(VANTOREL_BINARY, "--replay " + c.path, limited);
        const Finished checked = runToEnd(VANTOREL_CHECKER, c.path, limited);
        EXPECT_LT(std::chrono::steady_clock::now() - started, 2 * kAtOnce);
        EXPECT_EQ(refused.status, 2);
        EXPECT_EQ(refused.standardError,
                  "vantorel: cannot replay " + c.path + ": " + c.problem + "\n");
        EXPECT_EQ(checked.status, 2);
        EXPECT_EQ(checked.standardOutput, c.path + ": cannot replay: " + c.problem + "\n");
    }
}

// A start that fails (here, with no display) must not cost the player an older
// recording of the same name: the file is made only once the window is open.
TEST(Replay, AStartThatFailsLeavesAnOlderRecordingAsItWas) {
    std::ifstream wonFile(kWonGame, std::ios::binary);
    const std::string won{std::istreambuf_iterator<char>(wonFile), {}};
    const TemporaryFolder folder;
    folder.write("older.replay", won);
    const Finished failed =
        run("--record " + folder.pathOf("older.replay") + " --mute", "env -u DISPLAY");
    EXPECT_EQ(failed.status, 1) << failed.standardError;
    EXPECT_EQ(folder.read("older.replay"), won);
}

namespace {

constexpr int kStartMs = 1000;
constexpr int kHourMs = 3600 * 1000;

// Written by the game's own recorder: a few frames on the title, then as many
// frames as `hours`, each an hour after the one before, as a game left on the
// title for a night would be.
void writeNightOnTheTitle(const std::string& path, int hours) {
    ReplayRecorder recorder;
    ASSERT_EQ(recorder.prepare(path), "");
    recorder.start(1, kStartMs);
    int clockMs = kStartMs;
    for (int frame = 0; frame < 10; ++frame) {
        recorder.recordFrame(clockMs += 16);
    }
    for (int hour = 0; hour < hours; ++hour) {
        recorder.recordFrame(clockMs += kHourMs);
    }
    recorder.finish(0);
}

} // namespace

// Each wait longer than a second is shortened to one, said once; while a frame
// is waited for, the window answers at once: resized, it comes back to its size
// and shows its picture again, and asked to close, it closes.
TEST(Replay, LongWaitsAreShortenedAndTheWindowAnswersMeanwhile) {
    constexpr auto kPromptly = std::chrono::milliseconds(400);
    const ScreenPictures pictures;
    const TemporaryFolder folder;
    const std::string file = folder.pathOf("night.replay");
    writeNightOnTheTitle(file, 20);
    RunningGame::Options options = gameWith({"--replay", file, "--mute"});
    options.errors = folder.pathOf("errors");
    const RunningGame replay(options);
    ASSERT_TRUE(replay.hasWindow());
    waitForTitle(replay, pictures);
    const auto shownAgain = [&](const RunningGame::Screenshot& shot) {
        return shot.width == kWindowWidth && shareMatching(shot, pictures.title) >= kWholePicture;
    };
    for (int resize = 0; resize < 3; ++resize) {
        replay.resize(kWindowWidth / 2, kWindowHeight / 2);
        const auto asked = std::chrono::steady_clock::now();
        const RunningGame::Screenshot shot = screenshotWhen(replay, shownAgain);
        EXPECT_LT(std::chrono::steady_clock::now() - asked, kPromptly) << "resize " << resize;
        EXPECT_TRUE(shownAgain(shot));
        EXPECT_LT(shareMatching(shot, pictures.instructions), kWholePicture) << "a control";
    }
    replay.close();
    EXPECT_TRUE(replay.endsWellWithin(std::chrono::milliseconds(1000)));
    const std::string said = folder.read("errors");
    const std::string shortened = "waits longer than 1 s are shortened to that\n";
    EXPECT_NE(said.find("vantorel: replaying " + file + ": it waits 3600.0 s before frame 11; "),
              std::string::npos)
        << said;
    EXPECT_EQ(said.find(shortened), said.rfind(shortened)) << "said once: " << said;
}
