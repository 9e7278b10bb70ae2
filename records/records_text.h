#pragma once

#include "records/records.h"

#include <optional>
#include <string>
#include <string_view>

// The records file as a person reads it: a first line naming the format and its
// version, then one `key value` per line, every key once, each line ending in a
// line feed (so that a file cut short shows). A later version reads the version
// and migrates; this one leaves a newer version's file as it is.
std::string recordsText(const Records& records);

struct ParsedRecords {
    // Empty when the text is not a whole records file of this version.
    std::optional<Records> records;
    // Why not, in a few words.
    std::string problem;
    // The text is a records file of a newer format than this version reads: not
    // damaged, and not this version's to change.
    bool newer = false;
};

ParsedRecords parseRecords(std::string_view text);

// Larger than any records file this version writes: what is larger is not one
// of this version's.
constexpr std::size_t kLargestRecordsFile = 4096;
