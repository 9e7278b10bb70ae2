#include "records/records.h"

#include <gtest/gtest.h>

TEST(Records, AddsEachGameToTheCountsAndKeepsTheBests) {
    struct Case {
        FinishedGame game;
        long long played, won, fastest, most, formed;
    };
    const Case games[] = {
        {{false, 3, 50'000}, 1, 0, Records::kNoWin, 3, 3},
        {{true, 12, 240'000}, 2, 1, 240'000, 12, 15},
        {{false, 1, 10'000}, 3, 1, 240'000, 12, 16}, // a short loss is no fastest win
        {{true, 12, 250'000}, 4, 2, 240'000, 12, 28},
        {{true, 12, 200'000}, 5, 3, 200'000, 12, 40},
    };
    Records records;
    for (const Case& c : games) {
        records.add(c.game);
        EXPECT_EQ(records.gamesPlayed, c.played);
        EXPECT_EQ(records.gamesWon, c.won);
        EXPECT_EQ(records.fastestWinMilliseconds, c.fastest);
        EXPECT_EQ(records.mostPlanets, c.most);
        EXPECT_EQ(records.planetsFormed, c.formed);
    }
}

TEST(Records, CountsStopAtTheLargestTheFileHolds) {
    Records records;
    records.gamesPlayed = Records::kLargestCount;
    records.planetsFormed = Records::kLargestCount - 5;
    records.add(FinishedGame{false, 12, 1});
    EXPECT_EQ(records.gamesPlayed, Records::kLargestCount);
    EXPECT_EQ(records.planetsFormed, Records::kLargestCount);
}
