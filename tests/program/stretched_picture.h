#pragma once

#include "running_game.h"

#include "render/tga_image.h"

#include <array>

// A picture as the game stretches it over the 1024 by 768 window: bilinear
// sampling of the decoded texture at the centre of each window pixel.
class StretchedPicture {
public:
    explicit StretchedPicture(const char* file);

    bool loaded() const { return loaded_; }

    // Colour at window pixel (x, y), y downwards as in a screenshot.
    std::array<int, 3> at(int x, int y, int width, int height) const;

private:
    int texel(int column, int row, int channel) const;

    TgaImage image_;
    bool loaded_ = false;
};

// The game's three full-window pictures, as it stretches them.
struct ScreenPictures {
    StretchedPicture title{VANTOREL_DATA_DIR "/images/titlescreen.tga"};
    StretchedPicture instructions{VANTOREL_DATA_DIR "/images/instructions.tga"};
    StretchedPicture backdrop{VANTOREL_DATA_DIR "/images/background.tga"};

    bool loaded() const { return title.loaded() && instructions.loaded() && backdrop.loaded(); }
};

// Whether a screenshot pixel shows the picture, within a tolerance per channel
// for filtering and stretching.
bool matchesAt(const RunningGame::Screenshot& shot, const StretchedPicture& picture, int x, int y);
// Share of a grid of samples over the whole window that show the picture.
double shareMatching(const RunningGame::Screenshot& shot, const StretchedPicture& picture);
// Mean difference per channel over the same grid: lowest for the picture shown.
double meanError(const RunningGame::Screenshot& shot, const StretchedPicture& picture);
// Share of samples along the outermost rows and columns that show the picture.
double shareMatchingAtTheEdges(const RunningGame::Screenshot& shot,
                               const StretchedPicture& picture);
