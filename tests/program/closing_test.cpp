// The ways a game ends other than its close button, each ending it as the close
// button does: the recording gets its final state, and the program exits with 0.
#include "program_harness.h"
#include "window_manager.h"

#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <memory>
#include <string>

namespace {

// A signal or a destroyed window is noticed within a fraction of a second,
// even on the title, where nothing is drawn until something happens.
constexpr auto kPromptEnd = std::chrono::milliseconds(1000);

enum class Screen { Title, Play };

RunningGame::Options recordingInto(const std::string& file) {
    RunningGame::Options options;
    options.arguments = {"--record", file, "--mute", "--no-records"};
    return options;
}

void goTo(Screen screen, const RunningGame& game) {
    const ScreenPictures pictures;
    if (screen == Screen::Play) {
        reachPlay(game, pictures);
        game.hold(kWindowWidth / 4, kWindowHeight / 4); // the ship flies off
    } else {
        waitForTitle(game, pictures);
    }
}

// Both the game and the checker find the recording ends in its recorded state.
void expectEndsAsRecorded(const std::string& file) {
    const Finished replayed = runToEnd(VANTOREL_BINARY, "--replay " + file + " --fast --mute");
    EXPECT_EQ(replayed.status, 0) << replayed.standardError;
    EXPECT_TRUE(endsWith(replayed.standardOutput, kEndsAsRecorded)) << replayed.standardOutput;
    const Finished checked = runToEnd(VANTOREL_CHECKER, file, "env -u DISPLAY");
    EXPECT_EQ(checked.status, 0) << checked.standardOutput;
    EXPECT_TRUE(endsWith(checked.standardOutput, kEndsAsRecorded)) << checked.standardOutput;
}

} // namespace

// A shutdown (SIGTERM), Ctrl+C in a terminal (SIGINT), a logout (SIGHUP); with
// no window manager to ask it to close, or another program that destroys it
// outright, the window goes without a word to the game.
TEST(Closing, SignalsAndADestroyedWindowFinishTheRecordingAndExitWithZero) {
    constexpr int kDestroyed = 0;
    const struct {
        int signal;
        Screen screen;
        bool managed;
    } cases[] = {
        {SIGTERM, Screen::Title, false},    {SIGTERM, Screen::Play, false},
        {SIGINT, Screen::Play, false},      {SIGHUP, Screen::Title, false},
        {kDestroyed, Screen::Title, false}, {kDestroyed, Screen::Play, false},
        {kDestroyed, Screen::Title, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.signal == kDestroyed ? "destroyed" : strsignal(c.signal)) +
                     (c.screen == Screen::Play ? " in play" : " on the title") +
                     (c.managed ? ", managed" : ""));
        const std::unique_ptr<WindowManager> manager =
            c.managed ? std::make_unique<WindowManager>() : nullptr;
        ASSERT_TRUE(!manager || manager->managing());
        const TemporaryFolder folder;
        const std::string file = folder.pathOf("ended.replay");
        {
            const RunningGame game(recordingInto(file));
            ASSERT_TRUE(game.hasWindow());
            goTo(c.screen, game);
            if (c.signal == kDestroyed) {
                game.destroyWindow();
            } else {
                game.signal(c.signal);
            }
            EXPECT_TRUE(game.endsWellWithin(kPromptEnd));
        }
        expectEndsAsRecorded(file);
    }
}
