#include "support/tga_file.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace tga {

namespace {

void appendShort(std::vector<std::uint8_t>& bytes, int value) {
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

constexpr int kLongestPacket = 128;
constexpr int kPair = 2;
constexpr int kRunPacket = 0x80;

using Pixels = std::vector<std::array<std::uint8_t, 4>>;

// Blue, green, red, alpha, in the order the file stores its rows.
Pixels storedPixels(const std::vector<std::uint8_t>& rgba, int width, int height,
                    bool topRowFirst) {
    Pixels pixels;
    for (int stored = 0; stored < height; ++stored) {
        const int row = topRowFirst ? stored : height - 1 - stored;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* const p = &rgba[4u * static_cast<unsigned>(row * width + x)];
            pixels.push_back({p[2], p[1], p[0], p[3]});
        }
    }
    return pixels;
}

int runAt(const Pixels& pixels, std::size_t at) {
    int length = 1;
    while (at + length < pixels.size() && length < kLongestPacket &&
           pixels[at + length] == pixels[at]) {
        ++length;
    }
    return length;
}

std::vector<std::uint8_t> packets(const Pixels& pixels) {
    std::vector<std::uint8_t> data;
    std::size_t at = 0;
    while (at < pixels.size()) {
        const int run = runAt(pixels, at);
        if (run > 1) {
            data.push_back(static_cast<std::uint8_t>(kRunPacket | (run - 1)));
            data.insert(data.end(), pixels[at].begin(), pixels[at].end());
            at += static_cast<std::size_t>(run);
            continue;
        }
        std::size_t end = at + 1;
        while (end < pixels.size() && end - at < kLongestPacket && runAt(pixels, end) == 1) {
            ++end;
        }
        data.push_back(static_cast<std::uint8_t>(end - at - 1));
        for (; at < end; ++at) {
            data.insert(data.end(), pixels[at].begin(), pixels[at].end());
        }
    }
    return data;
}

} // namespace

std::vector<std::uint8_t> file(int type, int width, int height, int depth, int descriptor,
                               const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> bytes = {0, 0, static_cast<std::uint8_t>(type), 0, 0, 0, 0, 0};
    appendShort(bytes, 0);
    appendShort(bytes, 0);
    appendShort(bytes, width);
    appendShort(bytes, height);
    bytes.push_back(static_cast<std::uint8_t>(depth));
    bytes.push_back(static_cast<std::uint8_t>(descriptor));
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

std::vector<std::uint8_t> opaquePicture(int width, int height) {
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int pair = x / kPair;
            rgba.insert(rgba.end(), {static_cast<std::uint8_t>(pair * 29 + y),
                                     static_cast<std::uint8_t>(y * 5 + pair),
                                     static_cast<std::uint8_t>(pair * 3 + y * 7), 255});
        }
    }
    return rgba;
}

std::vector<std::uint8_t> colourFile(const std::vector<std::uint8_t>& rgba, int width, int height,
                                     bool topRowFirst, bool runLength) {
    const Pixels pixels = storedPixels(rgba, width, height, topRowFirst);
    std::vector<std::uint8_t> data;
    if (runLength) {
        data = packets(pixels);
    } else {
        for (const auto& pixel : pixels) {
            data.insert(data.end(), pixel.begin(), pixel.end());
        }
    }
    return file(runLength ? kRunLengthColour : kUncompressedColour, width, height, 32,
                topRowFirst ? kTopRowFirst : 0, data);
}

std::vector<std::uint8_t> fourColours() {
    return file(kUncompressedColour, 2, 2, 24, 0, {255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0});
}

TempDirectory::TempDirectory() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/vantorel-test-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot make a temporary directory");
    }
    path_ = pattern;
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDirectory::write(const std::string& name,
                                 const std::vector<std::uint8_t>& bytes) const {
    const std::string path = this->path(name);
    std::FILE* const stream = std::fopen(path.c_str(), "wb");
    if (!stream) {
        throw std::runtime_error("cannot write " + path);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fclose(stream);
    return path;
}

} // namespace tga
