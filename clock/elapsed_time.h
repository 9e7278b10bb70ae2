#pragma once

// Every read of GLUT's elapsed time goes through here, so that tests can drive
// the clock instead of sleeping and a replay can give back a recorded game's.
// A frame takes one reading at its start, and everything in that frame (the
// frame time, a forming planet, the sun, the sounds) reads that same one.

// The reading taken last, or the driven value while the clock is driven;
// GLUT's own clock until a reading is taken.
int elapsedMilliseconds();
// Reads GLUT's clock, or the driven value, and keeps the reading for the frame.
int takeElapsedMilliseconds();

void driveElapsedMilliseconds(int milliseconds);
void releaseElapsedMilliseconds();
