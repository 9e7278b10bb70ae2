// Plays the real game to take the README's screenshots: the title, a game in
// play with planets formed, and the lose picture. `make screenshots` runs it
// and copies the pictures next to the README.
#include "planet_former.h"
#include "png_file.h"
#include "program_harness.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

constexpr int kGamesToTry = 5;
constexpr int kPlanetsToShow = 2;
constexpr int kApproaches = 4;

struct Shots {
    RunningGame::Screenshot title;
    RunningGame::Screenshot play;
    RunningGame::Screenshot lose;
};

// One game from its title to its lose picture, forming planets on the way.
// False when the cloud lay out of reach or the ship was lost too early.
bool playForPictures(const GamePictures& pictures, const GasCloudFinder& finder, Shots& shots) {
    RunningGame game;
    if (!game.hasWindow()) {
        return false;
    }
    shots.title = waitForTitle(game, pictures);
    pressToInstructions(game, pictures);
    pressToPlay(game, pictures); // the ship waits at its start

    ShipPilot pilot(game, pictures.lose);
    PlanetFormer former(game, pilot, finder);
    if (!former.spinUp()) { // spun up, it gathers debris
        return false;
    }
    for (int approach = 0; static_cast<int>(former.orbits().size()) < kPlanetsToShow; ++approach) {
        if (approach >= kApproaches || former.formPlanet(PlanetFormer::Afterwards::LeaveTheOrbit) ==
                                           PlanetFormer::Approach::Lost) {
            return false;
        }
    }
    // By now the last planet has shown its formation picture for its 2 s and
    // looks like the others.
    shots.play = game.screenshot();
    if (showsEndPicture(shots.play, pictures.lose)) {
        return false;
    }

    game.hold(windowX(kSunCentre.x), windowY(kSunCentre.y)); // into the sun
    shots.lose = screenshotWhen(game, [&](const RunningGame::Screenshot& shot) {
        return showsEndPicture(shot, pictures.lose);
    });
    return showsEndPicture(shots.lose, pictures.lose);
}

} // namespace

TEST(ReadmeScreenshots, TitleAGameWithPlanetsAndTheLosePicture) {
    const GamePictures pictures;
    ASSERT_TRUE(pictures.loaded());
    ASSERT_EQ(pictures.lose.bitsPerPixel(), 32);
    const GasCloudFinder finder(pictures.backdrop);

    Shots shots;
    bool played = false;
    for (int game = 0; game < kGamesToTry && !played; ++game) {
        played = playForPictures(pictures, finder, shots);
    }
    ASSERT_TRUE(played) << "no game in " << kGamesToTry << " reached " << kPlanetsToShow
                        << " planets and the lose picture";
    EXPECT_GE(shareMatching(shots.title, pictures.title), kWholePicture);
    EXPECT_TRUE(showsEndPicture(shots.lose, pictures.lose));

    const std::filesystem::path folder = VANTOREL_SCREENSHOT_DIR;
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(savePng(shots.title, folder / "title.png"));
    EXPECT_TRUE(savePng(shots.play, folder / "play.png"));
    EXPECT_TRUE(savePng(shots.lose, folder / "lose.png"));
}
