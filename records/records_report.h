#pragma once

#include "records/finished_game.h"
#include "records/records.h"

#include <string>

// A game time as a clock shows it, minutes and whole seconds: "4:05".
std::string clockTime(long long milliseconds);

// The line under the end picture: after a win this game's time and the best,
// after a loss this game's planets and the most ever; a new best says so.
// `before` is the record as it stood before this game.
std::string endOfGameLine(const FinishedGame& game, const Records& before);

// What `vantorel --records` prints: where the record is kept, then the record.
std::string recordsReport(const Records& records, const std::string& filePath);
