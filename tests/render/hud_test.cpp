#include "render/hud.h"

#include "render/font.h"
#include "support/frame_ink.h"
#include "support/gl_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

constexpr std::uint8_t kBackdropGrey = 77;
constexpr int kWindowWidth = 1024;
constexpr int kWindowHeight = 768;
constexpr const char* kWidestCounter = "Planets Formed: 12";

// Where text can be drawn whole in every field below: nothing cuts it off there.
constexpr float kWholeTextX = 5.0f;
constexpr float kWholeTextY = 45.0f;

// Draws text as the counter is drawn, with its baseline starting at world (x, y).
void drawCounterText(const char* text, float x, float y) {
    glPushMatrix();
    glTranslatef(x, y, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    glScalef(0.06f, 0.06f, 0.06f);
    printText(getHudFont(), "%s", text);
    glPopMatrix();
}

// A play field as large as a window of some scale, or a full screen beside its
// bars, shown with its top right corner (where the counter is) in the test window.
struct FieldOnScreen {
    const char* what;
    int width;
    int height;
    int barAbove;
    int barRight;

    int left() const { return kWindowWidth - barRight - width; }
    int bottom() const { return kWindowHeight - barAbove - height; }
};

// Windows the game opens, and screens it fills, letterboxing the field. Larger
// scales draw the same picture larger still: the counter alone outgrows the test window.
constexpr FieldOnScreen kFields[] = {
    {"--scale 1", 1024, 768, 0, 0},
    {"--scale 0.5", 512, 384, 0, 0},
    {"--scale 2", 2048, 1536, 0, 0},
    {"full screen 1280x1024, bars above and below", 1280, 960, 32, 0},
    {"full screen 1920x1080, bars left and right", 1440, 1080, 0, 240},
};

// What a draw left on the whole window, the field's viewport set for it.
InkBox inkOnField(const FieldOnScreen& field, const std::function<void()>& draw) {
    glViewport(field.left(), field.bottom(), field.width, field.height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw();
    glViewport(0, 0, kWindowWidth, kWindowHeight);
    return inkBoxOf(readFrame(), kBackdropGrey, kBackdropGrey, kBackdropGrey);
}

// Whether ink, which must be whole, lies wholly on the field's part of the window.
::testing::AssertionResult wholeOnField(const InkBox& ink, const InkBox& whole,
                                        const FieldOnScreen& field) {
    if (!ink.any || !whole.any) {
        return ::testing::AssertionFailure() << "nothing drawn";
    }
    const int width = ink.right - ink.left;
    const int wholeWidth = whole.right - whole.left;
    if (std::abs(width - wholeWidth) > 1) {
        return ::testing::AssertionFailure()
               << "the text is " << width << " px wide where whole it is " << wholeWidth;
    }
    // Text cut at the field's edge leaves ink in its last column.
    const int fieldRight = field.left() + field.width - 1;
    if (ink.left <= std::max(field.left(), 0) ||
        ink.right >= std::min(fieldRight, kWindowWidth - 1)) {
        return ::testing::AssertionFailure()
               << "the text spans columns " << ink.left << " to " << ink.right
               << " and reaches the field's edge at " << fieldRight;
    }
    return ::testing::AssertionSuccess();
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
    drawCounterText(kWidestCounter, 13.0f, 67.0f);
    const Frame expected = readFrame();

    EXPECT_TRUE(shown.rgba == expected.rgba) << "the counter should read \"Planets Formed: 12\"";
}

TEST_F(HudTest, TheWholeCounterShowsAtEveryCountInEveryWindow) {
    for (const FieldOnScreen& field : kFields) {
        SCOPED_TRACE(field.what);
        for (const int count : {0, 9, 10, 12}) {
            const std::string text = "Planets Formed: " + std::to_string(count);
            SCOPED_TRACE(text);
            const InkBox whole =
                inkOnField(field, [&] { drawCounterText(text.c_str(), kWholeTextX, kWholeTextY); });
            const InkBox counter = inkOnField(field, [&] {
                Hud hud;
                hud.setPlanetsFormed(count);
                hud.draw();
            });
            EXPECT_TRUE(wholeOnField(counter, whole, field));
        }
    }
}

// The check above sees a counter cut off at the field's edge: the counter as it
// was placed before it made room for two digits.
TEST_F(HudTest, TheCheckOfAWholeCounterSeesOneCutOff) {
    const auto drawWhole = [] { drawCounterText(kWidestCounter, kWholeTextX, kWholeTextY); };
    const auto drawCut = [] { drawCounterText(kWidestCounter, 16.0f, 67.0f); };
    for (const FieldOnScreen& field : kFields) {
        SCOPED_TRACE(field.what);
        EXPECT_FALSE(wholeOnField(inkOnField(field, drawCut), inkOnField(field, drawWhole), field));
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
