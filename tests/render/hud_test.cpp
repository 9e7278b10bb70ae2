#include "render/hud.h"

#include "render/font.h"
#include "support/frame_ink.h"
#include "support/gl_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

constexpr std::uint8_t kBackdropGrey = 77;
constexpr int kWindowHeight = 768;

class HudTest : public GlTest {
protected:
    static void SetUpTestSuite() {
        GlTest::SetUpTestSuite();
        static bool loaded = false;
        if (!loaded) {
            getHud().loadFont(); // tests run from the project directory, like the game
            loaded = true;
        }
    }

    void SetUp() override {
        GlTest::SetUp();
        const float grey = static_cast<float>(kBackdropGrey) / 255.0f;
        glClearColor(grey, grey, grey, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    void TearDown() override {
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }

    static std::array<GLfloat, 16> modelview() {
        std::array<GLfloat, 16> matrix{};
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix.data());
        return matrix;
    }
};

} // namespace

TEST(Hud, StartsAtZeroAndShowsTheWorldsCount) {
    Hud hud;
    EXPECT_EQ(hud.planetCount(), 0.0f);
    hud.setPlanetsFormed(12);
    EXPECT_EQ(hud.planetCount(), 12.0f);
    hud.setPlanetsFormed(0);
    EXPECT_EQ(hud.planetCount(), 0.0f);
}

TEST_F(HudTest, DrawsTheCounterHalfWhiteInTheUpperRightOfTheField) {
    Hud hud;
    const std::array<GLfloat, 16> before = modelview();
    const int depth = modelviewStackDepth();

    hud.draw();

    EXPECT_EQ(modelview(), before);
    EXPECT_EQ(modelviewStackDepth(), depth);
    const Frame frame = readFrame();
    const InkBox box = inkBoxOf(frame, kBackdropGrey, kBackdropGrey, kBackdropGrey);
    ASSERT_TRUE(box.any);
    // World (16, 67) is window pixel (676, 82 from the top); 3.84 world units per em.
    EXPECT_GE(box.left, 676);
    EXPECT_LE(box.left, 690);
    EXPECT_LT(box.right, 1024);
    EXPECT_GT(box.right, 900);
    EXPECT_LE(box.top, kWindowHeight - 40);
    EXPECT_GE(box.bottom, kWindowHeight - 95);

    int brightest = 0;
    for (int y = box.bottom; y <= box.top; ++y) {
        for (int x = box.left; x <= box.right; ++x) {
            const std::uint8_t* pixel = frame.at(x, y);
            // A glyph's edge texels are dimmer as well as thinner, so its fringe may
            // dip a shade below the backdrop; never more.
            ASSERT_GE(pixel[0], kBackdropGrey - 4);
            EXPECT_TRUE(pixel[0] == pixel[1] && pixel[1] == pixel[2]) << "white text stays grey";
            brightest = std::max<int>(brightest, pixel[0]);
        }
    }
    const int halfWayToWhite = kBackdropGrey + (255 - kBackdropGrey) / 2;
    EXPECT_NEAR(brightest, halfWayToWhite, 4);
}

TEST_F(HudTest, ShowsTheCountAsAWholeNumber) {
    Hud hud;
    hud.setPlanetsFormed(12);
    hud.draw();
    const Frame shown = readFrame();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glTranslatef(16.0f, 67.0f, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    glScalef(0.06f, 0.06f, 0.06f);
    printText(getHudFont(), "Planets Formed: 12");
    glPopMatrix();
    const Frame expected = readFrame();

    EXPECT_TRUE(shown.rgba == expected.rgba) << "the counter should read \"Planets Formed: 12\"";
}

TEST_F(HudTest, CentresTheRecordLineUnderTheEndPicture) {
    Hud hud;
    hud.setRecordLine("Won in 4:05. Best 3:42");
    hud.draw();
    Frame lowerHalf = readFrame(); // rows run bottom-up: the counter is cut away
    lowerHalf.height /= 2;
    lowerHalf.rgba.resize(static_cast<std::size_t>(4 * lowerHalf.width * lowerHalf.height));
    const InkBox box = inkBoxOf(lowerHalf, kBackdropGrey, kBackdropGrey, kBackdropGrey);
    ASSERT_TRUE(box.any);
    // The end picture, 45 units square about (0, 40), ends at world y 17.5: row 179.
    EXPECT_LT(box.top, 179);
    EXPECT_GT(box.bottom, 0);
    EXPECT_NEAR((box.left + box.right) / 2, 512, 4);
    EXPECT_GT(box.right - box.left, 200) << "the whole line shows";
}
