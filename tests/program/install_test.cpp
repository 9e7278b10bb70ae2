#include "program_harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string makeTemporaryFolder(const char* purpose) {
    std::string pattern = std::string("/tmp/vantorel-") + purpose + "-XXXXXX";
    return mkdtemp(pattern.data()) ? pattern : std::string();
}

} // namespace

TEST(Installed, StartsFromAnyFolderWithAllItsPictures) {
    const std::string prefix = makeTemporaryFolder("prefix");
    const std::string elsewhere = makeTemporaryFolder("elsewhere");
    ASSERT_FALSE(prefix.empty());
    ASSERT_FALSE(elsewhere.empty());
    const std::string install = std::string(VANTOREL_CMAKE) +
                                " --install " VANTOREL_BUILD_DIR " --prefix " + prefix +
                                " >/dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0);

    RunningGame::Options options;
    options.binary = prefix + "/games/vantorel";
    options.workingDirectory = elsewhere;
    {
        RunningGame game(options);
        ASSERT_TRUE(game.hasWindow());
        const ScreenPictures pictures;
        EXPECT_GE(shareMatching(waitForTitle(game, pictures), pictures.title), kWholePicture);
        EXPECT_GE(shareMatching(pressToInstructions(game, pictures), pictures.instructions),
                  kWholePicture);
        EXPECT_TRUE(game.stillRunning());
    }
    std::system(("rm -rf " + prefix + " " + elsewhere).c_str());
}
