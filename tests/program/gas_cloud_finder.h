#pragma once

#include "play_field.h"
#include "running_game.h"

#include <optional>
#include <vector>

class StretchedPicture;

// Finds the gas cloud on the play screen: a translucent purple glow about 10
// units across, placed at random. Its light is told from the backdrop by how
// much redder and bluer than green it makes each pixel.
class GasCloudFinder {
public:
    explicit GasCloudFinder(const StretchedPicture& backdrop);

    // Frames taken a moment apart: only the purple that stays in all of them
    // counts, so that a planet orbiting through is not taken for the cloud.
    std::optional<WorldPoint> find(const std::vector<RunningGame::Screenshot>& frames) const;

private:
    std::vector<int> excessPurple(const std::vector<RunningGame::Screenshot>& frames) const;

    std::vector<int> backdropPurple_;
};
