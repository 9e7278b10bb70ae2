// The window at other sizes than 1024 by 768, as the player asks for them on the
// command line: full screen with the field letterboxed, and scaled.
#include "polling.h"
#include "program_harness.h"
#include "ship_pilot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The tests' Xvfb screen is 1280 by 1024: full screen, the field is 1280 by 960
// with bars of 32 rows above and below it.
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;
constexpr int kBar = 32;
constexpr int kFieldHeight = kScreenHeight - 2 * kBar;
constexpr int kBlack = 8; // per channel, at most
// Presses that leave the menus also send the ship: here, away from the sun.
constexpr int kMenuPressX = kScreenWidth / 4;
constexpr int kMenuPressY = kScreenHeight / 4;
// A screen that holds a window of 1.5 times 1024 by 768, and that window.
constexpr const char* kLargeScreen = "2048x1536x24";
constexpr int kScaledWidth = 1536;
constexpr int kScaledHeight = 1152;
constexpr double kScaledPixelsPerUnit = 15.36;
// A released ship stops within 2 units of where it was sent; 12.8 pixels a unit.
constexpr double kArrivalPixels = 2.5 * 12.8;

RunningGame::Options withArguments(std::vector<std::string> arguments) {
    RunningGame::Options options;
    options.arguments = std::move(arguments);
    return options;
}

// The rows of a screenshot from `top` on that show the field.
RunningGame::Screenshot fieldRows(const RunningGame::Screenshot& shot, int top, int height) {
    RunningGame::Screenshot field;
    if (shot.height < top + height) {
        return field;
    }
    field.width = shot.width;
    field.height = height;
    field.rgb.assign(shot.rgb.begin() + 3 * top * shot.width,
                     shot.rgb.begin() + 3 * (top + height) * shot.width);
    return field;
}

bool barsAreBlack(const RunningGame::Screenshot& shot) {
    for (int y = 0; y < shot.height; ++y) {
        if (y >= kBar && y < kScreenHeight - kBar) {
            continue;
        }
        for (int x = 0; x < shot.width; ++x) {
            const std::uint8_t* pixel = shot.at(x, y);
            if (pixel[0] > kBlack || pixel[1] > kBlack || pixel[2] > kBlack) {
                return false;
            }
        }
    }
    return true;
}

RunningGame::Screenshot letterboxedWhenShowing(const RunningGame& game,
                                               const StretchedPicture& picture, double share) {
    return screenshotWhen(game, [&](const RunningGame::Screenshot& shot) {
        return shareMatching(fieldRows(shot, kBar, kFieldHeight), picture) >= share;
    });
}

// Sends the ship to a window pixel and tells whether it arrived there.
bool shipArrivesAt(const RunningGame& game, int x, int y) {
    game.hold(x, y);
    const RunningGame::Screenshot shot =
        screenshotWhen(game, [&](const RunningGame::Screenshot& seen) {
            const std::optional<WindowPixel> eye = shipEyeNear(seen, x, y);
            return eye && std::hypot(eye->x - x, eye->y - y) <= kArrivalPixels;
        });
    const std::optional<WindowPixel> eye = shipEyeNear(shot, x, y);
    return eye && std::hypot(eye->x - x, eye->y - y) <= kArrivalPixels;
}

// Up to the end of a line; empty when the writer closed first.
std::string lineFrom(int descriptor) {
    std::string line;
    char next = 0;
    while (read(descriptor, &next, 1) == 1) {
        if (next == '\n') {
            return line;
        }
        line += next;
    }
    return {};
}

// An Xvfb server of the test's own, with a screen of another size, stands in
// for the test's display while the object lives.
class OwnDisplay {
public:
    explicit OwnDisplay(const char* screen) {
        int ready[2];
        if (pipe(ready) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            const std::string fd = std::to_string(ready[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen, "-nolisten",
                   "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ready[1]);
        const std::string number = lineFrom(ready[0]); // written once the server serves
        close(ready[0]);
        if (!number.empty()) {
            previous_ = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
            setenv("DISPLAY", (":" + number).c_str(), 1);
            serving_ = true;
        }
    }
    ~OwnDisplay() {
        if (serving_) {
            setenv("DISPLAY", previous_.c_str(), 1);
        }
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    OwnDisplay(const OwnDisplay&) = delete;
    OwnDisplay& operator=(const OwnDisplay&) = delete;

    bool serving() const { return serving_; }

private:
    pid_t pid_ = -1;
    bool serving_ = false;
    std::string previous_;
};

} // namespace

TEST(FullScreen, LetterboxesTheFieldAndMapsClicksToItsCorners) {
    const ScreenPictures pictures;
    ASSERT_TRUE(pictures.loaded());
    RunningGame game(withArguments({"--fullscreen"}));
    ASSERT_TRUE(game.hasWindow());
    ASSERT_TRUE(waitUntil([&] { return game.geometry().width == kScreenWidth; }));

    const RunningGame::Screenshot title =
        letterboxedWhenShowing(game, pictures.title, kWholePicture);
    ASSERT_EQ(title.height, kScreenHeight);
    EXPECT_GE(shareMatching(fieldRows(title, kBar, kFieldHeight), pictures.title), kWholePicture);
    EXPECT_TRUE(barsAreBlack(title));

    game.click(kMenuPressX, kMenuPressY);
    letterboxedWhenShowing(game, pictures.instructions, kWholePicture);
    game.click(kMenuPressX, kMenuPressY);
    const RunningGame::Screenshot play =
        letterboxedWhenShowing(game, pictures.backdrop, kMostOfTheBackdrop);
    EXPECT_TRUE(barsAreBlack(play));

    // Round the field's edge, clear of the sun: top left, bottom left, bottom right.
    EXPECT_TRUE(shipArrivesAt(game, 0, kBar));
    EXPECT_TRUE(shipArrivesAt(game, 0, kScreenHeight - kBar - 1));
    EXPECT_TRUE(shipArrivesAt(game, kScreenWidth - 1, kScreenHeight - kBar - 1));

    commandOutput("xdotool key Escape");
    EXPECT_EQ(settledGeometry(game).width, kWindowWidth) << "Escape leaves full screen";
}

TEST(ScaledWindow, TakesTheScaleWhereTheScreenHoldsIt) {
    const OwnDisplay display(kLargeScreen);
    ASSERT_TRUE(display.serving());
    const ScreenPictures pictures;
    RunningGame game(withArguments({"--scale", "1.5"}));
    ASSERT_TRUE(game.hasWindow());
    ASSERT_TRUE(waitUntil([&] { return game.geometry().width == kScaledWidth; }));
    EXPECT_EQ(game.geometry().height, kScaledHeight);

    const RunningGame::Screenshot play = reachPlay(game, pictures);
    EXPECT_GE(shareMatching(play, pictures.backdrop), kMostOfTheBackdrop);
    // The ship starts where it starts at scale 1, half as far again from the
    // corner; it has barely begun to fly towards the last press.
    const int shipX = windowX(kShipStartPoint.x) * 3 / 2;
    const int shipY = windowY(kShipStartPoint.y) * 3 / 2;
    const std::optional<WindowPixel> eye = shipEyeNear(play, shipX, shipY);
    ASSERT_TRUE(eye.has_value());
    EXPECT_NEAR(eye->x, shipX, kScaledPixelsPerUnit);
    EXPECT_NEAR(eye->y, shipY, kScaledPixelsPerUnit);
}

TEST(ScaledWindow, IsTheLargestThatFitsWhereTheScreenDoesNotHoldIt) {
    RunningGame game(withArguments({"--scale", "1.5"}));
    ASSERT_TRUE(game.hasWindow());
    ASSERT_TRUE(waitUntil([&] { return game.geometry().width == kScreenWidth; }));
    EXPECT_EQ(game.geometry().height, kScreenWidth * 3 / 4);
}
