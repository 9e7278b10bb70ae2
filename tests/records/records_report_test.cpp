#include "records/records_report.h"

#include <gtest/gtest.h>

namespace {

Records recordWith(long long fastestWin, long long mostPlanets) {
    return Records{5, fastestWin == Records::kNoWin ? 0 : 1, fastestWin, mostPlanets, 30};
}

} // namespace

TEST(RecordsReport, ClockTimeShowsMinutesAndWholeSeconds) {
    struct Case {
        long long milliseconds;
        const char* shown;
    };
    for (const Case c : {Case{0, "0:00"}, Case{999, "0:00"}, Case{7'000, "0:07"},
                         Case{245'999, "4:05"}, Case{3'725'000, "62:05"}}) {
        EXPECT_EQ(clockTime(c.milliseconds), c.shown) << c.milliseconds;
    }
}

TEST(RecordsReport, EndOfGameLineComparesWithTheRecordBeforeIt) {
    struct Case {
        FinishedGame game;
        Records before;
        const char* line;
    };
    const Case cases[] = {
        {{true, 12, 245'000}, recordWith(222'000, 12), "Won in 4:05. Best 3:42"},
        {{true, 12, 222'000}, recordWith(222'000, 12), "Won in 3:42. Best 3:42"},
        {{true, 12, 221'999}, recordWith(222'000, 12), "Won in 3:41. New best!"},
        {{true, 12, 600'000}, recordWith(Records::kNoWin, 7), "Won in 10:00. New best!"},
        {{false, 3, 100'000}, recordWith(Records::kNoWin, 7), "3 planets. Most 7"},
        {{false, 7, 100'000}, recordWith(Records::kNoWin, 7), "7 planets. Most 7"},
        {{false, 8, 100'000}, recordWith(Records::kNoWin, 7), "8 planets. New best!"},
        {{false, 1, 100'000}, recordWith(Records::kNoWin, 0), "1 planet. New best!"},
        {{false, 0, 100'000}, Records{}, "0 planets. Most 0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(endOfGameLine(c.game, c.before), c.line);
    }
}
