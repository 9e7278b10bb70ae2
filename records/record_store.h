#pragma once

#include "records/finished_game.h"
#include "records/records.h"
#include "records/records_text.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// Where the player's records live: a folder of the game's own among the files
// the platform keeps ($XDG_DATA_HOME/vantorel, else $HOME/.local/share/vantorel
// on the desktop); empty when the platform gives no folder.
std::string recordsFolder();

// The player's records file in its folder. Reading needs no lock: a save writes
// the whole file aside, flushes it to disk and renames it over the old one, so a
// reader finds either the old file or the new. A save takes the folder's lock,
// reads the file again and adds its games to what it finds, so that games
// running side by side lose none.
//
// The file may be a symbolic link (into a synced folder, say): the link stays,
// and the file it leads to is replaced in that file's own folder, keeping its
// mode. A file of a newer version of the game, or a link that leads to no file,
// is left as it is and nothing is saved. A file that cannot be read is moved
// aside to the first free name of records.bad, records.bad.1, ...
// records.bad.99, never over another one, and a new record begins. Each
// trouble is told in one line on stderr.
class RecordStore {
public:
    static constexpr std::chrono::milliseconds kLockPatience{1000};
    // records.bad.99 is the last name a damaged file is moved aside to: with all
    // taken, the damaged file stays where it is and nothing is saved.
    static constexpr int kLastMovedAsideNumber = 99;

    explicit RecordStore(std::string folder,
                         std::chrono::milliseconds lockPatience = kLockPatience);

    // Makes the folder if need be (owner-only, as every folder it makes), checks
    // that it can be written in and that its records are this version's to keep.
    bool prepare() const;
    // The record as kept: empty for a first game, and empty after a file that
    // could not be read was moved aside.
    Records load() const;
    // Adds `games` to the record as it now stands and writes it. Returns the
    // record it found before adding them, or nothing when it could not save.
    // A file left as it is is told of once; later saves pass it by quietly.
    std::optional<Records> save(const std::vector<FinishedGame>& games);
    // The record, or why it cannot be read, changing nothing.
    ParsedRecords peek() const;

    const std::string& folder() const { return folder_; }
    std::string filePath() const;

private:
    std::string folder_;
    std::chrono::milliseconds lockPatience_;
    bool leftAloneTold_ = false;
};
