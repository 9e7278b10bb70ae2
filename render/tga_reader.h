#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Reads a Truevision TGA file one row at a time, in the order the file stores
// its rows, so that a picture can be used without ever being held whole. Each
// row comes out as TgaImage keeps it: one byte per pixel for 8-bit files, red,
// green, blue, alpha for 24- and 32-bit files. Reads uncompressed (types 2 and
// 3) and run-length (type 10) data; the pixel data is taken from byte 18 on,
// after the fixed header, and past the end of a short file every byte reads as
// 255. Run-length packets may run on from one row into the next.
class TgaReader {
public:
    // Reads the header; the stream must stay open while rows are read.
    explicit TgaReader(std::FILE* stream);

    // False for a type or depth that cannot be decoded, and for a size that
    // cannot be held: empty, negative, or a buffer past a signed 32-bit count.
    bool readable() const;
    std::uint32_t width() const;
    std::uint32_t height() const;
    // 8 for grey pictures, 32 for colour ones, as their rows are laid out.
    std::int32_t bitsPerPixel() const;
    std::size_t bytesPerPixel() const;
    std::size_t rowBytes() const;
    bool storesTopRowFirst() const;
    // Only 32-bit files carry alpha; the others are opaque by decoding.
    bool storesAlpha() const;

    // Decodes the next stored row into `row`, rowBytes() long.
    void readRow(std::uint8_t* row);

private:
    std::uint8_t next();
    std::int16_t nextShort();
    void readPixel(std::uint8_t* out);
    void readUncompressedRow(std::uint8_t* row, std::uint8_t* end);
    void readRunLengthRow(std::uint8_t* row, std::uint8_t* end);
    std::uint8_t* repeatRunPixel(std::uint8_t* out, std::uint8_t* end);
    std::uint8_t* readRawPixels(std::uint8_t* out, std::uint8_t* end);
    void startPacket();

    std::FILE* stream_;
    bool exhausted_ = false;
    std::int8_t imageType_ = 0;
    std::int16_t headerWidth_ = 0;
    std::int16_t headerHeight_ = 0;
    std::int8_t pixelDepth_ = 0;
    std::int8_t descriptor_ = 0;

    // The run-length packet still being decoded when a row ended.
    std::size_t runPixelsLeft_ = 0;
    std::size_t rawPixelsLeft_ = 0;
    std::uint8_t runPixel_[4] = {};
};

// Whether a pixel of `rgba` (red, green, blue, alpha, `bytes` long) is not
// wholly opaque, letting what lies behind the picture show.
bool hasSeeThroughPixel(const std::uint8_t* rgba, std::size_t bytes);
