#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A picture for comparing whole frames with a reference kept as a PNG file;
// files go through ImageMagick's convert, which the tests need anyway.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // top row first, three bytes a pixel

    const std::uint8_t* at(int x, int y) const {
        return &rgb[3 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                         static_cast<std::size_t>(x))];
    }
};

// The whole back buffer, as the window shows it.
Picture pictureOfBackBuffer();
// An empty picture when the file cannot be read.
Picture readPng(const std::string& path);
bool writePng(const Picture& picture, const std::string& path);
