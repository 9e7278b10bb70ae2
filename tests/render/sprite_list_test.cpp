#include "render/sprite_list.h"

#include "render/texture_manager.h"
#include "support/gl_context.h"
#include "support/tga_file.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

namespace {

using Rgba = std::array<std::uint8_t, 4>;

constexpr Rgba kRed = {255, 0, 0, 255};
constexpr Rgba kGreen = {0, 255, 0, 255};
constexpr Rgba kBlue = {0, 0, 255, 255};
constexpr Rgba kWhite = {255, 255, 255, 255};

// Quarter points of a 40-unit square drawn at the middle of the view (y up).
constexpr int kLeft = 512 - 102;
constexpr int kRight = 512 + 102;
constexpr int kTop = 384 + 102;
constexpr int kBottom = 384 - 102;

GLuint solidTexture(const Rgba& colour) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, colour.data());
    return name;
}

// Linear filtering may leave a texel's colour a step or two off.
::testing::AssertionResult isNear(const Rgba& actual, const Rgba& expected) {
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (std::abs(actual[i] - expected[i]) > 8) {
            return ::testing::AssertionFailure()
                   << "channel " << i << " is " << int(actual[i]) << ", not " << int(expected[i]);
        }
    }
    return ::testing::AssertionSuccess();
}

class SpriteList : public GlTest {
protected:
    // Draws a list as the screens do: it binds its own texture.
    static void drawLarge(int list) {
        glEnable(GL_TEXTURE_2D);
        glPushMatrix();
        glTranslatef(0.0f, 37.5f, 0.0f);
        glScalef(40.0f, 40.0f, 1.0f);
        glCallList(static_cast<GLuint>(list));
        glPopMatrix();
        glDisable(GL_TEXTURE_2D);
    }

    tga::TempDirectory directory_;
};

} // namespace

TEST_F(SpriteList, ExistingListIsLeftAlone) {
    const std::string path = directory_.write("picture.tga", tga::fourColours());
    int list = 5;
    int texture = -1;
    buildSpriteList(list, texture, path.c_str());
    EXPECT_EQ(list, 5);
    EXPECT_EQ(texture, -1);
}

TEST_F(SpriteList, GivenTextureIsBoundWithoutLoadingTheFile) {
    const std::string path = directory_.write("picture.tga", tga::fourColours());
    const int red = static_cast<int>(solidTexture(kRed));
    int list = -1;
    int texture = red;
    buildSpriteList(list, texture, path.c_str());
    EXPECT_EQ(texture, red);
    ASSERT_GE(list, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    drawLarge(list);
    EXPECT_EQ(pixelAt(kLeft, kBottom), kRed);
    EXPECT_EQ(pixelAt(kRight, kTop), kRed);
}

TEST_F(SpriteList, MissingFileStillMakesAnUntexturedList) {
    int list = -1;
    int texture = -1;
    buildSpriteList(list, texture, directory_.path("absent.tga").c_str());
    EXPECT_EQ(texture, 0);
    ASSERT_GE(list, 0);
    glBindTexture(GL_TEXTURE_2D, solidTexture(kRed)); // the list must unbind it
    glColor4f(0.0f, 1.0f, 0.0f, 1.0f);
    drawLarge(list);
    EXPECT_EQ(pixelAt(512, 384), kGreen);
}

TEST_F(SpriteList, PictureStandsUprightSeenFromTheCamera) {
    const std::string path = directory_.write("picture.tga", tga::fourColours());
    int list = -1;
    int texture = -1;
    buildSpriteList(list, texture, path.c_str());
    ASSERT_GT(texture, 0);
    drawLarge(list); // back faces are culled: a clockwise quad would leave white
    EXPECT_TRUE(isNear(pixelAt(kLeft, kTop), kRed));
    EXPECT_TRUE(isNear(pixelAt(kRight, kTop), kGreen));
    EXPECT_TRUE(isNear(pixelAt(kLeft, kBottom), kBlue));
    EXPECT_TRUE(isNear(pixelAt(kRight, kBottom), kWhite));
}

TEST_F(SpriteList, BareListDrawsTheBoundTextureAsAUnitSquare) {
    const int list = newSpriteList();
    glBindTexture(GL_TEXTURE_2D, solidTexture(kBlue));
    drawLarge(list);
    EXPECT_EQ(pixelAt(512, 384), kBlue);
    EXPECT_EQ(pixelAt(512 + 200, 384), kBlue);  // 19.5 units from the centre
    EXPECT_EQ(pixelAt(512 + 210, 384), kWhite); // 20.5 units: outside
}

TEST_F(SpriteList, NestedDrawingsLeaveTheStateToTheOutermost) {
    beginSpriteDrawing();
    beginSpriteDrawing();
    endSpriteDrawing();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    endSpriteDrawing();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}
