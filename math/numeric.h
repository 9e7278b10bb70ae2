#pragma once

// Angle conversion, the game's one random source, and the single-precision
// arithmetic every body measures with. Everything here gives the same bits on
// every machine: chance from our own generator, and the arctangent from plain
// arithmetic and square roots, which every processor rounds alike, rather
// than from a C library, whose last bits differ from one to another.

constexpr double kPi = 3.141592653589793;

float toDegrees(float radians);
float toRadians(float degrees);

// The next of the generator's numbers modulo n for n > 0, else 0. The first
// call of any random operation seeds it with the calendar time, once for the whole run,
// unless a seed was given first.
int randomInt(int n);
// Seeds the generator with `seed` (a replay gives back the recorded game's).
void seedRandom(unsigned seed);
// The seed in use; chosen from the calendar time now if none was yet.
unsigned randomSeed();
// A multiple of x / 10000 in [0, x): never x itself.
float randomFloat(float x);
// Uniform in [a, b) for a < b; a when a == b.
float randomRange(float a, float b);

float floatSqrt(float value);
float floatAbs(float value);
// The arctangent in radians, within a unit in the last place of the C
// library's, and the same on every machine.
float floatAtan(float value);

// Single-precision distance between two points given by their components.
float distanceBetween(float ax, float ay, float bx, float by);

// Polar angle in degrees [0, 360) of (px, py) about (cx, cy). A point on the
// horizontal or vertical line through the centre counts as angle 0.
float polarAngleAbout(float px, float py, float cx, float cy);
