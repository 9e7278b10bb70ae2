#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Hand-made TGA files for the loader and texture tests.
namespace tga {

constexpr int kUncompressedColour = 2;
constexpr int kUncompressedGrey = 3;
constexpr int kRunLengthColour = 10;
constexpr int kTopRowFirst = 0x20;

// The eighteen header bytes (no ID field, no colour map) followed by `data`.
std::vector<std::uint8_t> file(int type, int width, int height, int depth, int descriptor,
                               const std::vector<std::uint8_t>& data);

// An opaque RGBA picture, top row first, whose pixels come in equal pairs along
// each row (runs for run-length packets) and otherwise differ from their
// neighbours.
std::vector<std::uint8_t> opaquePicture(int width, int height);

// A 32-bit colour file of `rgba` (width by height pixels, top row first),
// stored in either row order, uncompressed or in run-length packets (runs of
// equal pixels and raw stretches between them, across rows as they fall).
std::vector<std::uint8_t> colourFile(const std::vector<std::uint8_t>& rgba, int width, int height,
                                     bool topRowFirst, bool runLength);

// 2 by 2, stored bottom row first: red and green on top, blue and white below.
std::vector<std::uint8_t> fourColours();

// A directory of its own under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    std::string path(const std::string& name) const { return path_ + "/" + name; }
    // Writes `bytes` to the file `name` in the directory and returns its path.
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

private:
    std::string path_;
};

} // namespace tga
