#include "math/numeric.h"

#include "math/random_source.h"

#include <cmath>
#include <ctime>

namespace {

constexpr int kRandomSteps = 10000;
bool randomNeedsSeed = true;
unsigned seedInUse = 0;
RandomSource randomSource;

constexpr double kHalfPi = kPi / 2.0;
constexpr double kQuarterPi = kPi / 4.0;
// tan(pi / 8): above it the argument is moved down by a quarter turn.
constexpr double kTanEighthPi = 0.41421356237309503;
// Odd Taylor terms of the arctangent, enough for double precision once the
// argument is below 0.2: 0.2^25 / 25 is far below a unit in the last place.
constexpr int kSeriesTerms = 12;

// atan(t) for |t| <= 0.2, summed from the smallest term up.
double arcTangentSeries(double t) {
    const double square = t * t;
    double sum = 0.0;
    for (int k = kSeriesTerms - 1; k >= 0; --k) {
        const double term = 1.0 / static_cast<double>(2 * k + 1);
        sum = (k % 2 == 0 ? term : -term) + square * sum;
    }
    return t * sum;
}

// atan(x) for |x| <= tan(pi / 8), halving the angle once:
// atan(x) = 2 atan(x / (1 + sqrt(1 + x^2))).
double arcTangentSmall(double x) {
    return 2.0 * arcTangentSeries(x / (1.0 + std::sqrt(1.0 + x * x)));
}

// atan(x) for x >= 0, from + - * / and the square root alone, which IEEE 754
// rounds the same everywhere.
double arcTangentOfPositive(double x) {
    if (x > 1.0) {
        return kHalfPi - arcTangentOfPositive(1.0 / x);
    }
    if (x > kTanEighthPi) {
        return kQuarterPi + arcTangentSmall((x - 1.0) / (x + 1.0));
    }
    return arcTangentSmall(x);
}

} // namespace

float toDegrees(float radians) {
    return static_cast<float>(static_cast<double>(radians) * 180.0 / kPi);
}

float toRadians(float degrees) {
    return static_cast<float>(static_cast<double>(degrees) * kPi / 180.0);
}

void seedRandom(unsigned seed) {
    randomNeedsSeed = false;
    seedInUse = seed;
    randomSource.reseed(seed);
}

unsigned randomSeed() {
    if (randomNeedsSeed) {
        seedRandom(static_cast<unsigned>(std::time(nullptr)));
    }
    return seedInUse;
}

int randomInt(int n) {
    randomSeed();
    if (n <= 0) {
        return 0;
    }
    return randomSource.next() % n;
}

float randomFloat(float x) {
    const float fraction =
        static_cast<float>(randomInt(kRandomSteps)) / static_cast<float>(kRandomSteps);
    return fraction * x;
}

float randomRange(float a, float b) {
    return a + randomFloat(b - a);
}

float floatSqrt(float value) {
    return static_cast<float>(std::sqrt(static_cast<double>(value)));
}

float floatAbs(float value) {
    return static_cast<float>(std::fabs(static_cast<double>(value)));
}

float floatAtan(float value) {
    const double x = static_cast<double>(value);
    const double angle = x < 0.0 ? -arcTangentOfPositive(-x) : arcTangentOfPositive(x);
    return static_cast<float>(angle);
}

float distanceBetween(float ax, float ay, float bx, float by) {
    const float dx = bx - ax;
    const float dy = by - ay;
    return floatSqrt(dx * dx + dy * dy);
}

float polarAngleAbout(float px, float py, float cx, float cy) {
    const float dx = floatAbs(px - cx);
    const float dy = floatAbs(py - cy);
    int quadrant = 0;
    if (px > cx && py > cy) {
        quadrant = 1;
    } else if (px < cx && py > cy) {
        quadrant = 2;
    } else if (px < cx && py < cy) {
        quadrant = 3;
    } else if (px > cx && py < cy) {
        quadrant = 4;
    }
    if (quadrant == 0) {
        return 0.0f; // dx or dy is 0 here: skip the division rather than trap on it
    }
    const float a = toDegrees(floatAtan(dy / dx));
    switch (quadrant) {
    case 1:
        return a;
    case 2:
        return 180.0f - a;
    case 3:
        return 180.0f + a;
    default:
        return 360.0f - a;
    }
}
