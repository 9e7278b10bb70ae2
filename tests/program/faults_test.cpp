// Faults a player may meet in the game's data, each met by the real binary.
// Started without any data, the game says why and ends: see main_test.cpp.
// Without an audio device it plays in silence: see silent_game_test.cpp.
#include "data_folder.h"
#include "play_field.h"
#include "program_harness.h"

#include "render/tga_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

// A picture that cannot be read leaves its body drawn untextured: white, opaque.
constexpr int kWhite = 235;
// The ship, 4 units wide and turning, always covers a disc of 2 units about its
// centre; the sun's pictures are transparent in their corners.
constexpr int kShipCoreRadius = 14;
constexpr double kSunCornerOffset = 3.5;
// The sun's two layers cross-fade: untextured, their white is never below 3/4.
constexpr int kSunLight = 180;
constexpr double kMostOfTheDisc = 0.8;
constexpr auto kScreenShown = std::chrono::milliseconds(700);

RunningGame::Options inFolder(const DataFolder& folder) {
    RunningGame::Options options;
    options.workingDirectory = folder.path();
    return options;
}

// The title, the instructions, then the first play frames, as a player sees them.
RunningGame::Screenshot playScreen(const RunningGame& game, const ScreenPictures& pictures) {
    EXPECT_GE(shareMatching(waitForTitle(game, pictures), pictures.title), kWholePicture);
    EXPECT_GE(shareMatching(pressToInstructions(game, pictures), pictures.instructions),
              kWholePicture);
    return pressToPlay(game, pictures); // the ship waits at its start
}

bool whiteAround(const RunningGame::Screenshot& shot, const WorldPoint& centre, int radius) {
    const int centreX = windowX(centre.x);
    const int centreY = windowY(centre.y);
    for (int y = centreY - radius; y <= centreY + radius; ++y) {
        for (int x = centreX - radius; x <= centreX + radius; ++x) {
            const int dx = x - centreX;
            const int dy = y - centreY;
            if (dx * dx + dy * dy > radius * radius) {
                continue;
            }
            const std::uint8_t* pixel = shot.at(x, y);
            if (pixel[0] < kWhite || pixel[1] < kWhite || pixel[2] < kWhite) {
                return false;
            }
        }
    }
    return true;
}

// Most of the ship's disc at `centre` shows the backdrop: the ship is not there.
bool backdropAround(const RunningGame::Screenshot& shot, const StretchedPicture& backdrop,
                    const WorldPoint& centre) {
    const int centreX = windowX(centre.x);
    const int centreY = windowY(centre.y);
    int pixels = 0;
    int matching = 0;
    for (int y = centreY - kShipCoreRadius; y <= centreY + kShipCoreRadius; ++y) {
        for (int x = centreX - kShipCoreRadius; x <= centreX + kShipCoreRadius; ++x) {
            ++pixels;
            matching += matchesAt(shot, backdrop, x, y) ? 1 : 0;
        }
    }
    return matching >= pixels * kMostOfTheDisc;
}

// Untextured, the sun would be a square of white light, lightest in its
// corners; with its picture they show what lies behind them.
bool sunDrawnTextured(const RunningGame::Screenshot& shot) {
    for (const double dx : {-kSunCornerOffset, kSunCornerOffset}) {
        for (const double dy : {-kSunCornerOffset, kSunCornerOffset}) {
            const std::uint8_t* pixel =
                shot.at(windowX(kSunCentre.x + dx), windowY(kSunCentre.y + dy));
            if (pixel[0] >= kSunLight && pixel[1] >= kSunLight && pixel[2] >= kSunLight) {
                return false;
            }
        }
    }
    return true;
}

std::string realPicture(const char* name) {
    TgaImage probe; // only to check that the file exists and reads
    const std::string path = std::string(VANTOREL_DATA_DIR "/images/") + name;
    return probe.load(path.c_str(), false) ? path : std::string();
}

struct ShipPictureFault {
    const char* name;
    void (*apply)(const DataFolder& folder);
    bool shipUntextured;
};

const ShipPictureFault kShipPictureFaults[] = {
    {"Intact", [](const DataFolder&) {}, false},
    {"Missing", [](const DataFolder& folder) { folder.removePicture("Spaceship.tga"); }, true},
    {"Empty", [](const DataFolder& folder) { folder.replacePicture("Spaceship.tga", ""); }, true},
    // A download cut short inside the 18-byte header.
    {"CutInItsHeader",
     [](const DataFolder& folder) {
         folder.replacePicture("Spaceship.tga", std::string("\0\0\2\0\0\0\0\0\0\0", 10));
     },
     true},
    {"NotAPicture",
     [](const DataFolder& folder) {
         folder.replacePicture("Spaceship.tga",
                               std::string(4096, '\xA5') + "this was never a picture\n");
     },
     true},
};

void PrintTo(const ShipPictureFault& fault, std::ostream* out) {
    *out << fault.name;
}

class ShipPictureFaults : public ::testing::TestWithParam<ShipPictureFault> {};

} // namespace

TEST_P(ShipPictureFaults, GameRunsAndOnlyTheShipIsDrawnUntextured) {
    const ShipPictureFault& fault = GetParam();
    const ScreenPictures pictures;
    ASSERT_TRUE(pictures.loaded());
    ASSERT_FALSE(realPicture("Spaceship.tga").empty());
    const DataFolder folder;
    fault.apply(folder);

    RunningGame game(inFolder(folder));
    ASSERT_TRUE(game.hasWindow());
    const RunningGame::Screenshot play = playScreen(game, pictures);
    EXPECT_GE(shareMatching(play, pictures.backdrop), kMostOfTheBackdrop);
    EXPECT_EQ(whiteAround(play, kShipStartPoint, kShipCoreRadius), fault.shipUntextured)
        << (fault.shipUntextured ? "the ship should be a plain white square"
                                 : "the ship's own picture should show");
    EXPECT_TRUE(sunDrawnTextured(play)) << "the sun lost its picture";

    // The ship still flies: where it waited, the backdrop shows again.
    game.hold(windowX(-30.0), windowY(60.0));
    const RunningGame::Screenshot flown =
        screenshotWhen(game, [&](const RunningGame::Screenshot& shot) {
            return backdropAround(shot, pictures.backdrop, kShipStartPoint);
        });
    EXPECT_TRUE(backdropAround(flown, pictures.backdrop, kShipStartPoint)) << "the ship never left";
    EXPECT_TRUE(game.stillRunning());
}

INSTANTIATE_TEST_SUITE_P(Faults, ShipPictureFaults, ::testing::ValuesIn(kShipPictureFaults),
                         [](const ::testing::TestParamInfo<ShipPictureFault>& info) {
                             return std::string(info.param.name);
                         });

TEST(SoundFaults, WithoutAnySoundTheGamePlaysOnInSilence) {
    const ScreenPictures pictures;
    ASSERT_TRUE(pictures.loaded());
    TgaImage lose;
    ASSERT_TRUE(lose.load(VANTOREL_DATA_DIR "/images/lose.tga", false));
    const DataFolder folder;
    folder.removeSounds();

    RunningGame game(inFolder(folder));
    ASSERT_TRUE(game.hasWindow());
    const RunningGame::Screenshot play = playScreen(game, pictures);
    EXPECT_GE(shareMatching(play, pictures.backdrop), kMostOfTheBackdrop);

    // Held on the ship it spins up with its sound; flown into the sun it
    // explodes with another: both files are missing.
    game.hold(windowX(kShipStart.x), windowY(kShipStart.y), 4 * RunningGame::kPressHold);
    game.hold(windowX(kSunCentre.x), windowY(kSunCentre.y));
    const RunningGame::Screenshot lost = screenshotWhen(
        game, [&](const RunningGame::Screenshot& shot) { return showsEndPicture(shot, lose); });
    EXPECT_TRUE(showsEndPicture(lost, lose)) << "the game did not play on to its end";
    EXPECT_TRUE(game.stillRunning());
}

// A --data folder without its pictures or sounds plays on, and says once what
// it lacks: a folder as a whole, or the one picture that is not there.
TEST(DataFaults, WhatIsMissingIsToldOfOnce) {
    const struct {
        const char* name;
        void (*breakData)(const DataFolder&);
        std::vector<std::string> told;
    } cases[] = {
        {"no pictures",
         [](const DataFolder& f) { f.removePictures(); },
         {"has no images/ folder: every picture is a plain square"}},
        {"no sounds",
         [](const DataFolder& f) { f.removeSounds(); },
         {"has no sound/ folder: the game plays in silence"}},
        {"no ship",
         [](const DataFolder& f) { f.removePicture("Spaceship.tga"); },
         {"the picture ./images/Spaceship.tga is missing: it is drawn as a plain square"}},
        {"everything there", [](const DataFolder&) {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DataFolder folder;
        c.breakData(folder);
        const TemporaryFolder logs;
        RunningGame::Options options = inFolder(folder);
        options.errors = logs.pathOf("errors");
        {
            RunningGame game(options);
            ASSERT_TRUE(game.hasWindow());
            // The first title frame loads every picture and sound; then a while in play.
            for (int press = 0; press < 2; ++press) {
                std::this_thread::sleep_for(kScreenShown);
                game.click(windowX(kSunCentre.x), windowY(kSunCentre.y));
            }
            std::this_thread::sleep_for(kScreenShown);
        }
        const std::string errors = logs.read("errors");
        const std::size_t lines =
            static_cast<std::size_t>(std::count(errors.begin(), errors.end(), '\n'));
        EXPECT_EQ(lines, c.told.size()) << errors;
        for (const std::string& line : c.told) {
            EXPECT_NE(errors.find(line), std::string::npos) << errors;
        }
    }
}
