#include "records/records_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kWellFormed = "vantorel-records 1\n"
                                    "games_played 17\n"
                                    "games_won 2\n"
                                    "fastest_win_ms 222450\n"
                                    "most_planets 12\n"
                                    "planets_formed 98\n";

Records someRecords() {
    return Records{17, 2, 222'450, 12, 98};
}

} // namespace

TEST(RecordsText, WritesOneKeyAndValuePerLineAndReadsThemBack) {
    EXPECT_EQ(recordsText(someRecords()), kWellFormed);
    const std::string cr = "vantorel-records 1\r\ngames_played 17\r\ngames_won 2\r\n"
                           "fastest_win_ms 222450\r\nmost_planets 12\r\nplanets_formed 98\r\n";
    const std::string shuffled = "vantorel-records 1\n\nplanets_formed   98\nmost_planets\t12\n"
                                 "games_won 2\nfastest_win_ms 222450\n  games_played 17\n\n";
    for (const std::string& text :
         {recordsText(Records{}), std::string(kWellFormed), cr, shuffled}) {
        const ParsedRecords parsed = parseRecords(text);
        ASSERT_TRUE(parsed.records) << parsed.problem << "\n" << text;
        EXPECT_EQ(*parsed.records, text == recordsText(Records{}) ? Records{} : someRecords());
    }
}

TEST(RecordsText, RefusesWhatIsNotAWholeRecordsFileOfThisVersion) {
    const std::string good = kWellFormed;
    const std::string header = "vantorel-records 1\n";
    const std::string rest = "fastest_win_ms 5\nmost_planets 12\nplanets_formed 24\n";
    const std::string cases[] = {
        "",
        good.substr(0, good.size() - 3),           // cut in a line
        good.substr(0, good.find("most_planets")), // cut at a line's end
        std::string("\x7f"
                    "ELF\x02\x01\x01\0\0\0\n\xff\xfe",
                    14),
        "some-other-game 1\n" + good.substr(header.size()),
        "vantorel-records 2\n" + good.substr(header.size()),
        "vantorel-records 0\n",
        good + "longest_game_ms 5\n",
        good + "games_won 3\n",
        header + "games_played 17 18\n",
        header + "games_played -1\n",
        header + "games_played none\n",
        header + "games_played 1234567890123456789\n",
        header + "games_played 1\ngames_won 2\n" + rest,
        header + "games_played 2\ngames_won 0\n" + rest,
        header + "games_played 30\ngames_won 2\n" +
            "fastest_win_ms 5\nmost_planets 25\n"
            "planets_formed 24\n",
        good + std::string(kLargestRecordsFile, '\n'),
    };
    for (const std::string& text : cases) {
        const ParsedRecords parsed = parseRecords(text);
        EXPECT_FALSE(parsed.records) << text;
        EXPECT_FALSE(parsed.problem.empty()) << text;
    }
    EXPECT_EQ(parseRecords(cases[5]).problem,
              "written by a newer version of the game, in records format 2");
}

TEST(RecordsText, TellsANewerFormatByItsFirstLineAlone) {
    const std::string rest =
        std::string(kWellFormed).substr(std::string("vantorel-records 1\n").size());
    struct Case {
        std::string text;
        bool newer;
    };
    const Case cases[] = {
        {"vantorel-records 2\n" + rest, true},
        {"vantorel-records 2\r\nhigh_scores 1 2 3\r\n", true},
        {"vantorel-records 17", true},
        {"vantorel-records 3\n" + std::string(2 * kLargestRecordsFile, 'x'), true},
        {"vantorel-records 1\n" + rest, false},
        {"vantorel-records 0\n" + rest, false},
        {"vantorel-records two\n" + rest, false},
        {"vantorel-records 1 2\n" + rest, false},
        {"some-other-game 2\n" + rest, false},
        {"vantorel-records 1\nvantorel-records 2\n", false},
    };
    for (const Case& c : cases) {
        const ParsedRecords parsed = parseRecords(c.text);
        EXPECT_EQ(parsed.newer, c.newer) << c.text.substr(0, 40);
        if (c.newer) {
            EXPECT_FALSE(parsed.records) << c.text.substr(0, 40);
        }
    }
}
