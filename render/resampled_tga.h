#pragma once

#include "render/linear_resampler.h"

#include <cstdint>
#include <vector>

class TgaReader;

// A TGA file's colour picture resampled to another size as it is read, one row
// at a time: neither the picture nor its resampled copy is ever held whole.
class ResampledTga {
public:
    // `reader` must be readable, of colour rows, and outlive this.
    ResampledTga(TgaReader& reader, int newWidth, int newHeight);

    // Moves on to the next resampled row, in the order the file stores its
    // rows; false once every row is made and the whole file read.
    bool next();
    // The picture row (0 at the top) made last, and its newWidth pixels.
    int row() const { return row_; }
    const std::uint8_t* pixels() const { return pixels_; }
    // Whether a pixel read so far lets what lies behind the picture show.
    bool seeThrough() const { return seeThrough_; }

private:
    void takeRow();

    TgaReader& reader_;
    LinearResampler resampler_;
    std::vector<std::uint8_t> source_;
    std::uint32_t rowsRead_ = 0;
    int row_ = -1;
    const std::uint8_t* pixels_ = nullptr;
    bool seeThrough_ = false;
};
