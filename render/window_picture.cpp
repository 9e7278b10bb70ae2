#include "render/window_picture.h"

#include "render/font.h"
#include "render/sprite_list.h"
#include "render/tga_image.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kChannels = 4;
constexpr std::int32_t kColourBits = 32;

constexpr int kWeightBits = 8; // the weights' precision in linear filtering
constexpr int kWeightOne = 1 << kWeightBits;

// The two texels either side of where a pixel centre falls along one axis, and
// the weight of the second in 1/256ths.
struct Tap {
    int first;
    int second;
    int weight;
};

Tap tapFor(int pixel, int pixels, int texels) {
    const float at = (static_cast<float>(pixel) + 0.5f) * static_cast<float>(texels) /
                         static_cast<float>(pixels) -
                     0.5f;
    const float below = std::floor(at);
    const int first = static_cast<int>(below);
    return Tap{std::clamp(first, 0, texels - 1), std::clamp(first + 1, 0, texels - 1),
               static_cast<int>(std::lround((at - below) * kWeightOne))};
}

std::uint8_t lerp(std::uint8_t a, std::uint8_t b, int weight) {
    return static_cast<std::uint8_t>((a * (kWeightOne - weight) + b * weight + kWeightOne / 2) >>
                                     kWeightBits);
}

// Rows first, then columns: each pass blends whole rows or pixels, and a pass
// along an axis that keeps its size is skipped (its taps fall on the texels).
std::vector<std::uint8_t> resampleRows(const std::uint8_t* rgba, int width, int height,
                                       int newHeight) {
    const std::size_t row = static_cast<std::size_t>(kChannels) * static_cast<std::size_t>(width);
    std::vector<std::uint8_t> rows(row * static_cast<std::size_t>(newHeight));
    for (int y = 0; y < newHeight; ++y) {
        const Tap v = tapFor(y, newHeight, height);
        const std::uint8_t* const upper = rgba + row * static_cast<std::size_t>(v.first);
        const std::uint8_t* const lower = rgba + row * static_cast<std::size_t>(v.second);
        std::uint8_t* const out = rows.data() + row * static_cast<std::size_t>(y);
        for (std::size_t i = 0; i < row; ++i) {
            out[i] = lerp(upper[i], lower[i], v.weight);
        }
    }
    return rows;
}

std::vector<std::uint8_t> resampleColumns(const std::vector<std::uint8_t>& rgba, int width,
                                          int height, int newWidth) {
    std::vector<std::uint8_t> columns(static_cast<std::size_t>(kChannels) *
                                      static_cast<std::size_t>(newWidth * height));
    std::uint8_t* out = columns.data();
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* const row = rgba.data() + kChannels * y * width;
        for (int x = 0; x < newWidth; ++x) {
            const Tap u = tapFor(x, newWidth, width);
            for (int c = 0; c < kChannels; ++c) {
                *out++ =
                    lerp(row[kChannels * u.first + c], row[kChannels * u.second + c], u.weight);
            }
        }
    }
    return columns;
}

bool suits(const TgaImage& picture, int width, int height) {
    return picture.bitsPerPixel() == kColourBits && !picture.hasSeeThroughPixels() && width > 0 &&
           height > 0 && static_cast<int>(picture.width()) >= width &&
           static_cast<int>(picture.height()) >= height;
}

// OpenGL 1.1 textures have power-of-two sides: the picture fills the top left
// of one, sampled texel for texel, so without filtering.
GLuint upload(const std::vector<std::uint8_t>& rgba, int width, int height) {
    const auto textureWidth = static_cast<GLsizei>(nextPowerOfTwo(static_cast<unsigned>(width)));
    const auto textureHeight = static_cast<GLsizei>(nextPowerOfTwo(static_cast<unsigned>(height)));
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, textureWidth, textureHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return name;
}

int listOf(GLuint texture, int width, int height) {
    const float sMax = static_cast<float>(width) /
                       static_cast<float>(nextPowerOfTwo(static_cast<unsigned>(width)));
    const float tMax = static_cast<float>(height) /
                       static_cast<float>(nextPowerOfTwo(static_cast<unsigned>(height)));
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glBindTexture(GL_TEXTURE_2D, texture);
    recordSpriteQuadPart(sMax, tMax);
    glEndList();
    return static_cast<int>(list);
}

} // namespace

std::vector<std::uint8_t> resampleLinear(const std::uint8_t* rgba, int width, int height,
                                         int newWidth, int newHeight) {
    std::vector<std::uint8_t> rows = resampleRows(rgba, width, height, newHeight);
    if (newWidth == width) {
        return rows;
    }
    return resampleColumns(rows, width, newHeight, newWidth);
}

void WindowPicture::load(const char* fileName, int width, int height) {
    if (madeFor(width, height)) {
        return;
    }
    release();
    width_ = width;
    height_ = height;
    TgaImage picture;
    if (!picture.load(fileName, false) || !suits(picture, width, height)) {
        return;
    }
    const std::vector<std::uint8_t> resampled =
        resampleLinear(picture.pixels(), static_cast<int>(picture.width()),
                       static_cast<int>(picture.height()), width, height);
    picture.release();
    texture_ = static_cast<int>(upload(resampled, width, height));
    list_ = listOf(static_cast<GLuint>(texture_), width, height);
}

void WindowPicture::release() {
    if (list_ >= 0) {
        glDeleteLists(static_cast<GLuint>(list_), 1);
        list_ = -1;
    }
    if (texture_ > 0) {
        const GLuint name = static_cast<GLuint>(texture_);
        glDeleteTextures(1, &name);
        texture_ = 0;
    }
    width_ = 0;
    height_ = 0;
}
