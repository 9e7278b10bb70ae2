#pragma once

#include <cstdint>
#include <vector>

// Resamples an RGBA picture to another size as linear filtering samples a
// texture stretched over that many pixels: each pixel centre reads the four
// texels around it, weighted by distance; past the edges the edge texels
// repeat. Source rows are taken one at a time, in the order a file stores them
// (top row first or bottom row first), and each resampled row is ready as soon
// as the two source rows it reads have come: only those two are held.
class LinearResampler {
public:
    LinearResampler(int width, int height, int newWidth, int newHeight, bool topRowFirst);

    // The next source row, width pixels; every row must be taken in turn, and
    // every row that is ready made before the next is taken.
    void take(const std::uint8_t* row);
    // Whether the next resampled row can be made from the rows taken so far.
    bool ready() const;
    // The picture row (0 at the top) that makeRow makes next.
    int nextRow() const { return nextRow_; }
    // Makes the next resampled row, newWidth pixels, and moves on to the one
    // after it; valid until the next call. Only when ready().
    const std::vector<std::uint8_t>& makeRow();

private:
    struct Tap {
        int first;
        int second;
        int weight;
    };

    static Tap tapFor(int pixel, int pixels, int texels);
    int storedIndex(int row) const;
    const std::uint8_t* takenRow(int row) const;
    bool taken(int row) const;
    void resampleColumns(const std::uint8_t* row);

    int width_;
    int height_;
    int newWidth_;
    int newHeight_;
    bool topRowFirst_;
    int rowsTaken_ = 0;
    int nextRow_;
    int rowsMade_ = 0;
    // The last two rows taken: the latest, and the one before it.
    std::vector<std::uint8_t> latest_;
    std::vector<std::uint8_t> previous_;
    std::vector<Tap> columnTaps_;
    std::vector<std::uint8_t> blended_;
    std::vector<std::uint8_t> made_;
};

// `rgba` (width by height pixels, top row first) resampled whole to newWidth by
// newHeight, as LinearResampler does it row by row.
std::vector<std::uint8_t> resampleLinear(const std::uint8_t* rgba, int width, int height,
                                         int newWidth, int newHeight);
