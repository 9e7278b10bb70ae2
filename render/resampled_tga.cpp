#include "render/resampled_tga.h"

#include "render/tga_reader.h"

ResampledTga::ResampledTga(TgaReader& reader, int newWidth, int newHeight)
    : reader_(reader),
      resampler_(static_cast<int>(reader.width()), static_cast<int>(reader.height()), newWidth,
                 newHeight, reader.storesTopRowFirst()),
      source_(reader.rowBytes()) {}

bool ResampledTga::next() {
    while (!resampler_.ready()) {
        if (rowsRead_ == reader_.height()) {
            return false;
        }
        takeRow();
    }
    row_ = resampler_.nextRow();
    pixels_ = resampler_.makeRow().data();
    return true;
}

// Rows no resampled row reads are still looked at: one see-through pixel
// anywhere decides how the picture must be drawn.
void ResampledTga::takeRow() {
    reader_.readRow(source_.data());
    if (reader_.storesAlpha() && !seeThrough_) {
        seeThrough_ = hasSeeThroughPixel(source_.data(), source_.size());
    }
    resampler_.take(source_.data());
    ++rowsRead_;
}
