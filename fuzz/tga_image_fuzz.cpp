// Feeds arbitrary bytes to the TGA loader, as a replaced picture file would.
#include "render/tga_image.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace {

// A header may promise up to 32767 by 32767 pixels, and a file that short is
// completed with 255s; pictures beyond this many pixels are skipped so that
// each run stays within the fuzzer's memory and time limits (the game's own
// pictures are at most 1024 by 1024).
constexpr long kLargestPixelCount = 1L << 20;
constexpr std::size_t kXOriginOffset = 8;
constexpr std::size_t kWidthOffset = 12;
constexpr std::size_t kHeaderBytes = 18;

long headerPixelCount(const std::uint8_t* data, std::size_t size) {
    if (size < kHeaderBytes) {
        return 0;
    }
    const auto sideAt = [data](std::size_t offset) {
        return static_cast<long>(static_cast<std::int16_t>(data[offset] + 256 * data[offset + 1]));
    };
    return sideAt(kWidthOffset) * sideAt(kWidthOffset + 2);
}

void loadOnce(std::FILE* stream, bool bottomUp) {
    TgaImage image;
    if (image.load(stream, bottomUp) && image.pixels()) {
        // Touch the first and last byte so that a short buffer is caught.
        const std::size_t bytesPerPixel = image.bitsPerPixel() == 8 ? 1 : 4;
        const std::size_t last = image.width() * image.height() * bytesPerPixel - 1;
        volatile std::uint8_t sink = image.pixels()[0];
        sink = image.pixels()[last];
        (void)sink;
    }
    image.release();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || headerPixelCount(data, size) > kLargestPixelCount) {
        return 0;
    }
    std::FILE* const stream = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (!stream) {
        return 0;
    }
    // The x origin is never used by the loader, so its lowest bit picks the row order.
    const bool bottomUp = size > kXOriginOffset && (data[kXOriginOffset] & 1) != 0;
    loadOnce(stream, bottomUp);
    std::fclose(stream);
    return 0;
}
