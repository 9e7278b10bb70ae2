#include "render/window_picture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// One column of grey, opaque pixels, top row first.
Bytes column(const Bytes& greys) {
    Bytes rgba;
    for (const std::uint8_t grey : greys) {
        rgba.insert(rgba.end(), {grey, grey, grey, 255});
    }
    return rgba;
}

} // namespace

// Four rows stretched over three pixels: pixel centres fall at texel rows
// 0.17, 1.5 and 2.83, between two rows each.
TEST(ResampleLinear, WeighsTheTwoNearestRowsByDistance) {
    const Bytes rows = column({0, 30, 60, 90});
    EXPECT_EQ(resampleLinear(rows.data(), 1, 4, 1, 3), column({5, 45, 85}));
}

TEST(ResampleLinear, KeepsAPictureOfTheSameSizeAsItIs) {
    const Bytes picture = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    EXPECT_EQ(resampleLinear(picture.data(), 2, 2, 2, 2), picture);
}

TEST(ResampleLinear, RepeatsTheEdgesPastThePicture) {
    const Bytes rows = column({10, 90});
    EXPECT_EQ(resampleLinear(rows.data(), 1, 2, 1, 4), column({10, 30, 70, 90}));
}
