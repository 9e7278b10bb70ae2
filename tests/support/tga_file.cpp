#include "support/tga_file.h"

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
