#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Calls a task every interval on a thread of its own, so that however long the
// task takes, it never holds up the thread that started it.
class PeriodicThread {
public:
    PeriodicThread() = default;
    ~PeriodicThread();
    PeriodicThread(const PeriodicThread&) = delete;
    PeriodicThread& operator=(const PeriodicThread&) = delete;

    // The first call comes one interval from now. Starting again restarts it.
    void start(std::chrono::milliseconds interval, std::function<void()> task);
    // Returns once a call under way has ended; no call follows.
    void stop();

private:
    void run(std::chrono::milliseconds interval, const std::function<void()>& task);

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
};
