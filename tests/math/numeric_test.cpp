#include "math/numeric.h"

#include "math/random_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

TEST(Numeric, ConvertsAngles) {
    EXPECT_FLOAT_EQ(toDegrees(static_cast<float>(kPi / 2.0)), 90.0f);
    EXPECT_EQ(toRadians(180.0f), static_cast<float>(kPi));
    EXPECT_FLOAT_EQ(toDegrees(toRadians(37.0f)), 37.0f);
}

TEST(Numeric, RandomIntOfNothingIsZero) {
    EXPECT_EQ(randomInt(0), 0);
    EXPECT_EQ(randomInt(-5), 0);
}

// Run alone (ctest runs each test in a process of its own): the first draw
// seeds the generator from the calendar, and nothing seeds it again.
TEST(Numeric, SeedsOnceAndNeverAgain) {
    const int first = randomInt(1000000);
    const float second = randomRange(-50.0f, 50.0f);
    RandomSource same(randomSeed());
    EXPECT_EQ(first, same.next() % 1000000);
    EXPECT_EQ(second, -50.0f + static_cast<float>(same.next() % 10000) / 10000.0f * 100.0f);
}

TEST(Numeric, AGivenSeedIsReportedAndDrawsTheSameNumbersAgain) {
    seedRandom(20240611);
    const int first = randomInt(1000000);
    const float second = randomRange(-50.0f, 50.0f);
    seedRandom(20240611);
    EXPECT_EQ(randomSeed(), 20240611u);
    EXPECT_EQ(randomInt(1000000), first);
    EXPECT_EQ(randomRange(-50.0f, 50.0f), second);
}

TEST(Numeric, RandomFloatStopsShortOfItsBound) {
    float largest = 0.0f;
    for (int i = 0; i < 200000; ++i) {
        const float value = randomFloat(1.0f);
        ASSERT_GE(value, 0.0f);
        ASSERT_LT(value, 1.0f);
        largest = std::max(largest, value);
    }
    EXPECT_FLOAT_EQ(largest, 0.9999f);
}

TEST(Numeric, RandomRangeStaysInItsInterval) {
    for (int i = 0; i < 20000; ++i) {
        const float value = randomRange(-50.0f, 50.0f);
        ASSERT_GE(value, -50.0f);
        ASSERT_LE(value, 49.99f);
    }
    EXPECT_EQ(randomRange(5.0f, 5.0f), 5.0f);
    const float downwards = randomRange(10.0f, 0.0f);
    EXPECT_LE(downwards, 10.0f);
    EXPECT_GT(downwards, 0.0f);
}

TEST(Numeric, DistanceIsSinglePrecisionEuclidean) {
    EXPECT_EQ(distanceBetween(0.0f, 40.0f, 3.0f, 44.0f), 5.0f);
    EXPECT_EQ(distanceBetween(1.0f, 1.0f, 1.0f, 1.0f), 0.0f);
}

TEST(Numeric, PolarAngleByQuadrant) {
    struct Case {
        float x, y, degrees;
    };
    const Case cases[] = {
        {10.0f, 50.0f, 45.0f},  {-10.0f, 50.0f, 135.0f}, {-10.0f, 30.0f, 225.0f},
        {10.0f, 30.0f, 315.0f}, {0.0f, 60.0f, 0.0f},     {10.0f, 40.0f, 0.0f},
        {-10.0f, 40.0f, 0.0f},  {0.0f, 40.0f, 0.0f},     {0.0f, 20.0f, 0.0f},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(polarAngleAbout(c.x, c.y, 0.0f, 40.0f), c.degrees, 1e-4f)
            << "at (" << c.x << ", " << c.y << ")";
    }
}

// Whatever the machine, the arctangent is the same: its values at known points,
// and agreement with the C library's to the last bit across the range.
TEST(Numeric, ArcTangentMatchesTheCLibrary) {
    EXPECT_EQ(floatAtan(0.0f), 0.0f);
    EXPECT_EQ(floatAtan(1.0f), static_cast<float>(kPi / 4.0));
    EXPECT_EQ(floatAtan(-1.0f), -static_cast<float>(kPi / 4.0));
    EXPECT_EQ(floatAtan(INFINITY), static_cast<float>(kPi / 2.0));
    EXPECT_TRUE(std::isnan(floatAtan(NAN)));
    int differ = 0;
    for (std::uint32_t bits = 0; bits < 0x7F800000u; bits += 4099) {
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        for (const float signed_value : {value, -value}) {
            const float library = static_cast<float>(std::atan(static_cast<double>(signed_value)));
            differ += floatAtan(signed_value) == library ? 0 : 1;
        }
    }
    EXPECT_EQ(differ, 0);
}
