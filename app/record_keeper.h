#pragma once

#include "records/finished_game.h"
#include "records/record_store.h"
#include "records/records.h"

#include <optional>
#include <string>
#include <vector>

class World;

// Counts each game once, when its end picture first shows: adds it to the
// player's records and puts a line under the picture. Without records open
// it keeps nothing and the end pictures show alone.
class RecordKeeper {
public:
    // Opens the records in `store`'s folder; false (said on stderr) when the
    // folder cannot be written, and the game then plays without records.
    bool open(const RecordStore& store);

    // After every world draw: a game whose end picture has just shown is counted,
    // and a new game's first frame takes the last one's line away.
    void afterDraw(const World& world);

private:
    // Saves the game and returns its line for under the end picture.
    std::string count(const FinishedGame& game);

    std::optional<RecordStore> store_;
    // The record as last read from the file, and the games not yet written to it.
    Records lastRead_;
    std::vector<FinishedGame> unsaved_;
    // The game on show has ended and been counted.
    bool gameCounted_ = false;
};

RecordKeeper& getRecordKeeper();

// For --records: prints the player's record on stdout, changing nothing.
// Returns the exit status: 1 when there is no record folder or the file
// cannot be read (said on stderr).
int printRecords();
