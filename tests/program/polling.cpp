#include "polling.h"

#include <thread>

bool waitUntil(const std::function<bool()>& holds, std::chrono::milliseconds longest) {
    const auto deadline = std::chrono::steady_clock::now() + longest;
    while (!holds()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

void watchFor(std::chrono::milliseconds span, const std::function<void()>& look) {
    waitUntil(
        [&] {
            look();
            return false;
        },
        span);
}
