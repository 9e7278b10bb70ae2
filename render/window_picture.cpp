#include "render/window_picture.h"

#include "render/extension_list.h"
#include "render/font.h"
#include "render/resampled_tga.h"
#include "render/sprite_list.h"
#include "render/tga_reader.h"

#include <GL/gl.h>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kChannels = 4;
constexpr std::int32_t kColourBits = 32;
constexpr int kBandRows = 32; // rows handed to OpenGL in one call
constexpr const char* kAnyTextureSize = "GL_ARB_texture_non_power_of_two";

std::size_t rowBytesOf(int width) {
    return static_cast<std::size_t>(kChannels) * static_cast<std::size_t>(width);
}

// The picture file, closed on every path out.
class OpenFile {
public:
    explicit OpenFile(const char* fileName) : stream_(std::fopen(fileName, "rb")) {}
    ~OpenFile() {
        if (stream_) {
            std::fclose(stream_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    std::FILE* stream() const { return stream_; }

private:
    std::FILE* stream_;
};

// Resampled rows gathered into bands of consecutive rows, each band handed to
// the bound texture in one call. Rows come top down or bottom up, as the file
// stores them; the band keeps them top down.
class BandUpload {
public:
    BandUpload(int width, bool topDown)
        : width_(width), topDown_(topDown), band_(rowBytesOf(width) * kBandRows) {}

    void add(int row, const std::uint8_t* pixels) {
        const int slot = topDown_ ? count_ : kBandRows - 1 - count_;
        std::memcpy(band_.data() + rowBytesOf(width_) * static_cast<std::size_t>(slot), pixels,
                    rowBytesOf(width_));
        if (!topDown_ || count_ == 0) {
            top_ = row;
        }
        if (++count_ == kBandRows) {
            flush();
        }
    }

    void flush() {
        if (count_ == 0) {
            return;
        }
        const int firstSlot = topDown_ ? 0 : kBandRows - count_;
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, top_, width_, count_, GL_RGBA, GL_UNSIGNED_BYTE,
                        band_.data() + rowBytesOf(width_) * static_cast<std::size_t>(firstSlot));
        count_ = 0;
    }

private:
    int width_;
    bool topDown_;
    std::vector<std::uint8_t> band_;
    int count_ = 0;
    int top_ = 0;
};

bool suits(const TgaReader& reader, int width, int height) {
    return reader.readable() && reader.bitsPerPixel() == kColourBits && width > 0 && height > 0 &&
           static_cast<int>(reader.width()) >= width && static_cast<int>(reader.height()) >= height;
}

// OpenGL 1.1 textures have power-of-two sides, and the picture then fills the
// top left of one. Where the driver takes any size the texture is the
// picture's own, and a 1024 by 768 picture spends nothing on 256 unseen rows.
struct TextureSize {
    int width;
    int height;
};

TextureSize textureSizeFor(int width, int height) {
    const auto* const extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (listsExtension(extensions, kAnyTextureSize)) {
        return TextureSize{width, height};
    }
    return TextureSize{static_cast<int>(nextPowerOfTwo(static_cast<unsigned>(width))),
                       static_cast<int>(nextPowerOfTwo(static_cast<unsigned>(height)))};
}

// Sampled texel for texel, so without filtering.
GLuint newTexture(const TextureSize& size) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, size.width, size.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    return name;
}

// Fills the bound texture's top left width by height texels with the picture;
// false when a see-through pixel turned up on the way.
bool uploadResampled(TgaReader& reader, int width, int height) {
    ResampledTga rows(reader, width, height);
    BandUpload upload(width, reader.storesTopRowFirst());
    while (rows.next()) {
        upload.add(rows.row(), rows.pixels());
    }
    upload.flush();
    return !rows.seeThrough();
}

int listOf(GLuint texture, int width, int height, const TextureSize& size) {
    const float sMax = static_cast<float>(width) / static_cast<float>(size.width);
    const float tMax = static_cast<float>(height) / static_cast<float>(size.height);
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glBindTexture(GL_TEXTURE_2D, texture);
    recordSpriteQuadPart(sMax, tMax);
    glEndList();
    return static_cast<int>(list);
}

} // namespace

void WindowPicture::load(const char* fileName, int width, int height) {
    if (fileName_ == fileName && width_ == width && height_ == height) {
        return;
    }
    if (width != width_ || height != height_) {
        freeTexture();
    }
    fileName_ = fileName;
    width_ = width;
    height_ = height;
    if (!fill(fileName)) {
        freeTexture();
    }
}

void WindowPicture::release() {
    freeTexture();
    fileName_.clear();
    width_ = 0;
    height_ = 0;
}

bool WindowPicture::holds(const char* fileName) const {
    return list_ >= 0 && fileName_ == fileName;
}

// Reads the picture into the texture, made first when there is none of this
// size yet; false when the picture is declined.
bool WindowPicture::fill(const char* fileName) {
    const OpenFile file(fileName);
    if (!file.stream()) {
        return false;
    }
    TgaReader reader(file.stream());
    if (!suits(reader, width_, height_)) {
        return false;
    }
    const TextureSize size = textureSizeFor(width_, height_);
    if (texture_ == 0) {
        texture_ = static_cast<int>(newTexture(size));
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture_));
    if (!uploadResampled(reader, width_, height_)) {
        return false;
    }
    if (list_ < 0) {
        list_ = listOf(static_cast<GLuint>(texture_), width_, height_, size);
    }
    return true;
}

void WindowPicture::freeTexture() {
    if (list_ >= 0) {
        glDeleteLists(static_cast<GLuint>(list_), 1);
        list_ = -1;
    }
    if (texture_ > 0) {
        const GLuint name = static_cast<GLuint>(texture_);
        glDeleteTextures(1, &name);
        texture_ = 0;
    }
}
