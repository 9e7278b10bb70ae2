#include "running_game.h"

#include "stretched_picture.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr double kWholePicture = 0.97;

} // namespace

// `make deb-check` installs the Debian package and names its command in
// VANTOREL_INSTALLED_COMMAND; other runs have no installed game to start.
TEST(InstalledPackage, StartsFromTmpShowingTheTitle) {
    const char* command = std::getenv("VANTOREL_INSTALLED_COMMAND");
    if (command == nullptr) {
        GTEST_SKIP() << "no installed package to start";
    }
    RunningGame::Options options;
    options.binary = command;
    options.workingDirectory = "/tmp";
    RunningGame game(options);
    ASSERT_TRUE(game.hasWindow());
    const StretchedPicture title(VANTOREL_DATA_DIR "/images/titlescreen.tga");
    EXPECT_GE(shareMatching(waitForPicture(game, title, kWholePicture), title), kWholePicture);
    EXPECT_TRUE(game.stillRunning());
}
