#include "clock/elapsed_time.h"

#include <GL/glut.h>

#include <optional>

namespace {

bool driven = false;
int drivenMilliseconds = 0;
std::optional<int> takenMilliseconds;

int readClock() {
    return driven ? drivenMilliseconds : glutGet(GLUT_ELAPSED_TIME);
}

} // namespace

int elapsedMilliseconds() {
    if (driven || !takenMilliseconds) {
        return readClock();
    }
    return *takenMilliseconds;
}

int takeElapsedMilliseconds() {
    takenMilliseconds = readClock();
    return *takenMilliseconds;
}

void driveElapsedMilliseconds(int milliseconds) {
    driven = true;
    drivenMilliseconds = milliseconds;
}

void releaseElapsedMilliseconds() {
    driven = false;
    takenMilliseconds.reset();
}
