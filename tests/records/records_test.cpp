#include "records/records.h"

#include <gtest/gtest.h>

TEST(Records, AddsEachGameToTheCountsAndKeepsTheBests) {
    struct Case {
        FinishedGame game;
        Records after;
    };
    const Case games[] = {
        {{false, 3, 50'000}, {1, 0, Records::kNoWin, 3, 3}},
        {{true, 12, 240'000}, {2, 1, 240'000, 12, 15}},
        {{false, 1, 10'000}, {3, 1, 240'000, 12, 16}}, // a short loss is no fastest win
        {{true, 12, 250'000}, {4, 2, 240'000, 12, 28}},
        {{true, 12, 200'000}, {5, 3, 200'000, 12, 40}},
    };
    Records records;
    for (const Case& c : games) {
        records.add(c.game);
        EXPECT_EQ(records, c.after) << records.gamesPlayed;
    }
    // Past what the file holds a count stops, rather than make a file it would refuse.
    records.gamesPlayed = Records::kLargestCount;
    records.add(FinishedGame{});
    EXPECT_EQ(records.gamesPlayed, Records::kLargestCount);
}
