#include "program_harness.h"

#include <gtest/gtest.h>

#include <cstdlib>

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
    const ScreenPictures pictures;
    EXPECT_GE(shareMatching(waitForTitle(game, pictures), pictures.title), kWholePicture);
    EXPECT_TRUE(game.stillRunning());
}
