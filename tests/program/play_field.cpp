#include "play_field.h"

#include "render/tga_image.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr double kEndImageSize = 45.0;
constexpr int kTolerance = 40;
constexpr int kSampleStep = 8;
constexpr double kMostOfThePicture = 0.9;

} // namespace

int windowX(double worldX) {
    return static_cast<int>(std::lround((worldX - kFieldLeft) * kPixelsPerUnit));
}

int windowY(double worldY) {
    return static_cast<int>(std::lround((kFieldTop - worldY) * kPixelsPerUnit));
}

WorldPoint worldPointAt(double windowX, double windowY) {
    return WorldPoint{windowX / kPixelsPerUnit + kFieldLeft, kFieldTop - windowY / kPixelsPerUnit};
}

double distanceBetween(const WorldPoint& a, const WorldPoint& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

double shareOfEndPicture(const RunningGame::Screenshot& shot, const TgaImage& picture) {
    const double left = (kSunCentre.x - kEndImageSize / 2 - kFieldLeft) * kPixelsPerUnit;
    const double top = (kFieldTop - (kSunCentre.y + kEndImageSize / 2)) * kPixelsPerUnit;
    const double side = kEndImageSize * kPixelsPerUnit;
    const int width = static_cast<int>(picture.width());
    const int height = static_cast<int>(picture.height());
    if (shot.rgb.empty()) {
        return 0.0;
    }
    int opaque = 0;
    int matching = 0;
    for (int y = static_cast<int>(top) + 2; y < top + side - 2; y += kSampleStep) {
        for (int x = static_cast<int>(left) + 2; x < left + side - 2; x += kSampleStep) {
            const int u = static_cast<int>((x + 0.5 - left) / side * width);
            const int v = static_cast<int>((y + 0.5 - top) / side * height);
            const std::uint8_t* texel = picture.pixels() + 4 * (v * width + u);
            if (texel[3] != 255) {
                continue;
            }
            ++opaque;
            const std::uint8_t* seen = shot.at(x, y);
            bool same = true;
            for (int c = 0; c < 3; ++c) {
                same = same && std::abs(seen[c] - texel[c]) <= kTolerance;
            }
            matching += same ? 1 : 0;
        }
    }
    return opaque ? static_cast<double>(matching) / opaque : 0.0;
}

bool showsEndPicture(const RunningGame::Screenshot& shot, const TgaImage& picture) {
    return shareOfEndPicture(shot, picture) > kMostOfThePicture;
}
