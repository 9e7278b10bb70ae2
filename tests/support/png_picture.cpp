#include "support/png_picture.h"

#include "support/frame_ink.h"

#include <cstdio>
#include <memory>

namespace {

constexpr std::size_t kRgbBytes = 3;

struct PipeCloser {
    void operator()(std::FILE* pipe) const { pclose(pipe); }
};
using Pipe = std::unique_ptr<std::FILE, PipeCloser>;

} // namespace

Picture pictureOfBackBuffer() {
    const Frame frame = readFrame();
    Picture picture{frame.width, frame.height, {}};
    picture.rgb.reserve(kRgbBytes * static_cast<std::size_t>(frame.width * frame.height));
    for (int y = frame.height - 1; y >= 0; --y) {
        for (int x = 0; x < frame.width; ++x) {
            const std::uint8_t* const pixel = frame.at(x, y);
            picture.rgb.insert(picture.rgb.end(), pixel, pixel + kRgbBytes);
        }
    }
    return picture;
}

// Read as a binary portable pixmap ("P6 width height 255", then the pixels).
Picture readPng(const std::string& path) {
    Picture picture;
    const Pipe pipe(popen(("convert '" + path + "' -depth 8 ppm:- 2>/dev/null").c_str(), "r"));
    int maximum = 0;
    if (!pipe ||
        std::fscanf(pipe.get(), "P6 %d %d %d", &picture.width, &picture.height, &maximum) != 3 ||
        std::fgetc(pipe.get()) == EOF) {
        return Picture{};
    }
    picture.rgb.resize(kRgbBytes * static_cast<std::size_t>(picture.width * picture.height));
    if (std::fread(picture.rgb.data(), 1, picture.rgb.size(), pipe.get()) != picture.rgb.size()) {
        return Picture{};
    }
    return picture;
}

// -strip leaves out time stamps: the same picture makes the same file.
bool writePng(const Picture& picture, const std::string& path) {
    std::FILE* const pipe = popen(("convert ppm:- -strip '" + path + "'").c_str(), "w");
    if (!pipe) {
        return false;
    }
    std::fprintf(pipe, "P6\n%d %d\n255\n", picture.width, picture.height);
    std::fwrite(picture.rgb.data(), 1, picture.rgb.size(), pipe);
    return pclose(pipe) == 0;
}
