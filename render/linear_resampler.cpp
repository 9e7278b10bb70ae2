#include "render/linear_resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

constexpr int kChannels = 4;
constexpr int kWeightBits = 8; // the weights' precision in linear filtering
constexpr int kWeightOne = 1 << kWeightBits;

std::size_t bytesOf(int pixels) {
    return static_cast<std::size_t>(kChannels) * static_cast<std::size_t>(pixels);
}

std::uint8_t lerp(std::uint8_t a, std::uint8_t b, int weight) {
    return static_cast<std::uint8_t>((a * (kWeightOne - weight) + b * weight + kWeightOne / 2) >>
                                     kWeightBits);
}

} // namespace

// The two texels either side of where a pixel centre falls along one axis, and
// the weight of the second in 1/256ths.
LinearResampler::Tap LinearResampler::tapFor(int pixel, int pixels, int texels) {
    const float at = (static_cast<float>(pixel) + 0.5f) * static_cast<float>(texels) /
                         static_cast<float>(pixels) -
                     0.5f;
    const float below = std::floor(at);
    const int first = static_cast<int>(below);
    return Tap{std::clamp(first, 0, texels - 1), std::clamp(first + 1, 0, texels - 1),
               static_cast<int>(std::lround((at - below) * kWeightOne))};
}

LinearResampler::LinearResampler(int width, int height, int newWidth, int newHeight,
                                 bool topRowFirst)
    : width_(width), height_(height), newWidth_(newWidth), newHeight_(newHeight),
      topRowFirst_(topRowFirst), nextRow_(topRowFirst ? 0 : newHeight - 1), latest_(bytesOf(width)),
      previous_(bytesOf(width)), blended_(bytesOf(width)), made_(bytesOf(newWidth)) {
    for (int x = 0; x < newWidth; ++x) {
        columnTaps_.push_back(tapFor(x, newWidth, width));
    }
}

void LinearResampler::take(const std::uint8_t* row) {
    std::swap(latest_, previous_);
    std::memcpy(latest_.data(), row, latest_.size());
    ++rowsTaken_;
}

bool LinearResampler::ready() const {
    if (rowsMade_ == newHeight_) {
        return false;
    }
    const Tap v = tapFor(nextRow_, newHeight_, height_);
    return taken(v.first) && taken(v.second);
}

// Rows first, then columns: each pass blends whole rows or pixels, and the pass
// along columns is skipped when the width stays (its taps fall on the texels).
const std::vector<std::uint8_t>& LinearResampler::makeRow() {
    const Tap v = tapFor(nextRow_, newHeight_, height_);
    const std::uint8_t* const upper = takenRow(v.first);
    const std::uint8_t* const lower = takenRow(v.second);
    std::uint8_t* const out = newWidth_ == width_ ? made_.data() : blended_.data();
    for (std::size_t i = 0; i < blended_.size(); ++i) {
        out[i] = lerp(upper[i], lower[i], v.weight);
    }
    if (newWidth_ != width_) {
        resampleColumns(blended_.data());
    }
    ++rowsMade_;
    nextRow_ += topRowFirst_ ? 1 : -1;
    return made_;
}

int LinearResampler::storedIndex(int row) const {
    return topRowFirst_ ? row : height_ - 1 - row;
}

bool LinearResampler::taken(int row) const {
    return storedIndex(row) < rowsTaken_;
}

// A row is made as soon as both its rows have come, so the later of the two is
// the latest taken and the other, a row away at most, the one before it.
const std::uint8_t* LinearResampler::takenRow(int row) const {
    return storedIndex(row) == rowsTaken_ - 1 ? latest_.data() : previous_.data();
}

void LinearResampler::resampleColumns(const std::uint8_t* row) {
    std::uint8_t* out = made_.data();
    for (const Tap& u : columnTaps_) {
        for (int c = 0; c < kChannels; ++c) {
            *out++ = lerp(row[kChannels * u.first + c], row[kChannels * u.second + c], u.weight);
        }
    }
}

std::vector<std::uint8_t> resampleLinear(const std::uint8_t* rgba, int width, int height,
                                         int newWidth, int newHeight) {
    LinearResampler resampler(width, height, newWidth, newHeight, true);
    const std::size_t newRowBytes = bytesOf(newWidth);
    std::vector<std::uint8_t> resampled(newRowBytes * static_cast<std::size_t>(newHeight));
    for (int y = 0; y < height; ++y) {
        resampler.take(rgba + bytesOf(width) * static_cast<std::size_t>(y));
        while (resampler.ready()) {
            const auto row = static_cast<std::size_t>(resampler.nextRow());
            const std::vector<std::uint8_t>& made = resampler.makeRow();
            std::copy(made.begin(), made.end(), resampled.begin() + newRowBytes * row);
        }
    }
    return resampled;
}
