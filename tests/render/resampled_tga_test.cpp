#include "render/resampled_tga.h"

#include "render/tga_reader.h"
#include "support/tga_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kWidth = 37;
constexpr int kHeight = 45;
constexpr int kNewWidth = 20;
constexpr int kNewHeight = 33;

class MemoryFile {
public:
    explicit MemoryFile(Bytes bytes)
        : bytes_(std::move(bytes)), stream_(fmemopen(bytes_.data(), bytes_.size(), "rb")) {}
    ~MemoryFile() { std::fclose(stream_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    std::FILE* stream() const { return stream_; }

private:
    Bytes bytes_;
    std::FILE* stream_;
};

struct Resampled {
    Bytes rgba;
    std::vector<int> timesMade;
    bool seeThrough;
};

Resampled resample(const Bytes& file, int newWidth, int newHeight) {
    const MemoryFile memory(file);
    TgaReader reader(memory.stream());
    ResampledTga rows(reader, newWidth, newHeight);
    const std::size_t rowBytes = 4u * static_cast<unsigned>(newWidth);
    Resampled resampled{Bytes(rowBytes * static_cast<unsigned>(newHeight)),
                        std::vector<int>(static_cast<unsigned>(newHeight)), false};
    while (rows.next()) {
        const auto row = static_cast<unsigned>(rows.row());
        std::copy(rows.pixels(), rows.pixels() + rowBytes, resampled.rgba.begin() + rowBytes * row);
        ++resampled.timesMade[row];
    }
    resampled.seeThrough = rows.seeThrough();
    return resampled;
}

} // namespace

TEST(ResampledTga, MakesThePictureResampledWholeWhateverTheStorage) {
    const Bytes picture = tga::opaquePicture(kWidth, kHeight);
    const Bytes whole = resampleLinear(picture.data(), kWidth, kHeight, kNewWidth, kNewHeight);
    for (const bool topRowFirst : {true, false}) {
        for (const bool runLength : {false, true}) {
            const Resampled resampled =
                resample(tga::colourFile(picture, kWidth, kHeight, topRowFirst, runLength),
                         kNewWidth, kNewHeight);
            EXPECT_EQ(resampled.rgba, whole) << topRowFirst << runLength;
            EXPECT_EQ(resampled.timesMade, std::vector<int>(kNewHeight, 1));
            EXPECT_FALSE(resampled.seeThrough);
        }
    }
}

// Four rows shrunk to one read only the middle two; a see-through pixel in any
// row still counts, as does none in a picture stored without alpha.
TEST(ResampledTga, NoticesASeeThroughPixelInAnyRow) {
    struct Case {
        int seeThroughRow; // -1 for none
        int depth;
        bool seeThrough;
    };
    for (const Case c : {Case{-1, 32, false}, Case{0, 32, true}, Case{2, 32, true},
                         Case{3, 32, true}, Case{3, 24, false}}) {
        Bytes data;
        for (int row = 0; row < 4; ++row) {
            data.insert(data.end(), {10, 20, 30});
            if (c.depth == 32) {
                data.push_back(row == c.seeThroughRow ? 254 : 255);
            }
        }
        const Resampled resampled =
            resample(tga::file(tga::kUncompressedColour, 1, 4, c.depth, 0, data), 1, 1);
        EXPECT_EQ(resampled.seeThrough, c.seeThrough) << c.seeThroughRow << " " << c.depth;
    }
}
