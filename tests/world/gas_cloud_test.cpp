#include "world/gas_cloud.h"

#include <gtest/gtest.h>

TEST(GasCloud, ContainsOnlyPointsWithinOneUnitOfItsCentre) {
    struct Case {
        float dx, dy;
        bool contained;
    };
    const Case cases[] = {{1.0f, 0.0f, true},
                          {0.0f, -1.0f, true},
                          {1.01f, 0.0f, false},
                          {0.0f, 1.01f, false},
                          {4.0f, 0.0f, false}};
    GasCloud cloud;
    cloud.setX(-25.0f);
    cloud.setY(60.0f);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << ", " << c.dy);
        EXPECT_EQ(cloud.contains(-25.0f + c.dx, 60.0f + c.dy), c.contained);
    }
}

TEST(GasCloud, KeepsFiveUnitsClearOfTheSun) {
    EXPECT_EQ(GasCloud().radius(), 5.0f);
}

TEST(GasCloud, TurnsAFullCircleEveryNineSecondsWithoutWrapping) {
    GasCloud cloud;
    for (int i = 0; i < 90; ++i) {
        cloud.update(0.1f);
    }
    EXPECT_FLOAT_EQ(cloud.rotation(), 360.0f);
    for (int i = 0; i < 540; ++i) {
        cloud.update(1.0f / 60.0f);
    }
    EXPECT_NEAR(cloud.rotation(), 720.0f, 0.01f);
}
