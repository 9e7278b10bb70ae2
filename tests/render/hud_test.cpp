#include "render/hud.h"

#include "render/font.h"
#include "support/frame_ink.h"
#include "support/gl_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>

namespace {

constexpr std::uint8_t kBackdropGrey = 77;
constexpr int kWindowWidth = 1024;
constexpr int kWindowHeight = 768;

// Draws text as the counter is drawn, with its baseline starting at world (x, y).
void drawCounterText(const std::string& text, float x, float y) {
    glPushMatrix();
    glTranslatef(x, y, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    glScalef(0.06f, 0.06f, 0.06f);
    printText(getHudFont(), "%s", text.c_str());
    glPopMatrix();
}

// How wide a draw's ink is on a field of the given size whose top right corner,
// where the counter is, lies that far left of the window's: a window of some
// scale, or a screen filled with bars beside and above the field.
int inkWidthOnField(int width, int height, int barRight, int barAbove,
                    const std::function<void()>& draw) {
    glViewport(kWindowWidth - barRight - width, kWindowHeight - barAbove - height, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw();
    glViewport(0, 0, kWindowWidth, kWindowHeight);
    const InkBox ink = inkBoxOf(readFrame(), kBackdropGrey, kBackdropGrey, kBackdropGrey);
    return ink.any ? ink.right - ink.left : 0;
}

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
    // World (13, 67) is window pixel (645, 82 from the top); 3.84 world units per em.
    EXPECT_GE(box.left, 645);
    EXPECT_LE(box.left, 660);
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
    drawCounterText("Planets Formed: 12", 13.0f, 67.0f);
    const Frame expected = readFrame();

    EXPECT_TRUE(shown.rgba == expected.rgba) << "the counter should read \"Planets Formed: 12\"";
}

// Cut off at the field's edge, the counter is narrower than its text drawn where
// nothing cuts it (world (5, 45) on every field below), as it was when it started at x 16.
TEST_F(HudTest, TheWholeCounterShowsAtEveryCountInEveryWindowAndFullScreen) {
    struct Field {
        int width, height, barRight, barAbove;
    };
    const Field fields[] = {{1024, 768, 0, 0},
                            {512, 384, 0, 0},
                            {2048, 1536, 0, 0},
                            {1280, 960, 0, 32},
                            {1440, 1080, 240, 0}};
    for (const Field& f : fields) {
        for (const int count : {0, 9, 10, 12}) {
            SCOPED_TRACE(std::to_string(f.width) + " wide, " + std::to_string(count) + " planets");
            const std::string text = "Planets Formed: " + std::to_string(count);
            const auto inkWidth = [&](const std::function<void()>& draw) {
                return inkWidthOnField(f.width, f.height, f.barRight, f.barAbove, draw);
            };
            const int whole = inkWidth([&] { drawCounterText(text, 5.0f, 45.0f); });
            const int shown = inkWidth([&] {
                Hud hud;
                hud.setPlanetsFormed(count);
                hud.draw();
            });
            EXPECT_GT(whole, 100);
            EXPECT_NEAR(shown, whole, 1);
            if (count >= 10) {
                EXPECT_LT(inkWidth([&] { drawCounterText(text, 16.0f, 67.0f); }), whole - 1);
            }
        }
    }
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
