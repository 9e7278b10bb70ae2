#include "records/records.h"

#include <algorithm>

namespace {

long long addedUpTo(long long count, long long more) {
    return count > Records::kLargestCount - more ? Records::kLargestCount : count + more;
}

} // namespace

void Records::add(const FinishedGame& game) {
    gamesPlayed = addedUpTo(gamesPlayed, 1);
    if (game.won) {
        gamesWon = addedUpTo(gamesWon, 1);
        if (!hasWin() || game.milliseconds < fastestWinMilliseconds) {
            fastestWinMilliseconds = game.milliseconds;
        }
    }
    mostPlanets = std::max(mostPlanets, static_cast<long long>(game.planets));
    planetsFormed = addedUpTo(planetsFormed, game.planets);
}

bool Records::operator==(const Records& other) const {
    return gamesPlayed == other.gamesPlayed && gamesWon == other.gamesWon &&
           fastestWinMilliseconds == other.fastestWinMilliseconds &&
           mostPlanets == other.mostPlanets && planetsFormed == other.planetsFormed;
}
