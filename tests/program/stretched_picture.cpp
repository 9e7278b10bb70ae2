#include "stretched_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

namespace {

constexpr int kTolerance = 40; // per channel, for filtering and stretching
constexpr int kStep = 16;      // spacing of the sample grid in window pixels

void forEachSample(const RunningGame::Screenshot& shot,
                   const std::function<void(int, int)>& visit) {
    for (int y = kStep / 2; y < shot.height; y += kStep) {
        for (int x = kStep / 2; x < shot.width; x += kStep) {
            visit(x, y);
        }
    }
}

} // namespace

StretchedPicture::StretchedPicture(const char* file) {
    loaded_ = image_.load(file, false) != 0;
}

std::array<int, 3> StretchedPicture::at(int x, int y, int width, int height) const {
    const double u = (x + 0.5) / width * image_.width() - 0.5;
    const double v = (y + 0.5) / height * image_.height() - 0.5;
    const int u0 = static_cast<int>(std::floor(u));
    const int v0 = static_cast<int>(std::floor(v));
    const double fu = u - u0;
    const double fv = v - v0;
    std::array<int, 3> colour{};
    for (int channel = 0; channel < 3; ++channel) {
        const double top = texel(u0, v0, channel) * (1 - fu) + texel(u0 + 1, v0, channel) * fu;
        const double bottom =
            texel(u0, v0 + 1, channel) * (1 - fu) + texel(u0 + 1, v0 + 1, channel) * fu;
        colour[channel] = static_cast<int>(std::lround(top * (1 - fv) + bottom * fv));
    }
    return colour;
}

int StretchedPicture::texel(int column, int row, int channel) const {
    const int width = static_cast<int>(image_.width());
    const int height = static_cast<int>(image_.height());
    column = std::clamp(column, 0, width - 1);
    row = std::clamp(row, 0, height - 1);
    return image_.pixels()[4 * (row * width + column) + channel];
}

bool matchesAt(const RunningGame::Screenshot& shot, const StretchedPicture& picture, int x, int y) {
    const std::uint8_t* pixel = shot.at(x, y);
    const std::array<int, 3> expected = picture.at(x, y, shot.width, shot.height);
    for (int channel = 0; channel < 3; ++channel) {
        if (std::abs(pixel[channel] - expected[channel]) > kTolerance) {
            return false;
        }
    }
    return true;
}

double shareMatching(const RunningGame::Screenshot& shot, const StretchedPicture& picture) {
    int matching = 0;
    int samples = 0;
    forEachSample(shot, [&](int x, int y) {
        matching += matchesAt(shot, picture, x, y) ? 1 : 0;
        ++samples;
    });
    return samples ? static_cast<double>(matching) / samples : 0.0;
}

double meanError(const RunningGame::Screenshot& shot, const StretchedPicture& picture) {
    double sum = 0.0;
    int samples = 0;
    forEachSample(shot, [&](int x, int y) {
        const std::uint8_t* pixel = shot.at(x, y);
        const std::array<int, 3> expected = picture.at(x, y, shot.width, shot.height);
        for (int channel = 0; channel < 3; ++channel) {
            sum += std::abs(pixel[channel] - expected[channel]);
            ++samples;
        }
    });
    return samples ? sum / samples : 255.0;
}

double shareMatchingAtTheEdges(const RunningGame::Screenshot& shot,
                               const StretchedPicture& picture) {
    int matching = 0;
    int samples = 0;
    const int right = shot.width - 1;
    const int bottom = shot.height - 1;
    for (int x = 0; x < shot.width; x += 4) {
        matching += matchesAt(shot, picture, x, 0) + matchesAt(shot, picture, x, bottom);
        samples += 2;
    }
    for (int y = 0; y < shot.height; y += 4) {
        matching += matchesAt(shot, picture, 0, y) + matchesAt(shot, picture, right, y);
        samples += 2;
    }
    return samples ? static_cast<double>(matching) / samples : 0.0;
}
