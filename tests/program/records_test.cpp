// The player's records as the real game keeps them between runs.
#include "play_field.h"
#include "program_harness.h"
#include "render/tga_image.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <thread>

namespace {

// The line under the end picture: centred, below the picture's 45-unit square.
constexpr double kLineLeft = -18.0;
constexpr double kLineRight = 18.0;
constexpr double kLineBottom = 12.0;
constexpr double kLineTop = 17.5;
constexpr int kBright = 200;
// The line's strokes light hundreds of pixels there; a star or a speck of debris a few.
constexpr int kLinePixels = 300;
constexpr double kEndPictureShown = 0.9;
constexpr double kEndPictureGone = 0.5;
// Where the end picture says "Click to play again", in world units.
constexpr WorldPoint kPlayAgainWords{0.0, 32.0};

int brightPixelsUnderThePicture(const RunningGame::Screenshot& shot) {
    int bright = 0;
    for (int y = windowY(kLineTop); y <= windowY(kLineBottom); ++y) {
        for (int x = windowX(kLineLeft); x <= windowX(kLineRight); ++x) {
            const std::uint8_t* pixel = shot.at(x, y);
            bright += pixel[0] > kBright && pixel[1] > kBright && pixel[2] > kBright ? 1 : 0;
        }
    }
    return bright;
}

// From play to the lose picture: the ship is flown into the sun. The line, if
// any, is drawn in the very frame the picture first shows.
RunningGame::Screenshot flyIntoTheSun(const RunningGame& game, const TgaImage& lose) {
    game.click(windowX(kSunCentre.x), windowY(kSunCentre.y));
    const RunningGame::Screenshot lost =
        screenshotWhen(game, [&](const RunningGame::Screenshot& shot) {
            return shareOfEndPicture(shot, lose) > kEndPictureShown;
        });
    EXPECT_GT(shareOfEndPicture(lost, lose), kEndPictureShown) << "the lose picture never showed";
    return lost;
}

// From the title to the lose picture.
RunningGame::Screenshot loseAGame(const RunningGame& game, const TgaImage& lose) {
    const ScreenPictures pictures;
    const RunningGame::Screenshot playing = reachPlay(game, pictures);
    EXPECT_LT(brightPixelsUnderThePicture(playing), kLinePixels) << "a line during play";
    return flyIntoTheSun(game, lose);
}

// From the lose picture to the next one: a click on it starts a new game, whose
// ship waits above the sun until the next click.
RunningGame::Screenshot loseAgain(const RunningGame& game, const TgaImage& lose) {
    std::this_thread::sleep_for(kEndPictureStands);
    game.click(windowX(kPlayAgainWords.x), windowY(kPlayAgainWords.y));
    const RunningGame::Screenshot again =
        screenshotWhen(game, [&](const RunningGame::Screenshot& shot) {
            return shareOfEndPicture(shot, lose) < kEndPictureGone;
        });
    EXPECT_LT(shareOfEndPicture(again, lose), kEndPictureGone) << "no new game started";
    return flyIntoTheSun(game, lose);
}

} // namespace

TEST(RecordsOnScreen, ALostGameShowsItsLineAndTheNextRunFindsItKept) {
    TgaImage lose;
    ASSERT_TRUE(lose.load(VANTOREL_DATA_DIR "/images/lose.tga", false));
    const TemporaryFolder dataHome;
    RunningGame::Options options;
    options.environment = {{"XDG_DATA_HOME", dataHome.path()}};

    for (int run = 1; run <= 2; ++run) {
        const RunningGame game(options);
        ASSERT_TRUE(game.hasWindow());
        const RunningGame::Screenshot lost = loseAGame(game, lose);
        EXPECT_GE(brightPixelsUnderThePicture(lost), kLinePixels) << "no line, run " << run;
        EXPECT_NE(dataHome.read("vantorel/records").find("games_played " + std::to_string(run)),
                  std::string::npos)
            << dataHome.read("vantorel/records");
    }
    const std::string shown =
        commandOutput("XDG_DATA_HOME=" + dataHome.path() + " " VANTOREL_BINARY " --records");
    EXPECT_NE(shown.find("Games played: 2\n"), std::string::npos) << shown;
}

TEST(RecordsOnScreen, WithoutRecordsAGameNeitherReadsNorWritesThem) {
    TgaImage lose;
    ASSERT_TRUE(lose.load(VANTOREL_DATA_DIR "/images/lose.tga", false));
    const TemporaryFolder dataHome;
    mkdir(dataHome.pathOf("vantorel").c_str(), 0755);
    const std::string kept = "vantorel-records 1\ngames_played 5\ngames_won 0\n"
                             "fastest_win_ms none\nmost_planets 7\nplanets_formed 20\n";
    dataHome.write("vantorel/records", kept);
    RunningGame::Options options;
    options.environment = {{"XDG_DATA_HOME", dataHome.path()}};
    options.arguments = {"--no-records"};

    const RunningGame game(options);
    ASSERT_TRUE(game.hasWindow());
    const RunningGame::Screenshot lost = loseAGame(game, lose);
    EXPECT_LT(brightPixelsUnderThePicture(lost), kLinePixels) << "a line without records";
    EXPECT_EQ(dataHome.read("vantorel/records"), kept);
    EXPECT_FALSE(dataHome.has("vantorel/records.lock"));
}

TEST(RecordsOnScreen, ANewerVersionsRecordsOutlastThreeGamesUntouched) {
    TgaImage lose;
    ASSERT_TRUE(lose.load(VANTOREL_DATA_DIR "/images/lose.tga", false));
    const TemporaryFolder dataHome;
    mkdir(dataHome.pathOf("vantorel").c_str(), 0700);
    const std::string newer = "vantorel-records 2\ngames_played 40\nlongest_streak 6\n";
    dataHome.write("vantorel/records", newer);
    RunningGame::Options options;
    options.environment = {{"XDG_DATA_HOME", dataHome.path()}};
    options.errors = dataHome.pathOf("errors");

    {
        const RunningGame game(options);
        ASSERT_TRUE(game.hasWindow());
        EXPECT_LT(brightPixelsUnderThePicture(loseAGame(game, lose)), kLinePixels);
        for (int played = 2; played <= 3; ++played) {
            EXPECT_LT(brightPixelsUnderThePicture(loseAgain(game, lose)), kLinePixels)
                << "a line under game " << played;
        }
    }
    EXPECT_EQ(dataHome.read("vantorel/records"), newer);
    EXPECT_FALSE(dataHome.has("vantorel/records.bad"));
    const std::string said = dataHome.read("errors");
    const auto told = said.find("written by a newer version of the game");
    EXPECT_NE(told, std::string::npos) << said;
    EXPECT_EQ(said.find("written by a newer version of the game", told + 1), std::string::npos)
        << said;
}
