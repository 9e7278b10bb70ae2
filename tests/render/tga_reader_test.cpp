#include "render/tga_reader.h"

#include "support/tga_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The rows of a file, in the order it stores them.
std::vector<Bytes> storedRows(const Bytes& file) {
    std::FILE* const stream = fmemopen(const_cast<std::uint8_t*>(file.data()), file.size(), "rb");
    TgaReader reader(stream);
    std::vector<Bytes> rows;
    for (std::uint32_t y = 0; reader.readable() && y < reader.height(); ++y) {
        Bytes row(reader.rowBytes());
        reader.readRow(row.data());
        rows.push_back(row);
    }
    std::fclose(stream);
    return rows;
}

} // namespace

TEST(TgaReader, RowsComeInTheOrderTheFileStoresThem) {
    const Bytes data = {1, 2, 3, 4, 5, 6}; // blue, green, red: one pixel a row
    for (const int descriptor : {0, tga::kTopRowFirst}) {
        const std::vector<Bytes> rows =
            storedRows(tga::file(tga::kUncompressedColour, 1, 2, 24, descriptor, data));
        EXPECT_EQ(rows, (std::vector<Bytes>{{3, 2, 1, 255}, {6, 5, 4, 255}})) << descriptor;
    }
}

// Packets are not bound to rows: a run or a raw packet begun in one row goes
// on in the next.
TEST(TgaReader, PacketsRunOnIntoTheNextRow) {
    struct Case {
        Bytes data;
        std::vector<Bytes> rows;
    };
    for (const Case& c : {
             Case{{0x82, 9, 0x00, 7}, {{9, 9}, {9, 7}}},       // a run of 3, then a raw 1
             Case{{0x02, 1, 2, 3, 0x80, 4}, {{1, 2}, {3, 4}}}, // a raw 3, then a run of 1
             Case{{0x83, 5}, {{5, 5}, {5, 5}}},                // a run of 4 over both rows
             Case{{0x00, 6, 0x84, 8}, {{6, 8}, {8, 8}}},       // a run clipped at the end
         }) {
        EXPECT_EQ(storedRows(tga::file(tga::kRunLengthColour, 2, 2, 8, tga::kTopRowFirst, c.data)),
                  c.rows);
    }
}

// Past the end of the file every byte reads as 255, on every row after it too.
TEST(TgaReader, RowsPastTheEndOfAShortFileReadAs255) {
    const std::vector<Bytes> grey =
        storedRows(tga::file(tga::kUncompressedGrey, 2, 3, 8, 0, {1, 2, 3}));
    EXPECT_EQ(grey, (std::vector<Bytes>{{1, 2}, {3, 255}, {255, 255}}));
    const std::vector<Bytes> run =
        storedRows(tga::file(tga::kRunLengthColour, 2, 3, 8, 0, {0x82, 4}));
    EXPECT_EQ(run, (std::vector<Bytes>{{4, 4}, {4, 255}, {255, 255}}));
}
