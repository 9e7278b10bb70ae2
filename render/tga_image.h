#pragma once

#include <cstdint>
#include <cstdio>

// A Truevision TGA picture decoded into one tightly packed buffer: one byte per
// pixel for 8-bit files, red, green, blue, alpha for 24- and 32-bit files. The
// file is read as TgaReader reads it.
class TgaImage {
public:
    TgaImage() = default;
    ~TgaImage();
    TgaImage(const TgaImage&) = delete;
    TgaImage& operator=(const TgaImage&) = delete;

    // Non-zero (all bits set) on success, 0 on failure. With bottomUp false the
    // first buffer row is the top row of the picture, with bottomUp true the
    // bottom row. An image that already holds pixels reads nothing.
    int load(const char* path, bool bottomUp);
    // The same, reading from an open stream that the caller closes.
    int load(std::FILE* stream, bool bottomUp);
    // Frees the pixels; non-zero (all bits set) if there were any.
    int release();

    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }
    std::int32_t bitsPerPixel() const { return bitsPerPixel_; }
    const std::uint8_t* pixels() const { return pixels_; }
    // True when a colour picture has a pixel whose alpha is below full.
    bool hasSeeThroughPixels() const;

private:
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::int32_t bitsPerPixel_ = 0;
    bool storesAlpha_ = false;
    std::uint8_t* pixels_ = nullptr;
};
