#pragma once

#include <cstdint>
#include <cstdio>

// A Truevision TGA picture decoded into one tightly packed buffer: one byte per
// pixel for 8-bit files, red, green, blue, alpha for 24- and 32-bit files.
// Reads uncompressed (types 2 and 3) and run-length (type 10) data; the pixel
// data is taken from byte 18 on, after the fixed header.
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
    void readHeader(std::FILE* stream);
    std::size_t bytesPerPixel() const;
    std::size_t bufferBytes() const;
    void decodeUncompressed(std::FILE* stream, std::uint8_t* pixels, std::size_t pixelCount,
                            std::size_t bytesPerPixel) const;
    void decodeRunLength(std::FILE* stream, std::uint8_t* pixels, std::size_t pixelCount,
                         std::size_t bytesPerPixel) const;
    void flipRows(std::uint8_t* pixels, std::size_t rowBytes) const;

    std::uint8_t idLength_ = 0;
    std::uint8_t colourMapType_ = 0;
    std::int8_t imageType_ = 0;
    std::int16_t colourMapFirstEntry_ = 0;
    std::int16_t colourMapLength_ = 0;
    std::uint8_t colourMapEntrySize_ = 0;
    std::int16_t xOrigin_ = 0;
    std::int16_t yOrigin_ = 0;
    std::int16_t headerWidth_ = 0;
    std::int16_t headerHeight_ = 0;
    std::int8_t pixelDepth_ = 0;
    std::int8_t descriptor_ = 0;

    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::int32_t bitsPerPixel_ = 0;
    std::uint8_t* pixels_ = nullptr;
};
