#include "render/texture_manager.h"

#include "support/gl_context.h"
#include "support/tga_file.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes greyPicture() {
    return tga::file(tga::kUncompressedGrey, 2, 2, 8, 0, {1, 2, 3, 4});
}

GLint boundTexture() {
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    return bound;
}

class TextureCache : public GlTest {
protected:
    tga::TempDirectory directory_;
};

} // namespace

TEST_F(TextureCache, SameNameTwiceGivesOneTextureAndOneFileRead) {
    const std::string path = directory_.write("Debris.tga", tga::fourColours());
    const int first = loadTexture(path.c_str(), false, false);
    ASSERT_GT(first, 0);
    std::remove(path.c_str()); // a second read could only fail now
    EXPECT_EQ(loadTexture(path.c_str(), false, false), first);
}

TEST_F(TextureCache, TheKeyIsTheNameAsWritten) {
    const std::string path = directory_.write("Planet.tga", tga::fourColours());
    const std::string sameFile = directory_.path("./Planet.tga");
    const int first = loadTexture(path.c_str(), false, false);
    const int second = loadTexture(sameFile.c_str(), false, false);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_NE(first, second);
}

TEST_F(TextureCache, ExtensionIsMatchedWithoutRegardToCase) {
    const std::string capitals = directory_.write("Moon.TGA", tga::fourColours());
    const std::string mixed = directory_.write("Sun.TgA", tga::fourColours());
    EXPECT_GT(loadTexture(capitals.c_str(), false, false), 0);
    EXPECT_GT(loadTexture(mixed.c_str(), false, false), 0);
}

TEST_F(TextureCache, OtherNamesAreRefusedWithoutReadingTheFile) {
    for (const char* name : {"picture.png", "picture", "picture.tga.bak", "picture.tgaa"}) {
        const std::string path = directory_.write(name, tga::fourColours());
        EXPECT_EQ(loadTexture(path.c_str(), false, false), 0) << name;
    }
    std::filesystem::create_directory(directory_.path("x.tga"));
    const std::string path = directory_.write("x.tga/picture", tga::fourColours());
    EXPECT_EQ(loadTexture(path.c_str(), false, false), 0);
}

TEST_F(TextureCache, EightBitPictureIsRefusedAndNotRemembered) {
    const std::string path = directory_.write("grey.tga", greyPicture());
    EXPECT_EQ(loadTexture(path.c_str(), false, false), 0);
    directory_.write("grey.tga", tga::fourColours());
    EXPECT_GT(loadTexture(path.c_str(), false, false), 0);
}

TEST_F(TextureCache, MissingFileGivesZeroAndIsTriedAgainLater) {
    const std::string path = directory_.path("late.tga");
    EXPECT_EQ(loadTexture(path.c_str(), false, false), 0);
    directory_.write("late.tga", tga::fourColours());
    EXPECT_GT(loadTexture(path.c_str(), false, false), 0);
}

TEST_F(TextureCache, UploadLeavesUnpackAlignmentOneAndTheTextureBound) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    const std::string path = directory_.write("aligned.tga", tga::fourColours());
    const int texture = loadTexture(path.c_str(), false, false);
    ASSERT_GT(texture, 0);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1);
    EXPECT_EQ(boundTexture(), texture);
}

TEST_F(TextureCache, TextureHoldsThePictureTopRowFirst) {
    const std::string path = directory_.write("rows.tga", tga::fourColours());
    const int texture = loadTexture(path.c_str(), false, false);
    ASSERT_GT(texture, 0);
    std::vector<std::uint8_t> texels(16);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_EQ(texels, (Bytes{255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255}));
}

TEST_F(TextureCache, WrapsByClampingUnlessRepeatIsAsked) {
    for (const bool repeat : {false, true}) {
        const std::string path =
            directory_.write(repeat ? "repeat.tga" : "clamp.tga", tga::fourColours());
        const int texture = loadTexture(path.c_str(), false, repeat);
        ASSERT_GT(texture, 0);
        GLint wrapS = 0;
        GLint wrapT = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
        const GLint expected = repeat ? GL_REPEAT : GL_CLAMP;
        EXPECT_EQ(wrapS, expected);
        EXPECT_EQ(wrapT, expected);
    }
}

TEST_F(TextureCache, RemembersWhichPicturesAreOpaque) {
    const Bytes seeThrough =
        tga::file(tga::kUncompressedColour, 2, 1, 32, 0, {1, 2, 3, 255, 4, 5, 6, 0});
    const int opaque =
        loadTexture(directory_.write("Sun.tga", tga::fourColours()).c_str(), false, false);
    const int glow = loadTexture(directory_.write("Glow.tga", seeThrough).c_str(), false, false);
    ASSERT_GT(opaque, 0);
    ASSERT_GT(glow, 0);
    EXPECT_TRUE(isOpaqueTexture(opaque));
    EXPECT_FALSE(isOpaqueTexture(glow));
    EXPECT_FALSE(isOpaqueTexture(0)); // no picture: drawn the careful way
}

TEST_F(TextureCache, AReleasedPictureIsDeletedAndLoadedAfreshWhenAskedAgain) {
    const std::string path = directory_.write("Menu.tga", tga::fourColours());
    const int first = loadTexture(path.c_str(), false, false);
    ASSERT_GT(first, 0);
    releaseTexture(first);
    EXPECT_FALSE(glIsTexture(static_cast<GLuint>(first)));
    std::remove(path.c_str());
    EXPECT_EQ(loadTexture(path.c_str(), false, false), 0) << "the file is read again";
}
