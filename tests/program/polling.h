#pragma once

#include <chrono>
#include <functional>

// Whole-program tests wait on a real game in real time: they look again every
// poll interval until what they wait for holds, and give up after a bounded time.
constexpr std::chrono::milliseconds kPollInterval{50};
constexpr std::chrono::milliseconds kLongestWait{10000};

// Checks `holds` at once and then every poll interval until it holds or
// `longest` has passed; whether it held.
bool waitUntil(const std::function<bool()>& holds,
               std::chrono::milliseconds longest = kLongestWait);
// Runs `look` at once and then every poll interval until `span` has passed.
void watchFor(std::chrono::milliseconds span, const std::function<void()>& look);
