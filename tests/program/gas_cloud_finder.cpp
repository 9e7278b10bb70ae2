#include "gas_cloud_finder.h"

#include "program_harness.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>

namespace {

constexpr int kStep = 2; // every other pixel of every other row is enough
constexpr int kColumns = kWindowWidth / kStep;
constexpr int kRows = kWindowHeight / kStep;
// Filtering and stretching leave the backdrop a few levels off in places.
constexpr int kNoise = 6;
// A purple planet is opaque and far more purple than the translucent cloud:
// capping each sample keeps one from outweighing the cloud's wider glow.
constexpr int kMostExcess = 40;
// The cloud's glow is a ring about 20 pixels out from its centre, within 50.
constexpr int kBoxSide = 60 / kStep;
constexpr int kGlowRadius = 55 / kStep;
constexpr int kLeastMeanExcess = 4;
constexpr int kCentreRefinements = 6;

int purple(const std::uint8_t* rgb) {
    return (rgb[0] + rgb[2]) / 2 - rgb[1];
}

} // namespace

GasCloudFinder::GasCloudFinder(const StretchedPicture& backdrop) {
    backdropPurple_.resize(kColumns * kRows);
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const std::array<int, 3> colour =
                backdrop.at(column * kStep, row * kStep, kWindowWidth, kWindowHeight);
            backdropPurple_[row * kColumns + column] = (colour[0] + colour[2]) / 2 - colour[1];
        }
    }
}

std::vector<int>
GasCloudFinder::excessPurple(const std::vector<RunningGame::Screenshot>& frames) const {
    std::vector<int> excess(kColumns * kRows, 0);
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            int least = INT_MAX;
            for (const RunningGame::Screenshot& frame : frames) {
                least = std::min(least, purple(frame.at(column * kStep, row * kStep)));
            }
            const int index = row * kColumns + column;
            excess[index] = std::clamp(least - backdropPurple_[index] - kNoise, 0, kMostExcess);
        }
    }
    return excess;
}

std::optional<WorldPoint>
GasCloudFinder::find(const std::vector<RunningGame::Screenshot>& frames) const {
    if (frames.empty()) {
        return std::nullopt;
    }
    for (const RunningGame::Screenshot& frame : frames) {
        if (frame.width != kWindowWidth || frame.height != kWindowHeight) {
            return std::nullopt;
        }
    }
    const std::vector<int> excess = excessPurple(frames);

    // Summed-area table, one row and column larger, for the densest box.
    std::vector<long> sums((kColumns + 1) * (kRows + 1), 0);
    const auto sum = [&](int column, int row) -> long& {
        return sums[row * (kColumns + 1) + column];
    };
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            sum(column + 1, row + 1) = excess[row * kColumns + column] + sum(column, row + 1) +
                                       sum(column + 1, row) - sum(column, row);
        }
    }
    long best = -1;
    int bestColumn = 0;
    int bestRow = 0;
    for (int row = 0; row + kBoxSide <= kRows; ++row) {
        for (int column = 0; column + kBoxSide <= kColumns; ++column) {
            const long inBox = sum(column + kBoxSide, row + kBoxSide) -
                               sum(column, row + kBoxSide) - sum(column + kBoxSide, row) +
                               sum(column, row);
            if (inBox > best) {
                best = inBox;
                bestColumn = column;
                bestRow = row;
            }
        }
    }
    if (best < static_cast<long>(kLeastMeanExcess) * kBoxSide * kBoxSide) {
        return std::nullopt;
    }

    // The glow is round: its centre is the centroid of the purple around it.
    double centreColumn = bestColumn + kBoxSide / 2.0;
    double centreRow = bestRow + kBoxSide / 2.0;
    for (int refinement = 0; refinement < kCentreRefinements; ++refinement) {
        double weight = 0.0;
        double columns = 0.0;
        double rows = 0.0;
        for (int row = std::max(0, static_cast<int>(centreRow) - kGlowRadius);
             row <= std::min(kRows - 1, static_cast<int>(centreRow) + kGlowRadius); ++row) {
            for (int column = std::max(0, static_cast<int>(centreColumn) - kGlowRadius);
                 column <= std::min(kColumns - 1, static_cast<int>(centreColumn) + kGlowRadius);
                 ++column) {
                const double dx = column - centreColumn;
                const double dy = row - centreRow;
                if (dx * dx + dy * dy > kGlowRadius * kGlowRadius) {
                    continue;
                }
                const int value = excess[row * kColumns + column];
                weight += value;
                columns += value * column;
                rows += value * row;
            }
        }
        if (weight <= 0.0) {
            return std::nullopt;
        }
        centreColumn = columns / weight;
        centreRow = rows / weight;
    }
    return worldPointAt(centreColumn * kStep + 0.5, centreRow * kStep + 0.5);
}
