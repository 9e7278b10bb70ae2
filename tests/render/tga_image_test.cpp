#include "render/tga_image.h"

#include "support/tga_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// Lets the sanitizer's allocator answer an impossible request with a null
// pointer, as the C allocator does, so that the failed allocation can be tested.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

// A 2 by 2 picture: red and green on top, blue and white below.
const Bytes kTopRowRgba = {255, 0, 0, 255, 0, 255, 0, 255};
const Bytes kBottomRowRgba = {0, 0, 255, 255, 255, 255, 255, 255};
const Bytes kTopRowStored = {0, 0, 255, 0, 255, 0};        // blue, green, red
const Bytes kBottomRowStored = {255, 0, 0, 255, 255, 255}; // blue, green, red

Bytes concat(const Bytes& a, const Bytes& b) {
    Bytes joined = a;
    joined.insert(joined.end(), b.begin(), b.end());
    return joined;
}

Bytes pixelsOf(const TgaImage& image) {
    const std::size_t bytesPerPixel = image.bitsPerPixel() == 8 ? 1 : 4;
    const std::uint8_t* const begin = image.pixels();
    return Bytes(begin, begin + image.width() * image.height() * bytesPerPixel);
}

class TgaLoad : public ::testing::Test {
protected:
    // Loads `bytes` from a file; the image is left for the test to inspect.
    int load(const Bytes& bytes, bool bottomUp = false) {
        return image_.load(directory_.write("picture.tga", bytes).c_str(), bottomUp);
    }

    void expectEmpty() const {
        EXPECT_EQ(image_.pixels(), nullptr);
        EXPECT_EQ(image_.width(), 0u);
        EXPECT_EQ(image_.height(), 0u);
        EXPECT_EQ(image_.bitsPerPixel(), 0);
    }

    tga::TempDirectory directory_;
    TgaImage image_;
};

Bytes twoByTwo(int descriptor) {
    const bool topFirst = (descriptor & tga::kTopRowFirst) != 0;
    const Bytes data = topFirst ? concat(kTopRowStored, kBottomRowStored)
                                : concat(kBottomRowStored, kTopRowStored);
    return tga::file(tga::kUncompressedColour, 2, 2, 24, descriptor, data);
}

} // namespace

TEST_F(TgaLoad, BottomUpColourFileComesOutTopRowFirstInRgbaOrder) {
    ASSERT_EQ(load(twoByTwo(0)), ~0);
    EXPECT_EQ(image_.width(), 2u);
    EXPECT_EQ(image_.height(), 2u);
    EXPECT_EQ(image_.bitsPerPixel(), 32);
    EXPECT_EQ(pixelsOf(image_), concat(kTopRowRgba, kBottomRowRgba));
}

TEST_F(TgaLoad, TopDownColourFileGivesTheSameBuffer) {
    ASSERT_EQ(load(twoByTwo(tga::kTopRowFirst)), ~0);
    EXPECT_EQ(pixelsOf(image_), concat(kTopRowRgba, kBottomRowRgba));
}

TEST_F(TgaLoad, BottomUpRequestPutsTheBottomRowFirstWhateverTheStorage) {
    for (const int descriptor : {0, tga::kTopRowFirst}) {
        TgaImage image;
        const std::string path = directory_.write("picture.tga", twoByTwo(descriptor));
        ASSERT_TRUE(image.load(path.c_str(), true));
        EXPECT_EQ(pixelsOf(image), concat(kBottomRowRgba, kTopRowRgba)) << descriptor;
    }
}

TEST_F(TgaLoad, ThirtyTwoBitFileKeepsItsAlpha) {
    const Bytes data = {10, 20, 30, 40};
    ASSERT_TRUE(load(tga::file(tga::kUncompressedColour, 1, 1, 32, 0, data)));
    EXPECT_EQ(pixelsOf(image_), (Bytes{30, 20, 10, 40}));
}

TEST_F(TgaLoad, EightBitFileKeepsOneBytePerPixel) {
    const Bytes data = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(load(tga::file(tga::kUncompressedGrey, 3, 2, 8, tga::kTopRowFirst, data)));
    EXPECT_EQ(image_.bitsPerPixel(), 8);
    EXPECT_EQ(pixelsOf(image_), data);
}

TEST_F(TgaLoad, DepthAloneChoosesTheLayout) {
    const Bytes colour = {10, 20, 30};
    ASSERT_TRUE(load(tga::file(tga::kUncompressedGrey, 1, 1, 24, 0, colour)));
    EXPECT_EQ(pixelsOf(image_), (Bytes{30, 20, 10, 255}));

    TgaImage grey;
    const std::string path =
        directory_.write("grey.tga", tga::file(tga::kUncompressedColour, 2, 1, 8, 0, {7, 9}));
    ASSERT_TRUE(grey.load(path.c_str(), false));
    EXPECT_EQ(pixelsOf(grey), (Bytes{7, 9}));
}

TEST_F(TgaLoad, RunPacketRepeatsOnePixelAndRawPacketReadsEach) {
    const Bytes data = {0x83, 1, 2, 3, 4, 0x00, 5, 6, 7, 8};
    ASSERT_TRUE(load(tga::file(tga::kRunLengthColour, 5, 1, 32, 0, data)));
    EXPECT_EQ(pixelsOf(image_),
              (Bytes{3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4, 7, 6, 5, 8}));
}

TEST_F(TgaLoad, RunLengthColourWithoutAlphaIsOpaque) {
    const Bytes data = {0x01, 1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(load(tga::file(tga::kRunLengthColour, 2, 1, 24, 0, data)));
    EXPECT_EQ(image_.bitsPerPixel(), 32);
    EXPECT_EQ(pixelsOf(image_), (Bytes{3, 2, 1, 255, 6, 5, 4, 255}));
}

TEST_F(TgaLoad, RefusesOtherTypesAndDepths) {
    struct Case {
        int type;
        int depth;
    };
    for (const Case c : {Case{1, 8}, Case{9, 8}, Case{11, 8}, Case{0, 24}, Case{-126, 24},
                         Case{2, 16}, Case{2, 15}, Case{10, 16}, Case{2, 0}}) {
        TgaImage image;
        const std::string path =
            directory_.write("other.tga", tga::file(c.type, 1, 1, c.depth, 0, {1, 2, 3, 4}));
        EXPECT_EQ(image.load(path.c_str(), false), 0) << c.type << " " << c.depth;
        EXPECT_EQ(image.pixels(), nullptr);
    }
}

TEST_F(TgaLoad, MissingFileFailsAndLeavesTheImageEmpty) {
    EXPECT_EQ(image_.load(directory_.path("absent.tga").c_str(), false), 0);
    expectEmpty();
}

TEST_F(TgaLoad, SecondLoadReportsSuccessAndReadsNothing) {
    ASSERT_TRUE(load(twoByTwo(0)));
    EXPECT_EQ(image_.load(directory_.path("absent.tga").c_str(), false), ~0);
    EXPECT_EQ(pixelsOf(image_), concat(kTopRowRgba, kBottomRowRgba));
}

TEST_F(TgaLoad, ReleaseFreesOnceAndKeepsTheSize) {
    ASSERT_TRUE(load(twoByTwo(0)));
    EXPECT_EQ(image_.release(), ~0);
    EXPECT_EQ(image_.pixels(), nullptr);
    EXPECT_EQ(image_.width(), 2u);
    EXPECT_EQ(image_.release(), 0);
}

TEST_F(TgaLoad, IdFieldIsTakenAsPixelData) {
    Bytes bytes = tga::file(tga::kUncompressedGrey, 5, 1, 8, 0, {'h', 'e', 'l', 'l', 'o'});
    bytes[0] = 5;
    ASSERT_TRUE(load(bytes));
    EXPECT_EQ(pixelsOf(image_), (Bytes{'h', 'e', 'l', 'l', 'o'}));
}

TEST_F(TgaLoad, ShortUncompressedFileIsCompletedWithBytesOf255) {
    const Bytes data = {1, 2, 3, 4}; // one pixel and the blue of the next
    ASSERT_EQ(load(tga::file(tga::kUncompressedColour, 3, 1, 24, 0, data)), ~0);
    EXPECT_EQ(pixelsOf(image_), (Bytes{3, 2, 1, 255, 255, 255, 4, 255, 255, 255, 255, 255}));
}

TEST_F(TgaLoad, ShortRunLengthFileIsCompletedWithBytesOf255) {
    const Bytes data = {0x81, 1, 2}; // a run of two whose pixel is cut short
    ASSERT_EQ(load(tga::file(tga::kRunLengthColour, 3, 1, 32, 0, data)), ~0);
    EXPECT_EQ(pixelsOf(image_), (Bytes{255, 2, 1, 255, 255, 2, 1, 255, 255, 255, 255, 255}));
}

// Mended faults: sizes the header's signed fields cannot honestly describe.
TEST_F(TgaLoad, RefusesEmptyAndNegativeSizes) {
    struct Size {
        int width;
        int height;
    };
    for (const Size size : {Size{0, 4}, Size{4, 0}, Size{0, 0}, Size{0xFFFF, 4}, Size{4, 0x8000},
                            Size{0x8000, 0x8000}}) {
        TgaImage image;
        const std::string path =
            directory_.write("sized.tga", tga::file(tga::kUncompressedColour, size.width,
                                                    size.height, 24, 0, Bytes(64, 0)));
        EXPECT_EQ(image.load(path.c_str(), false), 0) << size.width << "x" << size.height;
        EXPECT_EQ(image.pixels(), nullptr);
        EXPECT_EQ(image.width(), 0u);
    }
}

TEST_F(TgaLoad, RefusesAPictureWhoseByteCountOverflows32Bits) {
    EXPECT_EQ(load(tga::file(tga::kUncompressedColour, 32767, 32767, 32, 0, {})), 0);
    expectEmpty();
    EXPECT_EQ(load(tga::file(tga::kRunLengthColour, 32767, 16385, 24, 0, {})), 0);
    expectEmpty();
}

TEST_F(TgaLoad, FailedAllocationFailsTheLoad) {
    const std::string path =
        directory_.write("large.tga", tga::file(tga::kUncompressedColour, 16384, 16384, 32, 0, {}));
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &previous), 0);
    rlimit tight = previous;
    constexpr rlim_t kHeadroom = rlim_t{256} << 20;
    tight.rlim_cur = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) +
                     kHeadroom; // far below the gigabyte the picture needs
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
    const int result = image_.load(path.c_str(), false);
    setrlimit(RLIMIT_AS, &previous);

    EXPECT_EQ(result, 0);
    expectEmpty();
}

// Mended fault: a packet that runs past the last pixel stops there.
TEST_F(TgaLoad, RunLengthPacketsAreClippedAtTheLastPixel) {
    const Bytes runPastTheEnd = {0x81, 9, 9, 9, 0xFF, 1, 2, 3};
    ASSERT_TRUE(load(tga::file(tga::kRunLengthColour, 3, 1, 24, 0, runPastTheEnd)));
    EXPECT_EQ(pixelsOf(image_), (Bytes{9, 9, 9, 255, 9, 9, 9, 255, 3, 2, 1, 255}));

    TgaImage raw;
    const Bytes rawPastTheEnd = {0x7F, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    const std::string path =
        directory_.write("raw.tga", tga::file(tga::kRunLengthColour, 2, 1, 24, 0, rawPastTheEnd));
    ASSERT_TRUE(raw.load(path.c_str(), false));
    EXPECT_EQ(pixelsOf(raw), (Bytes{3, 2, 1, 255, 6, 5, 4, 255}));
}

// Mended fault: run-length grey files decode at one byte per pixel, as their buffer holds.
TEST_F(TgaLoad, RunLengthGreyFileDecodesOneBytePerPixel) {
    const Bytes data = {0x82, 40, 0x01, 50, 60};
    ASSERT_TRUE(load(tga::file(tga::kRunLengthColour, 5, 1, 8, 0, data)));
    EXPECT_EQ(image_.bitsPerPixel(), 8);
    EXPECT_EQ(pixelsOf(image_), (Bytes{40, 40, 40, 50, 60}));
}

TEST_F(TgaLoad, TellsPicturesThatLetTheSceneShowThrough) {
    struct Case {
        Bytes file;
        bool seeThrough;
    };
    for (const Case& c :
         {Case{twoByTwo(0), false},
          Case{tga::file(tga::kUncompressedColour, 2, 1, 32, 0, {1, 2, 3, 255, 4, 5, 6, 255}),
               false},
          Case{tga::file(tga::kUncompressedColour, 2, 1, 32, 0, {1, 2, 3, 255, 4, 5, 6, 254}),
               true},
          Case{tga::file(tga::kUncompressedGrey, 2, 1, 8, 0, {0, 0}), false}}) {
        TgaImage image;
        ASSERT_TRUE(image.load(directory_.write("picture.tga", c.file).c_str(), false));
        EXPECT_EQ(image.hasSeeThroughPixels(), c.seeThrough) << image.bitsPerPixel();
    }
}
