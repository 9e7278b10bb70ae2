#include "running_game.h"

#include "stretched_picture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

constexpr double kWholePicture = 0.97;

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
        const StretchedPicture title(VANTOREL_DATA_DIR "/images/titlescreen.tga");
        const StretchedPicture instructions(VANTOREL_DATA_DIR "/images/instructions.tga");
        EXPECT_GE(shareMatching(waitForPicture(game, title, kWholePicture), title), kWholePicture);
        game.click(512, 384);
        EXPECT_GE(shareMatching(waitForPicture(game, instructions, kWholePicture), instructions),
                  kWholePicture);
        EXPECT_TRUE(game.stillRunning());
    }
    std::system(("rm -rf " + prefix + " " + elsewhere).c_str());
}
