#include "render/linear_resampler.h"

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

// A picture whose every byte differs from its neighbours'.
Bytes pattern(int width, int height) {
    Bytes rgba(4u * static_cast<unsigned>(width * height));
    for (std::size_t i = 0; i < rgba.size(); ++i) {
        rgba[i] = static_cast<std::uint8_t>(i * 37 + i / 5);
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

// A file stored bottom row first feeds its rows bottom up: each row comes out
// as soon as it can, bottom up, and the picture is the one resampled whole.
TEST(LinearResampler, RowsTakenBottomUpMakeThePictureResampledWhole) {
    struct Case {
        int width;
        int height;
        int newWidth;
        int newHeight;
    };
    for (const Case c : {Case{4, 4, 3, 3}, Case{5, 7, 2, 3}, Case{3, 2, 3, 2}, Case{2, 3, 4, 5},
                         Case{16, 80, 9, 70}, Case{6, 9, 6, 2}}) {
        const Bytes picture = pattern(c.width, c.height);
        const std::size_t rowBytes = 4u * static_cast<unsigned>(c.width);
        const std::size_t newRowBytes = 4u * static_cast<unsigned>(c.newWidth);
        LinearResampler resampler(c.width, c.height, c.newWidth, c.newHeight, false);
        Bytes made(newRowBytes * static_cast<unsigned>(c.newHeight));
        int expectedRow = c.newHeight - 1;
        for (int y = c.height - 1; y >= 0; --y) {
            resampler.take(picture.data() + rowBytes * static_cast<unsigned>(y));
            for (; resampler.ready(); --expectedRow) {
                ASSERT_EQ(resampler.nextRow(), expectedRow) << c.width << "x" << c.height;
                const Bytes& row = resampler.makeRow();
                std::copy(row.begin(), row.end(),
                          made.begin() + static_cast<long>(newRowBytes) * expectedRow);
            }
        }
        EXPECT_EQ(expectedRow, -1) << "every row made";
        EXPECT_EQ(made, resampleLinear(picture.data(), c.width, c.height, c.newWidth, c.newHeight))
            << c.width << "x" << c.height << " to " << c.newWidth << "x" << c.newHeight;
    }
}
