#pragma once

// Every read of GLUT's elapsed time goes through here, so that tests can drive
// the clock instead of sleeping.

// Milliseconds since GLUT started, or the driven value while a test drives it.
int elapsedMilliseconds();

void driveElapsedMilliseconds(int milliseconds);
void releaseElapsedMilliseconds();
