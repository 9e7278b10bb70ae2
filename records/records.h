#pragma once

#include "records/finished_game.h"

// The player's record over every game kept.
struct Records {
    static constexpr long long kNoWin = -1;
    // Eighteen digits: every count fits a long long, and the file stays readable.
    static constexpr long long kLargestCount = 999'999'999'999'999'999;

    void add(const FinishedGame& game);
    bool hasWin() const { return fastestWinMilliseconds != kNoWin; }
    bool operator==(const Records& other) const;

    long long gamesPlayed = 0;
    long long gamesWon = 0;
    long long fastestWinMilliseconds = kNoWin;
    long long mostPlanets = 0;
    long long planetsFormed = 0;
};
