#include "clock/elapsed_time.h"

#include <GL/glut.h>

namespace {

bool driven = false;
int drivenMilliseconds = 0;

} // namespace

int elapsedMilliseconds() {
    return driven ? drivenMilliseconds : glutGet(GLUT_ELAPSED_TIME);
}

void driveElapsedMilliseconds(int milliseconds) {
    driven = true;
    drivenMilliseconds = milliseconds;
}

void releaseElapsedMilliseconds() {
    driven = false;
}
