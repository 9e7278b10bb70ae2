#include "world/gas_cloud.h"

#include "support/body_drawing.h"
#include "support/gl_context.h"

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

using GasCloudOnScreen = BodyOnScreen;

TEST_F(GasCloudOnScreen, DrawsItsTenUnitSquareAtSixtyPercent) {
    clearToBlack();
    GasCloud cloud;
    cloud.setX(30.0f);
    cloud.setY(20.0f);
    cloud.load();
    cloud.update(1.125f); // 45 degrees: the corners reach 7.07 units out
    const int depth = modelviewStackDepth();
    cloud.draw();
    EXPECT_EQ(modelviewStackDepth(), depth);
    EXPECT_TRUE(spriteStateOff());
    const WindowPixel centre = windowPixelOf(30.0f, 20.0f);
    const WindowPixel corner = windowPixelOf(36.8f, 20.0f);
    const WindowPixel outside = windowPixelOf(34.9f, 24.9f);
    EXPECT_NEAR(pixelAt(centre.x, centre.y)[0], 153, 2);
    EXPECT_NEAR(pixelAt(corner.x, corner.y)[0], 153, 2);
    EXPECT_EQ(pixelAt(outside.x, outside.y)[0], 0);
}
