#include "clock/elapsed_time.h"

#include <chrono>
#include <optional>

namespace {

using Clock = std::chrono::steady_clock;

bool driven = false;
int drivenMilliseconds = 0;
std::optional<int> takenMilliseconds;

// Milliseconds since the first reading, kept to 32 bits as they wrap.
int runningClock() {
    static const Clock::time_point firstRead = Clock::now();
    const auto since =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - firstRead).count();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(since));
}

int readClock() {
    return driven ? drivenMilliseconds : runningClock();
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

std::int32_t millisecondsBetween(std::int32_t earlier, std::int32_t later) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(later) -
                                     static_cast<std::uint32_t>(earlier));
}
