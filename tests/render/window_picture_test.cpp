#include "render/window_picture.h"

#include "render/extension_list.h"
#include "render/linear_resampler.h"
#include "support/gl_context.h"
#include "support/tga_file.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// More rows than one band of uploads, and a width that is no power of two.
constexpr int kWidth = 24;
constexpr int kHeight = 90;
constexpr int kWindowWidth = 18;
constexpr int kWindowHeight = 70;

struct TextureLevel {
    int width;
    int height;
    Bytes rgba;
};

TextureLevel textureOf(int texture) {
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    TextureLevel level{};
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &level.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &level.height);
    level.rgba.resize(4u * static_cast<unsigned>(level.width * level.height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, level.rgba.data());
    return level;
}

// The top left width by height texels of a texture level.
Bytes topLeft(const TextureLevel& level, int width, int height) {
    Bytes rgba;
    for (int y = 0; y < height; ++y) {
        const auto start = level.rgba.begin() + 4L * y * level.width;
        rgba.insert(rgba.end(), start, start + 4L * width);
    }
    return rgba;
}

bool takesAnyTextureSize() {
    const auto* const extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return listsExtension(extensions, "GL_ARB_texture_non_power_of_two");
}

class WindowPictures : public GlTest {
protected:
    void TearDown() override { picture_.release(); }

    tga::TempDirectory directory_;
    WindowPicture picture_;
};

} // namespace

TEST_F(WindowPictures, HoldsThePictureResampledToTheWindowWhateverTheStorage) {
    const Bytes picture = tga::opaquePicture(kWidth, kHeight);
    const Bytes resampled =
        resampleLinear(picture.data(), kWidth, kHeight, kWindowWidth, kWindowHeight);
    for (const bool topRowFirst : {true, false}) {
        for (const bool runLength : {false, true}) {
            const std::string file = directory_.write(
                "picture.tga", tga::colourFile(picture, kWidth, kHeight, topRowFirst, runLength));
            picture_.release();
            picture_.load(file.c_str(), kWindowWidth, kWindowHeight);
            ASSERT_GE(picture_.list(), 0);
            const TextureLevel level = textureOf(picture_.texture());
            EXPECT_EQ(topLeft(level, kWindowWidth, kWindowHeight), resampled)
                << topRowFirst << runLength;
        }
    }
}

TEST_F(WindowPictures, DeclinesWhatCannotBeLaidDownTexelForPixel) {
    Bytes seeThrough = tga::opaquePicture(kWidth, kHeight);
    seeThrough.back() = 254; // the last pixel's alpha
    struct Case {
        const char* what;
        Bytes file;
        bool declined;
    };
    for (const Case& c :
         {Case{"an opaque picture",
               tga::colourFile(tga::opaquePicture(kWidth, kHeight), kWidth, kHeight, true, false),
               false},
          Case{"a see-through picture", tga::colourFile(seeThrough, kWidth, kHeight, true, false),
               true},
          Case{"a picture smaller than the window",
               tga::colourFile(tga::opaquePicture(kWidth, kWindowHeight - 1), kWidth,
                               kWindowHeight - 1, true, false),
               true},
          Case{"a grey picture",
               tga::file(tga::kUncompressedGrey, kWidth, kHeight, 8, 0, Bytes(kWidth * kHeight)),
               true},
          Case{"a picture of another type", tga::file(1, kWidth, kHeight, 24, 0, {}), true}}) {
        const std::string file = directory_.write("picture.tga", c.file);
        picture_.release();
        picture_.load(file.c_str(), kWindowWidth, kWindowHeight);
        EXPECT_EQ(picture_.list() < 0, c.declined) << c.what;
        EXPECT_EQ(picture_.texture() == 0, c.declined) << c.what;
    }
    picture_.release();
    picture_.load(directory_.path("absent.tga").c_str(), kWindowWidth, kWindowHeight);
    EXPECT_LT(picture_.list(), 0) << "a missing file";
}

// A picture of the window's size takes the place of the one before in the same
// texture, so the two are never held together.
TEST_F(WindowPictures, ANewPictureIsWrittenOverTheOneBefore) {
    const Bytes first = tga::opaquePicture(kWidth, kHeight);
    Bytes second = first;
    std::reverse(second.begin(), second.end());
    for (std::size_t alpha = 3; alpha < second.size(); alpha += 4) {
        std::swap(second[alpha], second[alpha - 3]); // opaque again, in reverse order
    }
    const std::string firstFile =
        directory_.write("first.tga", tga::colourFile(first, kWidth, kHeight, true, false));
    const std::string secondFile =
        directory_.write("second.tga", tga::colourFile(second, kWidth, kHeight, false, true));
    picture_.load(firstFile.c_str(), kWindowWidth, kWindowHeight);
    const int texture = picture_.texture();
    picture_.load(secondFile.c_str(), kWindowWidth, kWindowHeight);
    EXPECT_EQ(picture_.texture(), texture);
    EXPECT_TRUE(picture_.holds(secondFile.c_str()));
    EXPECT_FALSE(picture_.holds(firstFile.c_str()));
    EXPECT_EQ(topLeft(textureOf(picture_.texture()), kWindowWidth, kWindowHeight),
              resampleLinear(second.data(), kWidth, kHeight, kWindowWidth, kWindowHeight));

    picture_.load(firstFile.c_str(), kWindowWidth - 1, kWindowHeight);
    EXPECT_EQ(textureOf(picture_.texture()).height, takesAnyTextureSize() ? kWindowHeight : 128)
        << "a window of another size gets a texture of its own";
}
