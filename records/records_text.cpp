#include "records/records_text.h"

#include <array>
#include <vector>

namespace {

constexpr std::string_view kFormatName = "vantorel-records";
constexpr long long kFormatVersion = 1;
constexpr std::string_view kNoWinValue = "none";
constexpr std::size_t kLargestDigits = 18;

struct Field {
    std::string_view key;
    long long Records::*value;
};

// The order in which the file lists them.
constexpr std::array<Field, 5> kFields{{
    {"games_played", &Records::gamesPlayed},
    {"games_won", &Records::gamesWon},
    {"fastest_win_ms", &Records::fastestWinMilliseconds},
    {"most_planets", &Records::mostPlanets},
    {"planets_formed", &Records::planetsFormed},
}};

ParsedRecords refused(std::string problem) {
    return ParsedRecords{std::nullopt, std::move(problem)};
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The words of a line, split at runs of blanks.
std::vector<std::string_view> wordsOf(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && isBlank(line[at])) {
            ++at;
        }
        const std::size_t start = at;
        while (at < line.size() && !isBlank(line[at])) {
            ++at;
        }
        if (at > start) {
            words.push_back(line.substr(start, at - start));
        }
    }
    return words;
}

// Lines without their line feed (and a carriage return an editor may have left).
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos;
         end = text.find('\n', start)) {
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// A count of at most kLargestDigits decimal digits, nothing else.
std::optional<long long> countFrom(std::string_view word) {
    if (word.empty() || word.size() > kLargestDigits) {
        return std::nullopt;
    }
    long long value = 0;
    for (const char c : word) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<long long> valueFrom(std::string_view key, std::string_view word) {
    if (key == "fastest_win_ms" && word == kNoWinValue) {
        return Records::kNoWin;
    }
    return countFrom(word);
}

const Field* fieldNamed(std::string_view key) {
    for (const Field& field : kFields) {
        if (field.key == key) {
            return &field;
        }
    }
    return nullptr;
}

// The first line, without its line feed, even in a file cut short.
std::string_view firstLineOf(std::string_view text) {
    std::string_view line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

// The format version the first line names, or nothing when it names none.
std::optional<long long> formatVersionOf(std::string_view line) {
    const std::vector<std::string_view> words = wordsOf(line);
    const std::optional<long long> version =
        words.size() == 2 && words[0] == kFormatName ? countFrom(words[1]) : std::nullopt;
    return version && *version > 0 ? version : std::nullopt;
}

using SeenFields = std::array<bool, kFields.size()>;

// Reads line `number`, a `key value` or blank, into `records`; what is wrong
// with it, or nothing.
std::string lineProblem(std::string_view line, std::size_t number, Records& records,
                        SeenFields& seen) {
    const std::vector<std::string_view> words = wordsOf(line);
    if (words.empty()) {
        return "";
    }
    const std::string where = "line " + std::to_string(number);
    const Field* const field = words.size() == 2 ? fieldNamed(words[0]) : nullptr;
    if (!field) {
        return where + " is not a known `key value`";
    }
    bool& fieldSeen = seen[static_cast<std::size_t>(field - kFields.data())];
    if (fieldSeen) {
        return where + " repeats " + std::string(field->key);
    }
    const std::optional<long long> value = valueFrom(field->key, words[1]);
    if (!value) {
        return where + " has no count";
    }
    fieldSeen = true;
    records.*field->value = *value;
    return "";
}

std::string missingField(const SeenFields& seen) {
    for (std::size_t index = 0; index < kFields.size(); ++index) {
        if (!seen[index]) {
            return "no " + std::string(kFields[index].key);
        }
    }
    return "";
}

// Counts that no sequence of games could have left.
std::string inconsistency(const Records& records) {
    if (records.gamesWon > records.gamesPlayed) {
        return "more games won than played";
    }
    if (records.hasWin() != (records.gamesWon > 0)) {
        return "a fastest win that does not match the games won";
    }
    if (records.mostPlanets > records.planetsFormed) {
        return "more planets in one game than in all";
    }
    return "";
}

} // namespace

std::string recordsText(const Records& records) {
    std::string text = std::string(kFormatName) + " " + std::to_string(kFormatVersion) + "\n";
    for (const Field& field : kFields) {
        const long long value = records.*field.value;
        text += std::string(field.key) + " " +
                (value == Records::kNoWin ? std::string(kNoWinValue) : std::to_string(value)) +
                "\n";
    }
    return text;
}

// The whole text is read before it is trusted: every line known, every key once.
// A newer format is told by its first line alone, whatever its size or the rest.
ParsedRecords parseRecords(std::string_view text) {
    if (text.empty()) {
        return refused("empty");
    }
    const std::optional<long long> version = formatVersionOf(firstLineOf(text));
    if (version && *version > kFormatVersion) {
        return ParsedRecords{std::nullopt,
                             "written by a newer version of the game, in records format " +
                                 std::to_string(*version),
                             true};
    }
    if (text.size() > kLargestRecordsFile) {
        return refused("too large to be a records file");
    }
    if (text.back() != '\n') {
        return refused("cut short");
    }
    if (!version) {
        return refused("not a records file");
    }
    const std::vector<std::string_view> lines = linesOf(text);
    std::string problem;
    Records records;
    SeenFields seen{};
    for (std::size_t i = 1; i < lines.size() && problem.empty(); ++i) {
        problem = lineProblem(lines[i], i + 1, records, seen);
    }
    if (problem.empty()) {
        problem = missingField(seen);
    }
    if (problem.empty()) {
        problem = inconsistency(records);
    }
    return problem.empty() ? ParsedRecords{records, ""} : refused(problem);
}
