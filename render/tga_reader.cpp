#include "render/tga_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr std::int8_t kUncompressedColour = 2;
constexpr std::int8_t kUncompressedGrey = 3;
constexpr std::int8_t kRunLengthColour = 10;

constexpr std::int8_t kDepthGrey = 8;
constexpr std::int8_t kDepthColour = 24;
constexpr std::int8_t kDepthColourAlpha = 32;
constexpr std::int32_t kRowColourBits = 32;

constexpr std::size_t kColourBytes = 4;
constexpr std::uint8_t kOpaque = 255;
constexpr std::int8_t kTopRowFirst = 0x20;
constexpr int kRunPacket = 0x80;
constexpr int kPacketCountMask = 0x7F;

// What every byte past the end of a short file reads as, so what is still
// missing there is filled at once instead of byte by byte.
constexpr std::uint8_t kPastEndByte = 0xFF;

// Pictures whose buffer would not fit a signed 32-bit byte count are refused:
// sizes and offsets downstream (OpenGL's included) are kept in such ints.
constexpr std::uint64_t kLargestBufferBytes = std::numeric_limits<std::int32_t>::max();

bool isSupportedType(std::int8_t type) {
    return type == kUncompressedColour || type == kUncompressedGrey || type == kRunLengthColour;
}

bool isSupportedDepth(std::int8_t depth) {
    return depth == kDepthGrey || depth == kDepthColour || depth == kDepthColourAlpha;
}

// Copies `pixel` over [out, end). Colour pixels are copied as one word each: a
// library call per pixel was a third of decoding the title picture.
void fillWithPixel(std::uint8_t* out, std::uint8_t* end, const std::uint8_t* pixel,
                   std::size_t bytesPerPixel) {
    if (bytesPerPixel != kColourBytes) {
        std::memset(out, pixel[0], static_cast<std::size_t>(end - out));
        return;
    }
    std::uint32_t word = 0;
    std::memcpy(&word, pixel, kColourBytes);
    for (; out < end; out += kColourBytes) {
        std::memcpy(out, &word, kColourBytes);
    }
}

void fillPastEnd(std::uint8_t* from, std::uint8_t* end) {
    std::memset(from, kPastEndByte, static_cast<std::size_t>(end - from));
}

} // namespace

bool hasSeeThroughPixel(const std::uint8_t* rgba, std::size_t bytes) {
    for (std::size_t alpha = kColourBytes - 1; alpha < bytes; alpha += kColourBytes) {
        if (rgba[alpha] != kOpaque) {
            return true;
        }
    }
    return false;
}

TgaReader::TgaReader(std::FILE* stream) : stream_(stream) {
    next(); // the length of the ID field, which is read as pixel data
    next(); // the colour map type: colour maps are not read
    imageType_ = static_cast<std::int8_t>(next());
    nextShort(); // the colour map's first entry,
    nextShort(); // its length
    next();      // and its entry size
    nextShort(); // the x origin and
    nextShort(); // the y origin play no part
    headerWidth_ = nextShort();
    headerHeight_ = nextShort();
    pixelDepth_ = static_cast<std::int8_t>(next());
    descriptor_ = static_cast<std::int8_t>(next());
}

// The header's sizes are signed: a negative one would widen into a huge
// unsigned size, and an empty picture is of no use to anyone.
bool TgaReader::readable() const {
    if (!isSupportedType(imageType_) || !isSupportedDepth(pixelDepth_) || headerWidth_ <= 0 ||
        headerHeight_ <= 0) {
        return false;
    }
    const std::uint64_t bytes = static_cast<std::uint64_t>(headerWidth_) *
                                static_cast<std::uint64_t>(headerHeight_) * bytesPerPixel();
    return bytes <= kLargestBufferBytes;
}

std::uint32_t TgaReader::width() const {
    return headerWidth_ > 0 ? static_cast<std::uint32_t>(headerWidth_) : 0;
}

std::uint32_t TgaReader::height() const {
    return headerHeight_ > 0 ? static_cast<std::uint32_t>(headerHeight_) : 0;
}

std::int32_t TgaReader::bitsPerPixel() const {
    return pixelDepth_ == kDepthGrey ? kDepthGrey : kRowColourBits;
}

std::size_t TgaReader::bytesPerPixel() const {
    return pixelDepth_ == kDepthGrey ? 1 : kColourBytes;
}

std::size_t TgaReader::rowBytes() const {
    return width() * bytesPerPixel();
}

bool TgaReader::storesTopRowFirst() const {
    return (descriptor_ & kTopRowFirst) != 0;
}

bool TgaReader::storesAlpha() const {
    return pixelDepth_ == kDepthColourAlpha;
}

void TgaReader::readRow(std::uint8_t* row) {
    std::uint8_t* const end = row + rowBytes();
    if (imageType_ == kRunLengthColour) {
        readRunLengthRow(row, end);
    } else {
        readUncompressedRow(row, end);
    }
}

// The stream is ours alone while a picture decodes, so each byte skips fgetc's
// lock: taking it for every byte was a third of the game's start-up.
std::uint8_t TgaReader::next() {
    const int value = getc_unlocked(stream_);
    if (value == EOF) {
        exhausted_ = true;
    }
    return static_cast<std::uint8_t>(value);
}

std::int16_t TgaReader::nextShort() {
    const int low = next();
    const int high = next();
    return static_cast<std::int16_t>(low + 256 * high);
}

// One stored pixel into the row's layout: a grey byte, or red, green, blue,
// alpha from blue, green, red (and alpha for 32-bit files).
void TgaReader::readPixel(std::uint8_t* out) {
    if (pixelDepth_ == kDepthGrey) {
        out[0] = next();
        return;
    }
    const std::uint8_t blue = next();
    const std::uint8_t green = next();
    const std::uint8_t red = next();
    out[0] = red;
    out[1] = green;
    out[2] = blue;
    out[3] = pixelDepth_ == kDepthColourAlpha ? next() : kOpaque;
}

void TgaReader::readUncompressedRow(std::uint8_t* row, std::uint8_t* end) {
    if (exhausted_) {
        fillPastEnd(row, end);
        return;
    }
    const std::size_t step = bytesPerPixel();
    for (std::uint8_t* out = row; out < end; out += step) {
        readPixel(out);
        if (exhausted_) {
            fillPastEnd(out + step, end);
            return;
        }
    }
}

// A packet cut short by the end of the file still repeats its pixel as far as
// the packet reaches; everything after it reads as 255.
void TgaReader::readRunLengthRow(std::uint8_t* row, std::uint8_t* end) {
    std::uint8_t* out = row;
    while (out < end) {
        if (runPixelsLeft_ > 0) {
            out = repeatRunPixel(out, end);
        } else if (exhausted_) {
            fillPastEnd(out, end);
            return;
        } else if (rawPixelsLeft_ > 0) {
            out = readRawPixels(out, end);
        } else {
            startPacket();
        }
    }
}

std::uint8_t* TgaReader::repeatRunPixel(std::uint8_t* out, std::uint8_t* end) {
    const std::size_t step = bytesPerPixel();
    const std::size_t count = std::min(runPixelsLeft_, static_cast<std::size_t>(end - out) / step);
    std::uint8_t* const runEnd = out + count * step;
    fillWithPixel(out, runEnd, runPixel_, step);
    runPixelsLeft_ -= count;
    return runEnd;
}

std::uint8_t* TgaReader::readRawPixels(std::uint8_t* out, std::uint8_t* end) {
    const std::size_t step = bytesPerPixel();
    for (; rawPixelsLeft_ > 0 && out < end && !exhausted_; out += step) {
        readPixel(out);
        --rawPixelsLeft_;
    }
    return out;
}

void TgaReader::startPacket() {
    const int packet = next();
    const std::size_t count = static_cast<std::size_t>((packet & kPacketCountMask) + 1);
    if (exhausted_) {
        return;
    }
    if (packet & kRunPacket) {
        readPixel(runPixel_);
        runPixelsLeft_ = count;
    } else {
        rawPixelsLeft_ = count;
    }
}
