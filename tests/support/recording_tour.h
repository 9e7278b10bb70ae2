#pragma once

#include "replay/replay.h"

// What a recording reaches when it is played through the rules: the facts a
// corpus of recordings is kept for, counted frame by frame.
struct RecordingTour {
    double secondsOnTheTitle = 0.0;
    int wins = 0;
    int lossesInTheSun = 0;
    int lossesOnAPlanet = 0;
    int restarts = 0;
    // In all the recording's games together.
    int planetsFormed = 0;
    // Heard as an explosion each time two planets meet and wear each other down.
    int planetMeetings = 0;
    float fastestSpin = 0.0f;
    // The most debris the ship towed at once, and into a planet as it formed.
    float mostTowed = 0.0f;
    float mostTowedIntoAPlanet = 0.0f;
    // The ship's speed, in units a second, as a planet formed around it.
    float fastestThroughTheCloud = 0.0f;
    bool endsAsRecorded = false;
};

RecordingTour tourOf(const Replay& replay);
