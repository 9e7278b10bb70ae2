// Feeds arbitrary bytes to the TGA loader, as a replaced picture file would,
// and checks that a colour picture resampled as it is read, row by row in the
// file's own order, is the picture decoded whole and then resampled.
#include "render/linear_resampler.h"
#include "render/resampled_tga.h"
#include "render/tga_image.h"
#include "render/tga_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

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

// A size smaller than the picture's, as a window picture is made.
int shrunk(std::uint32_t side, int numerator, int denominator) {
    return std::max(1, static_cast<int>(side) * numerator / denominator);
}

std::vector<std::uint8_t> resampledWhileRead(std::FILE* stream, int width, int height) {
    TgaReader reader(stream);
    ResampledTga rows(reader, width, height);
    const std::size_t rowBytes = 4u * static_cast<std::size_t>(width);
    std::vector<std::uint8_t> rgba(rowBytes * static_cast<std::size_t>(height));
    while (rows.next()) {
        std::copy(rows.pixels(), rows.pixels() + rowBytes,
                  rgba.begin() + static_cast<long>(rowBytes) * rows.row());
    }
    return rgba;
}

void resampleBothWays(const std::uint8_t* data, std::size_t size) {
    std::FILE* const whole = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    TgaImage image;
    const bool colour = image.load(whole, false) && image.bitsPerPixel() == 32;
    std::fclose(whole);
    if (!colour) {
        return;
    }
    const int width = shrunk(image.width(), 2, 3);
    const int height = shrunk(image.height(), 3, 5);
    std::FILE* const streamed = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    const std::vector<std::uint8_t> rowByRow = resampledWhileRead(streamed, width, height);
    std::fclose(streamed);
    if (rowByRow != resampleLinear(image.pixels(), static_cast<int>(image.width()),
                                   static_cast<int>(image.height()), width, height)) {
        std::abort();
    }
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
    resampleBothWays(data, size);
    return 0;
}
