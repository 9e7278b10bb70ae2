// The ways a game ends other than its close button, each ending it as the close
// button does: the recording gets its final state, and the program exits with 0.
#include "program_harness.h"
#include "window_manager.h"

#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>

namespace {

// A signal or a destroyed window is noticed within a fraction of a second,
// even on the title, where nothing is drawn until something happens.
constexpr auto kPromptEnd = std::chrono::milliseconds(1000);
constexpr const char* kRecorded = "; the final state is the recorded one\n";

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

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Both the game and the checker find the recording ends in its recorded state.
void expectEndsAsRecorded(const std::string& file) {
    const Finished replayed = runToEnd(VANTOREL_BINARY, "--replay " + file + " --fast --mute");
    EXPECT_EQ(replayed.status, 0) << replayed.standardError;
    EXPECT_TRUE(endsWith(replayed.standardOutput, kRecorded)) << replayed.standardOutput;
    const Finished checked = runToEnd(VANTOREL_CHECKER, file, "env -u DISPLAY");
    EXPECT_EQ(checked.status, 0) << checked.standardOutput;
    EXPECT_TRUE(endsWith(checked.standardOutput, kRecorded)) << checked.standardOutput;
}

} // namespace

// A logout (SIGHUP), Ctrl+C in a terminal (SIGINT), a system shutting down (SIGTERM).
TEST(Closing, AnEndingSignalFinishesTheRecordingAndExitsWithZero) {
    const struct {
        int signal;
        Screen screen;
    } cases[] = {
        {SIGTERM, Screen::Title},
        {SIGTERM, Screen::Play},
        {SIGINT, Screen::Play},
        {SIGHUP, Screen::Title},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(strsignal(c.signal) + std::string(c.screen == Screen::Play ? " in play" : ""));
        const TemporaryFolder folder;
        const std::string file = folder.pathOf("ended.replay");
        {
            const RunningGame game(recordingInto(file));
            ASSERT_TRUE(game.hasWindow());
            goTo(c.screen, game);
            game.signal(c.signal);
            EXPECT_TRUE(game.endsWellWithin(kPromptEnd));
        }
        expectEndsAsRecorded(file);
    }
}

// With no window manager to ask it to close, or a program that destroys it
// outright, the window goes without a word to the game.
TEST(Closing, ADestroyedWindowEndsTheGameAsClosingItDoes) {
    const struct {
        bool managed;
        Screen screen;
    } cases[] = {
        {false, Screen::Title},
        {false, Screen::Play},
        {true, Screen::Title},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.managed ? "managed" : "bare") +
                     (c.screen == Screen::Play ? " in play" : " on the title"));
        const std::unique_ptr<WindowManager> manager =
            c.managed ? std::make_unique<WindowManager>() : nullptr;
        ASSERT_TRUE(!manager || manager->managing());
        const TemporaryFolder folder;
        const std::string file = folder.pathOf("destroyed.replay");
        {
            const RunningGame game(recordingInto(file));
            ASSERT_TRUE(game.hasWindow());
            goTo(c.screen, game);
            game.destroyWindow();
            EXPECT_TRUE(game.endsWellWithin(kPromptEnd));
        }
        expectEndsAsRecorded(file);
    }
}
