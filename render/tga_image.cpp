#include "render/tga_image.h"

#include "render/tga_reader.h"

#include <cstdlib>

namespace {

constexpr int kSuccess = ~0;
constexpr int kFailure = 0;

constexpr std::int32_t kColourBits = 32;
constexpr std::size_t kColourBytes = 4;

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

// Each stored row goes straight to its place in the buffer, so the picture
// never needs turning over afterwards.
int TgaImage::load(std::FILE* stream, bool bottomUp) {
    if (pixels_) {
        return kSuccess;
    }
    TgaReader reader(stream);
    if (!reader.readable()) {
        return kFailure;
    }
    const std::uint32_t height = reader.height();
    const std::size_t rowBytes = reader.rowBytes();
    auto* const pixels = static_cast<std::uint8_t*>(std::malloc(rowBytes * height));
    if (!pixels) {
        return kFailure;
    }
    const bool firstRowOnTop = reader.storesTopRowFirst() != bottomUp;
    for (std::uint32_t stored = 0; stored < height; ++stored) {
        const std::uint32_t row = firstRowOnTop ? stored : height - 1 - stored;
        reader.readRow(pixels + row * rowBytes);
    }
    width_ = reader.width();
    height_ = height;
    bitsPerPixel_ = reader.bitsPerPixel();
    storesAlpha_ = reader.storesAlpha();
    pixels_ = pixels;
    return kSuccess;
}

// Pictures stored without alpha are opaque by decoding; others are looked at.
bool TgaImage::hasSeeThroughPixels() const {
    if (!pixels_ || bitsPerPixel_ != kColourBits || !storesAlpha_) {
        return false;
    }
    return hasSeeThroughPixel(pixels_, static_cast<std::size_t>(width_) * height_ * kColourBytes);
}

int TgaImage::release() {
    if (!pixels_) {
        return kFailure;
    }
    std::free(pixels_);
    pixels_ = nullptr;
    return kSuccess;
}
