#include "records/records_report.h"

#include <cstdio>

namespace {

constexpr long long kMillisecondsPerSecond = 1000;
constexpr long long kSecondsPerMinute = 60;
constexpr const char* kNewBest = "New best!";

std::string planetsText(long long planets) {
    return std::to_string(planets) + (planets == 1 ? " planet" : " planets");
}

std::string winLine(const FinishedGame& game, const Records& before) {
    const std::string won = "Won in " + clockTime(game.milliseconds) + ". ";
    if (!before.hasWin() || game.milliseconds < before.fastestWinMilliseconds) {
        return won + kNewBest;
    }
    return won + "Best " + clockTime(before.fastestWinMilliseconds);
}

std::string lossLine(const FinishedGame& game, const Records& before) {
    const std::string formed = planetsText(game.planets) + ". ";
    if (game.planets > before.mostPlanets) {
        return formed + kNewBest;
    }
    return formed + "Most " + std::to_string(before.mostPlanets);
}

} // namespace

std::string clockTime(long long milliseconds) {
    const long long seconds = milliseconds / kMillisecondsPerSecond;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", seconds / kSecondsPerMinute,
                  seconds % kSecondsPerMinute);
    return text;
}

std::string endOfGameLine(const FinishedGame& game, const Records& before) {
    return game.won ? winLine(game, before) : lossLine(game, before);
}

std::string recordsReport(const Records& records, const std::string& filePath) {
    return "Vantorel records, kept in " + filePath + "\n" +
           "Games played: " + std::to_string(records.gamesPlayed) + "\n" +
           "Games won: " + std::to_string(records.gamesWon) + "\n" + "Fastest win: " +
           (records.hasWin() ? clockTime(records.fastestWinMilliseconds) : "none yet") + "\n" +
           "Most planets in a game: " + std::to_string(records.mostPlanets) + "\n" +
           "Planets formed in all: " + std::to_string(records.planetsFormed) + "\n";
}
