#include "math/numeric.h"

#include <cmath>
#include <cstdlib>
#include <ctime>

namespace {

constexpr int kRandomSteps = 10000;
bool randomNeedsSeed = true;
unsigned seedInUse = 0;

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
    std::srand(seed);
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
    return std::rand() % n;
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
    return static_cast<float>(std::atan(static_cast<double>(value)));
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
