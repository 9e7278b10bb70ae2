#include "render/tga_image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr int kSuccess = ~0;
constexpr int kFailure = 0;

constexpr std::int8_t kUncompressedColour = 2;
constexpr std::int8_t kUncompressedGrey = 3;
constexpr std::int8_t kRunLengthColour = 10;

constexpr std::int8_t kDepthGrey = 8;
constexpr std::int8_t kDepthColour = 24;
constexpr std::int8_t kDepthColourAlpha = 32;
constexpr std::int32_t kBufferColourBits = 32;

constexpr std::size_t kColourBytes = 4;
constexpr std::uint8_t kOpaque = 255;
constexpr std::int8_t kTopRowFirst = 0x20;
constexpr int kRunPacket = 0x80;
constexpr int kPacketCountMask = 0x7F;

// Past the end of a short file every byte reads as 0xFF, so what is still
// missing there is filled at once instead of byte by byte.
constexpr std::uint8_t kPastEndByte = 0xFF;

// Pictures whose buffer would not fit a signed 32-bit byte count are refused:
// sizes and offsets downstream (OpenGL's included) are kept in such ints.
constexpr std::uint64_t kLargestBufferBytes = std::numeric_limits<std::int32_t>::max();

// Reads single bytes the way fgetc does, remembering when the stream ran out.
// The stream is ours alone while a picture decodes, so each byte skips fgetc's
// lock: taking it for every byte was a third of the game's start-up.
class ByteReader {
public:
    explicit ByteReader(std::FILE* stream) : stream_(stream) {}

    std::uint8_t next() {
        const int value = getc_unlocked(stream_);
        if (value == EOF) {
            exhausted_ = true;
        }
        return static_cast<std::uint8_t>(value);
    }

    std::int16_t nextShort() {
        const int low = next();
        const int high = next();
        return static_cast<std::int16_t>(low + 256 * high);
    }

    bool exhausted() const { return exhausted_; }

private:
    std::FILE* stream_;
    bool exhausted_ = false;
};

// One stored pixel into its buffer layout: a grey byte, or red, green, blue, alpha
// from blue, green, red (and alpha for 32-bit files).
void readPixel(ByteReader& reader, std::int8_t depth, std::uint8_t* out) {
    if (depth == kDepthGrey) {
        out[0] = reader.next();
        return;
    }
    const std::uint8_t blue = reader.next();
    const std::uint8_t green = reader.next();
    const std::uint8_t red = reader.next();
    out[0] = red;
    out[1] = green;
    out[2] = blue;
    out[3] = depth == kDepthColourAlpha ? reader.next() : kOpaque;
}

// Copies the pixel at `out` into the `count - 1` pixels after it. Colour pixels
// are copied as one word each: a library call per pixel was a third of decoding
// the title picture.
void repeatPixel(std::uint8_t* out, std::size_t count, std::size_t bytesPerPixel) {
    if (bytesPerPixel != kColourBytes) {
        std::memset(out + 1, out[0], count - 1);
        return;
    }
    std::uint32_t pixel = 0;
    std::memcpy(&pixel, out, kColourBytes);
    for (std::size_t i = 1; i < count; ++i) {
        std::memcpy(out + i * kColourBytes, &pixel, kColourBytes);
    }
}

void fillPastEnd(std::uint8_t* from, std::uint8_t* end) {
    std::memset(from, kPastEndByte, static_cast<std::size_t>(end - from));
}

bool isSupportedType(std::int8_t type) {
    return type == kUncompressedColour || type == kUncompressedGrey || type == kRunLengthColour;
}

bool isSupportedDepth(std::int8_t depth) {
    return depth == kDepthGrey || depth == kDepthColour || depth == kDepthColourAlpha;
}

} // namespace

TgaImage::~TgaImage() {
    release();
}

int TgaImage::load(const char* path, bool bottomUp) {
    if (pixels_) {
        return kSuccess;
    }
    std::FILE* stream = std::fopen(path, "rb");
    if (!stream) {
        return kFailure;
    }
    const int result = load(stream, bottomUp);
    std::fclose(stream);
    return result;
}

int TgaImage::load(std::FILE* stream, bool bottomUp) {
    if (pixels_) {
        return kSuccess;
    }
    readHeader(stream);
    if (!isSupportedType(imageType_) || !isSupportedDepth(pixelDepth_)) {
        return kFailure;
    }
    const std::size_t bytes = bufferBytes();
    auto* const pixels = bytes > 0 ? static_cast<std::uint8_t*>(std::malloc(bytes)) : nullptr;
    if (!pixels) {
        return kFailure;
    }
    const std::size_t pixelCount = bytes / bytesPerPixel();
    if (imageType_ == kRunLengthColour) {
        decodeRunLength(stream, pixels, pixelCount, bytesPerPixel());
    } else {
        decodeUncompressed(stream, pixels, pixelCount, bytesPerPixel());
    }
    width_ = static_cast<std::uint32_t>(headerWidth_);
    height_ = static_cast<std::uint32_t>(headerHeight_);
    bitsPerPixel_ = pixelDepth_ == kDepthGrey ? kDepthGrey : kBufferColourBits;

    const bool storedTopRowFirst = (descriptor_ & kTopRowFirst) != 0;
    if (storedTopRowFirst == bottomUp) {
        flipRows(pixels, width_ * bytesPerPixel());
    }
    pixels_ = pixels;
    return kSuccess;
}

// Pictures stored without alpha are opaque by decoding; others are looked at.
bool TgaImage::hasSeeThroughPixels() const {
    if (!pixels_ || bitsPerPixel_ != kBufferColourBits || pixelDepth_ == kDepthColour) {
        return false;
    }
    const std::size_t bytes = static_cast<std::size_t>(width_) * height_ * kColourBytes;
    for (std::size_t alpha = kColourBytes - 1; alpha < bytes; alpha += kColourBytes) {
        if (pixels_[alpha] != kOpaque) {
            return true;
        }
    }
    return false;
}

std::size_t TgaImage::bytesPerPixel() const {
    return pixelDepth_ == kDepthGrey ? 1 : kColourBytes;
}

// Size of the decoded buffer, or 0 for a picture that cannot be held. The header
// sizes are signed: a negative one would widen into a huge unsigned size, and an
// empty picture is of no use to anyone.
std::size_t TgaImage::bufferBytes() const {
    if (headerWidth_ <= 0 || headerHeight_ <= 0) {
        return 0;
    }
    const std::uint64_t bytes = static_cast<std::uint64_t>(headerWidth_) *
                                static_cast<std::uint64_t>(headerHeight_) * bytesPerPixel();
    return bytes > kLargestBufferBytes ? 0 : static_cast<std::size_t>(bytes);
}

int TgaImage::release() {
    if (!pixels_) {
        return kFailure;
    }
    std::free(pixels_);
    pixels_ = nullptr;
    return kSuccess;
}

void TgaImage::readHeader(std::FILE* stream) {
    ByteReader reader(stream);
    idLength_ = reader.next();
    colourMapType_ = reader.next();
    imageType_ = static_cast<std::int8_t>(reader.next());
    colourMapFirstEntry_ = reader.nextShort();
    colourMapLength_ = reader.nextShort();
    colourMapEntrySize_ = reader.next();
    xOrigin_ = reader.nextShort();
    yOrigin_ = reader.nextShort();
    headerWidth_ = reader.nextShort();
    headerHeight_ = reader.nextShort();
    pixelDepth_ = static_cast<std::int8_t>(reader.next());
    descriptor_ = static_cast<std::int8_t>(reader.next());
}

void TgaImage::decodeUncompressed(std::FILE* stream, std::uint8_t* pixels, std::size_t pixelCount,
                                  std::size_t bytesPerPixel) const {
    ByteReader reader(stream);
    std::uint8_t* const end = pixels + pixelCount * bytesPerPixel;
    for (std::uint8_t* out = pixels; out < end; out += bytesPerPixel) {
        readPixel(reader, pixelDepth_, out);
        if (reader.exhausted()) {
            fillPastEnd(out + bytesPerPixel, end);
            return;
        }
    }
}

// Packets that would run past the last pixel are clipped to it.
void TgaImage::decodeRunLength(std::FILE* stream, std::uint8_t* pixels, std::size_t pixelCount,
                               std::size_t bytesPerPixel) const {
    ByteReader reader(stream);
    std::uint8_t* const end = pixels + pixelCount * bytesPerPixel;
    std::uint8_t* out = pixels;
    while (out < end) {
        const int packet = reader.next();
        const std::size_t remaining = static_cast<std::size_t>(end - out) / bytesPerPixel;
        const std::size_t count =
            std::min(static_cast<std::size_t>((packet & kPacketCountMask) + 1), remaining);
        if (packet & kRunPacket) {
            readPixel(reader, pixelDepth_, out);
            repeatPixel(out, count, bytesPerPixel);
            out += count * bytesPerPixel;
        } else {
            for (std::size_t i = 0; i < count; ++i, out += bytesPerPixel) {
                readPixel(reader, pixelDepth_, out);
            }
        }
        if (reader.exhausted()) {
            fillPastEnd(out, end);
            return;
        }
    }
}

void TgaImage::flipRows(std::uint8_t* pixels, std::size_t rowBytes) const {
    std::uint8_t* top = pixels;
    std::uint8_t* bottom = pixels + (height_ - 1) * rowBytes;
    for (; top < bottom; top += rowBytes, bottom -= rowBytes) {
        std::swap_ranges(top, top + rowBytes, bottom);
    }
}
