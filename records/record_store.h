#pragma once

#include "records/finished_game.h"
#include "records/records.h"
#include "records/records_text.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// Where the player's records live: $XDG_DATA_HOME/vantorel, else
// $HOME/.local/share/vantorel; empty when neither gives an absolute folder.
std::string recordsFolder();

// The player's records file in its folder. Reading needs no lock: a save writes
// the whole file aside, flushes it to disk and renames it over the old one, so a
// reader finds either the old file or the new. A save takes the folder's lock,
// reads the file again and adds its games to what it finds, so that games
// running side by side lose none. A file that cannot be read is moved aside to
// records.bad (the previous one to records.bad.1). Each trouble is told in one
// line on stderr.
class RecordStore {
public:
    static constexpr std::chrono::milliseconds kLockPatience{1000};

    explicit RecordStore(std::string folder,
                         std::chrono::milliseconds lockPatience = kLockPatience);

    // Makes the folder if need be and checks that it can be written in.
    bool prepare() const;
    // The record as kept: empty for a first game, and empty after a file that
    // could not be read was moved aside.
    Records load() const;
    // Adds `games` to the record as it now stands and writes it. Returns the
    // record it found before adding them, or nothing when it could not save.
    std::optional<Records> save(const std::vector<FinishedGame>& games) const;
    // The record, or why it cannot be read, changing nothing.
    ParsedRecords peek() const;

    const std::string& folder() const { return folder_; }
    std::string filePath() const;

private:
    struct Found;

    static Found troubleReading(int error);
    Found find() const;
    std::optional<Records> loadUnderLock() const;
    bool moveAside(const std::string& problem) const;
    bool replaceFile(const std::string& text) const;
    std::string pathOf(const char* name) const;

    std::string folder_;
    std::chrono::milliseconds lockPatience_;
};
