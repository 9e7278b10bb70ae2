#pragma once

#include <string>

// A full-window picture kept at the size of the window it fills. Laid down
// texel for pixel it needs no filtering, and Mesa's software renderer draws it
// in about half the time it takes to stretch it over the window; the picture is
// the same, since the stretching is done once, here. The file is read, resampled
// and uploaded a band of rows at a time, so the picture costs its texture and
// no more, even while it loads.
class WindowPicture {
public:
    // Holds `fileName`, an opaque picture at least width by height pixels
    // large, resampled to that size, in place of the picture held before: a
    // texture of the same size is written over, so that the two are never held
    // together. Any other picture is declined (list() is -1) and the caller
    // draws it as it is. Does nothing when last asked for the same.
    void load(const char* fileName, int width, int height);
    void release();
    // Whether `fileName` is held, not declined.
    bool holds(const char* fileName) const;
    // Binds the picture and draws it over the unit square; -1 when declined.
    int list() const { return list_; }
    // The texture holding the picture; 0 when declined.
    int texture() const { return texture_; }

private:
    bool fill(const char* fileName);
    void freeTexture();

    std::string fileName_;
    int width_ = 0;
    int height_ = 0;
    int texture_ = 0;
    int list_ = -1;
};
