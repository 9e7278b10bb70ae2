// The window at other sizes than 1024 by 768, as the player asks for them on the
// command line: full screen with the field letterboxed, and scaled.
#include "own_display.h"
#include "polling.h"
#include "program_harness.h"
#include "ship_pilot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// The tests' Xvfb screen is 1280 by 1024: full screen, the field is 1280 by 960
// between two bars of 32 rows.
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;
constexpr int kBar = 32;
constexpr int kBlack = 8; // per channel, at most
// Presses that leave the menus also send the ship: here, away from the sun.
constexpr int kMenuPress = kScreenWidth / 4;
// A released ship stops within 2 units of where it was sent; 12.8 pixels a unit.
constexpr double kArrivalPixels = 2.5 * 12.8;

RunningGame::Options withArguments(std::vector<std::string> arguments) {
    RunningGame::Options options;
    options.arguments = std::move(arguments);
    return options;
}

// The full screen window's rows that show the field.
RunningGame::Screenshot fieldOf(const RunningGame::Screenshot& shot) {
    RunningGame::Screenshot field{shot.width, shot.height - 2 * kBar, {}};
    if (field.height > 0) {
        field.rgb.assign(shot.rgb.begin() + 3 * kBar * shot.width,
                         shot.rgb.end() - 3 * kBar * shot.width);
    }
    return field;
}

bool rowIsBlack(const RunningGame::Screenshot& shot, int y) {
    for (int x = 0; x < shot.width; ++x) {
        const std::uint8_t* pixel = shot.at(x, y);
        if (pixel[0] > kBlack || pixel[1] > kBlack || pixel[2] > kBlack) {
            return false;
        }
    }
    return true;
}

bool barsAreBlack(const RunningGame::Screenshot& shot) {
    if (shot.height != kScreenHeight) {
        return false;
    }
    for (int row = 0; row < kBar; ++row) {
        if (!rowIsBlack(shot, row) || !rowIsBlack(shot, shot.height - 1 - row)) {
            return false;
        }
    }
    return true;
}

RunningGame::Screenshot fieldShowing(const RunningGame& game, const StretchedPicture& picture,
                                     double share) {
    return screenshotWhen(game, [&](const RunningGame::Screenshot& shot) {
        return shareMatching(fieldOf(shot), picture) >= share;
    });
}

// Sends the ship to a window pixel; whether it is seen arriving there.
bool shipArrivesAt(const RunningGame& game, int x, int y) {
    const auto arrived = [&](const RunningGame::Screenshot& shot) {
        const std::optional<WindowPixel> eye = shipEyeNear(shot, x, y);
        return eye && std::hypot(eye->x - x, eye->y - y) <= kArrivalPixels;
    };
    game.hold(x, y);
    return arrived(screenshotWhen(game, arrived));
}

} // namespace

TEST(FullScreen, LetterboxesTheFieldAndMapsClicksToItsCorners) {
    const ScreenPictures pictures;
    RunningGame game(withArguments({"--fullscreen"}));
    ASSERT_TRUE(game.hasWindow());
    ASSERT_TRUE(waitUntil([&] { return game.geometry().height == kScreenHeight; }));

    const RunningGame::Screenshot title = fieldShowing(game, pictures.title, kWholePicture);
    EXPECT_GE(shareMatching(fieldOf(title), pictures.title), kWholePicture);
    EXPECT_TRUE(barsAreBlack(title));
    game.click(kMenuPress, kMenuPress); // to the instructions
    game.click(kMenuPress, kMenuPress); // to play
    EXPECT_TRUE(barsAreBlack(fieldShowing(game, pictures.backdrop, kMostOfTheBackdrop)));

    // Clear of the sun: the top right corner, then down the edge to the bottom right.
    EXPECT_TRUE(shipArrivesAt(game, kScreenWidth - 1, kBar));
    EXPECT_TRUE(shipArrivesAt(game, kScreenWidth - 1, kScreenHeight - kBar - 1));

    commandOutput("xdotool key Escape");
    EXPECT_EQ(settledGeometry(game).width, kWindowWidth) << "Escape leaves full screen";
}

TEST(ScaledWindow, TakesTheScaleWhereTheScreenHoldsIt) {
    const OwnDisplay display("2048x1536x24");
    ASSERT_TRUE(display.serving());
    const ScreenPictures pictures;
    RunningGame game(withArguments({"--scale", "1.5"}));
    ASSERT_TRUE(game.hasWindow());
    ASSERT_TRUE(waitUntil([&] { return game.geometry().width == 1536; }));
    EXPECT_EQ(game.geometry().height, 1152);

    const RunningGame::Screenshot play = reachPlay(game, pictures);
    EXPECT_GE(shareMatching(play, pictures.backdrop), kMostOfTheBackdrop);
    // The ship starts half as far again from the corner as at scale 1, and has
    // barely begun to fly towards the last press.
    const int shipX = windowX(kShipStartPoint.x) * 3 / 2;
    const int shipY = windowY(kShipStartPoint.y) * 3 / 2;
    const std::optional<WindowPixel> eye = shipEyeNear(play, shipX, shipY);
    ASSERT_TRUE(eye.has_value());
    EXPECT_LT(std::hypot(eye->x - shipX, eye->y - shipY), 1.5 * kPixelsPerUnit);
}

TEST(ScaledWindow, IsTheLargestThatFitsWhereTheScreenDoesNotHoldIt) {
    RunningGame game(withArguments({"--scale", "1.5"}));
    ASSERT_TRUE(game.hasWindow());
    ASSERT_TRUE(waitUntil([&] { return game.geometry().width == kScreenWidth; }));
    EXPECT_EQ(game.geometry().height, kScreenWidth * 3 / 4);
}

// GLUT opens the window on the display -display names, whatever $DISPLAY says:
// the window must fit that one's screen, not $DISPLAY's larger one.
TEST(ScaledWindow, FitsTheScreenOfTheDisplayItOpensOn) {
    const OwnDisplay small("800x600x24");
    ASSERT_TRUE(small.serving());
    ASSERT_FALSE(small.previous().empty());
    RunningGame::Options options = withArguments({"-display", small.name(), "--scale", "2"});
    options.environment = {{"DISPLAY", small.previous()}};
    const RunningGame game(options);
    ASSERT_TRUE(game.hasWindow()) << "no window on " << small.name();
    ASSERT_TRUE(waitUntil([&] { return game.geometry().width > 0; }));
    EXPECT_EQ(game.geometry().width, 800);
    EXPECT_EQ(game.geometry().height, 600);
}
