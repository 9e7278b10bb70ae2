#pragma once

#include <cstdint>
#include <vector>

// `rgba` (width by height pixels, top row first) resampled to newWidth by
// newHeight as linear filtering samples a texture stretched over that many
// pixels: each pixel centre reads the four texels around it, weighted by
// distance; past the edges the edge texels repeat.
std::vector<std::uint8_t> resampleLinear(const std::uint8_t* rgba, int width, int height,
                                         int newWidth, int newHeight);

// A full-window picture kept at the size of the window it fills. Laid down
// texel for pixel it needs no filtering, and Mesa's software renderer draws it
// in about half the time it takes to stretch it over the window; the picture is
// the same, since the stretching is done once, here.
class WindowPicture {
public:
    // Reads an opaque picture at least width by height pixels large and keeps
    // it resampled to that size. Any other picture is declined (list() stays
    // -1) and the caller draws it as it is. Does nothing when already asked
    // for this size.
    void load(const char* fileName, int width, int height);
    void release();
    bool madeFor(int width, int height) const { return width == width_ && height == height_; }
    // Binds the picture and draws it over the unit square; -1 when declined.
    int list() const { return list_; }

private:
    int texture_ = 0;
    int list_ = -1;
    int width_ = 0;
    int height_ = 0;
};
