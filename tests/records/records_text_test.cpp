#include "records/records_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

Records someRecords() {
    Records records;
    records.gamesPlayed = 17;
    records.gamesWon = 2;
    records.fastestWinMilliseconds = 222'450;
    records.mostPlanets = 12;
    records.planetsFormed = 98;
    return records;
}

constexpr const char* kWellFormed = "vantorel-records 1\n"
                                    "games_played 17\n"
                                    "games_won 2\n"
                                    "fastest_win_ms 222450\n"
                                    "most_planets 12\n"
                                    "planets_formed 98\n";

} // namespace

TEST(RecordsText, IsOneKeyAndValuePerLineUnderANamedVersion) {
    EXPECT_EQ(recordsText(someRecords()), kWellFormed);
    EXPECT_EQ(recordsText(Records{}), "vantorel-records 1\n"
                                      "games_played 0\n"
                                      "games_won 0\n"
                                      "fastest_win_ms none\n"
                                      "most_planets 0\n"
                                      "planets_formed 0\n");
}

TEST(RecordsText, ReadsBackWhatItWrites) {
    for (const Records& records : {Records{}, someRecords()}) {
        const ParsedRecords parsed = parseRecords(recordsText(records));
        ASSERT_TRUE(parsed.records) << parsed.problem;
        EXPECT_EQ(*parsed.records, records);
    }
}

TEST(RecordsText, ToleratesWhatAPersonEditingItMightLeave) {
    const char* const edited[] = {
        "vantorel-records 1\r\ngames_played 17\r\ngames_won 2\r\nfastest_win_ms 222450\r\n"
        "most_planets 12\r\nplanets_formed 98\r\n",
        "vantorel-records 1\n\nplanets_formed   98\nmost_planets\t12\ngames_won 2\n"
        "fastest_win_ms 222450\n  games_played 17\n\n",
    };
    for (const char* text : edited) {
        const ParsedRecords parsed = parseRecords(text);
        ASSERT_TRUE(parsed.records) << parsed.problem << "\n" << text;
        EXPECT_EQ(*parsed.records, someRecords());
    }
}

TEST(RecordsText, RefusesWhatIsNotAWholeRecordsFileOfThisVersion) {
    const std::string good = kWellFormed;
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"empty", ""},
        {"cut in a line", good.substr(0, good.size() - 3)},
        {"cut after the header", "vantorel-records 1\n"},
        {"cut at a line end", good.substr(0, good.find("most_planets"))},
        {"binary junk", std::string("\x7f"
                                    "ELF\x02\x01\x01\0\0\0\n\xff\xfe",
                                    14)},
        {"another format", "some-other-game 1\ngames_played 1\n"},
        {"a newer version", "vantorel-records 2\ngames_played 17\n"},
        {"version zero", "vantorel-records 0\n"},
        {"no version", "vantorel-records\n"},
        {"an unknown key", good + "longest_game_ms 5\n"},
        {"a repeated key", good + "games_won 3\n"},
        {"three words", "vantorel-records 1\ngames_played 17 18\n"},
        {"a negative count", "vantorel-records 1\ngames_played -1\n"},
        {"not a number", "vantorel-records 1\ngames_played lots\n"},
        {"nineteen digits", "vantorel-records 1\ngames_played 1234567890123456789\n"},
        {"none but for the fastest win", "vantorel-records 1\ngames_played none\n"},
        {"more won than played",
         "vantorel-records 1\ngames_played 1\ngames_won 2\nfastest_win_ms 5\nmost_planets 12\n"
         "planets_formed 24\n"},
        {"won without a fastest win",
         "vantorel-records 1\ngames_played 2\ngames_won 1\nfastest_win_ms none\n"
         "most_planets 12\nplanets_formed 24\n"},
        {"most above all", "vantorel-records 1\ngames_played 2\ngames_won 0\nfastest_win_ms none\n"
                           "most_planets 5\nplanets_formed 4\n"},
        {"too large", good + std::string(kLargestRecordsFile, '\n')},
    };
    for (const Case& c : cases) {
        const ParsedRecords parsed = parseRecords(c.text);
        EXPECT_FALSE(parsed.records) << c.name;
        EXPECT_FALSE(parsed.problem.empty()) << c.name;
    }
}

TEST(RecordsText, SaysWhenTheFileIsFromANewerVersion) {
    EXPECT_EQ(parseRecords("vantorel-records 2\nanything at all\n").problem,
              "written by a newer version (format 2)");
}
