#include "audio/periodic_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using std::chrono::milliseconds;

TEST(PeriodicThread, CallsItsTaskAgainAndAgainUntilStopped) {
    std::atomic<int> calls{0};
    PeriodicThread thread;
    thread.start(milliseconds(1), [&] { ++calls; });
    for (int wait = 0; wait < 5000 && calls < 3; ++wait) {
        std::this_thread::sleep_for(milliseconds(1));
    }
    thread.stop();
    const int callsWhenStopped = calls;

    EXPECT_GE(callsWhenStopped, 3);
    thread.stop(); // a second stop does nothing
    EXPECT_EQ(calls, callsWhenStopped);
}

// The mixer's watch runs every quarter second; closing the mixer must not wait for it.
TEST(PeriodicThread, StopsAtOnceInTheMiddleOfAnInterval) {
    int calls = 0;
    PeriodicThread thread;
    thread.start(std::chrono::hours(1), [&] { ++calls; });
    const auto stopping = std::chrono::steady_clock::now();
    thread.stop();

    EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::seconds(1));
    EXPECT_EQ(calls, 0);
}
