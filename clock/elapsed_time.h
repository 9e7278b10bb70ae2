#pragma once

#include <cstdint>

// Every read of the game's clock goes through here, so that tests can drive the
// clock instead of sleeping and a replay can give back a recorded game's. A
// frame takes one reading at its start, and everything in that frame (the frame
// time, a forming planet, the sun, the sounds) reads that same one.
//
// Readings are milliseconds since the clock was first read. They wrap after
// 24.8 days like any 32-bit count, so two readings are compared only through
// millisecondsBetween, which stays right across the wrap.

// The reading taken last, or the driven value while the clock is driven; the
// running clock until a reading is taken.
int elapsedMilliseconds();
// Reads the running clock, or the driven value, and keeps the reading for the frame.
int takeElapsedMilliseconds();

void driveElapsedMilliseconds(int milliseconds);
void releaseElapsedMilliseconds();

// How far `later` lies after `earlier`, for readings less than 24.8 days apart.
std::int32_t millisecondsBetween(std::int32_t earlier, std::int32_t later);
