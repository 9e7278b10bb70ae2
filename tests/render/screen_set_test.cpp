#include "render/screen_set.h"

#include "render/texture_manager.h"
#include "render/tga_image.h"
#include "support/gl_context.h"
#include "support/tga_file.h"
#include "world/field_bounds.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using Rgba = std::array<std::uint8_t, 4>;
using Draw = void (*)(ScreenSet&);

void drawBackdrop(ScreenSet& screens) {
    screens.drawBackdrop();
}
void drawTitle(ScreenSet& screens) {
    screens.drawTitle();
}
void drawInstructions(ScreenSet& screens) {
    screens.drawInstructions();
}

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kTolerance = 40; // filtering blends a texel with its neighbours

bool isWhite(const Rgba& pixel) {
    return pixel[0] == 255 && pixel[1] == 255 && pixel[2] == 255;
}

// The texel a window pixel (y up) shows when the picture fills the window.
Rgba texelUnder(const TgaImage& image, int x, int y) {
    const auto column = static_cast<std::uint32_t>((x + 0.5) / kWidth * image.width());
    const auto row = static_cast<std::uint32_t>((kHeight - y - 0.5) / kHeight * image.height());
    const std::uint8_t* texel = image.pixels() + 4 * (row * image.width() + column);
    return {texel[0], texel[1], texel[2], texel[3]};
}

::testing::AssertionResult looksLike(const Rgba& pixel, const Rgba& texel) {
    for (int i = 0; i < 3; ++i) {
        if (std::abs(pixel[i] - texel[i]) > kTolerance) {
            return ::testing::AssertionFailure()
                   << "pixel " << int(pixel[0]) << "," << int(pixel[1]) << "," << int(pixel[2])
                   << " against texel " << int(texel[0]) << "," << int(texel[1]) << ","
                   << int(texel[2]);
        }
    }
    return ::testing::AssertionSuccess();
}

class Screens : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        screens_.setBounds(kFieldTop, kFieldRight, kFieldBottom, kFieldLeft);
    }

    ScreenSet screens_;
};

// Runs the screens against pictures of a directory of the test's own.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::string& path)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
    }
    ~WorkingDirectory() { std::filesystem::current_path(previous_); }

private:
    std::filesystem::path previous_;
};

} // namespace

TEST_F(Screens, EachPictureCoversTheWindowEdgeToEdge) {
    struct Case {
        const char* file;
        Draw draw;
    };
    for (const Case c : {Case{"./images/titlescreen.tga", &drawTitle},
                         Case{"./images/instructions.tga", &drawInstructions},
                         Case{"./images/background.tga", &drawBackdrop}}) {
        TgaImage picture;
        ASSERT_TRUE(picture.load(c.file, false)) << c.file;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        c.draw(screens_);
        const int last = kWidth - 1;
        const int top = kHeight - 1;
        for (const auto& [x, y] : {std::pair{0, 0},
                                   {last, 0},
                                   {0, top},
                                   {last, top},
                                   {512, 0},
                                   {512, top},
                                   {0, 384},
                                   {last, 384},
                                   {512, 384}}) {
            const Rgba pixel = pixelAt(x, y);
            EXPECT_FALSE(isWhite(pixel)) << c.file << " at " << x << "," << y;
            EXPECT_TRUE(looksLike(pixel, texelUnder(picture, x, y)))
                << c.file << " at " << x << "," << y;
        }
    }
}

TEST_F(Screens, FractionalExtentsDrawWholeUnits) {
    screens_.setBounds(75.0, 49.95, 0.0, -49.95); // 99.9 wide draws 99: half a unit spare a side
    screens_.drawTitle();
    EXPECT_TRUE(isWhite(pixelAt(2, 384)));
    EXPECT_FALSE(isWhite(pixelAt(8, 384)));
    EXPECT_FALSE(isWhite(pixelAt(kWidth - 8, 384)));
    EXPECT_TRUE(isWhite(pixelAt(kWidth - 3, 384)));
}

TEST_F(Screens, DrawingAgainReadsNothing) {
    for (const Draw draw : {&drawBackdrop, &drawTitle, &drawInstructions}) {
        draw(screens_);
        const GLuint before = glGenLists(1);
        draw(screens_);
        draw(screens_);
        EXPECT_EQ(glGenLists(1), before + 1);
    }
}

// Each picture drawn takes the place of the one before, in the same memory.
TEST_F(Screens, HoldOnlyThePictureDrawnLast) {
    struct Case {
        GameScreen screen;
        Draw draw;
    };
    for (const Case c :
         {Case{GameScreen::Title, &drawTitle}, Case{GameScreen::Instructions, &drawInstructions},
          Case{GameScreen::Playing, &drawBackdrop}, Case{GameScreen::Title, &drawTitle}}) {
        glClear(GL_COLOR_BUFFER_BIT);
        c.draw(screens_);
        EXPECT_FALSE(isWhite(pixelAt(512, 384))) << static_cast<int>(c.screen);
        for (const GameScreen other :
             {GameScreen::Title, GameScreen::Instructions, GameScreen::Playing}) {
            EXPECT_EQ(screens_.holds(other), other == c.screen)
                << static_cast<int>(other) << " after " << static_cast<int>(c.screen);
        }
    }
}

TEST_F(Screens, DrawsLeaveTheStateAsTheyFoundIt) {
    const int depth = modelviewStackDepth();
    for (const Draw draw : {&drawBackdrop, &drawTitle, &drawInstructions}) {
        glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
        draw(screens_);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
        std::array<float, 4> colour{};
        glGetFloatv(GL_CURRENT_COLOR, colour.data());
        EXPECT_EQ(colour, (std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
        EXPECT_EQ(modelviewStackDepth(), depth);
    }
}

TEST_F(Screens, TransparentBackdropTexelsLeaveWhatWasThere) {
    tga::TempDirectory directory;
    std::filesystem::create_directory(directory.path("images"));
    // Left half fully transparent, right half opaque red, 8 texels wide.
    std::vector<std::uint8_t> halves;
    for (int texel = 0; texel < 16; ++texel) {
        const bool red = texel % 8 >= 4;
        halves.insert(halves.end(),
                      {0, 0, std::uint8_t(red ? 255 : 0), std::uint8_t(red ? 255 : 0)});
    }
    directory.write("images/background.tga",
                    tga::file(tga::kUncompressedColour, 8, 2, 32, tga::kTopRowFirst, halves));
    WorkingDirectory inside(directory.path(""));
    // Textures are cached by name for the life of the process.
    glBindTexture(GL_TEXTURE_2D, loadTexture("./images/background.tga", false, false));
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    if (width != 8) {
        GTEST_SKIP() << "the game's own backdrop was loaded earlier in this process";
    }
    screens_.drawBackdrop();
    EXPECT_TRUE(isWhite(pixelAt(100, 384)));
    EXPECT_EQ(pixelAt(kWidth - 100, 384), (Rgba{255, 0, 0, 255}));
}
