#pragma once

// One game as the records count it, taken the moment its end picture first shows.
struct FinishedGame {
    bool won = false;
    // Planets formed in the game; those formed under the end picture do not count.
    int planets = 0;
    // Game time from the start to the update that ended it: the sum of the update
    // steps, so a stalled frame counts at most one clamped step.
    long long milliseconds = 0;
};
