#include "platform/desktop/periodic_thread.h"

#include <utility>

PeriodicThread::~PeriodicThread() {
    stop();
}

void PeriodicThread::start(std::chrono::milliseconds interval, std::function<void()> task) {
    stop();
    stopping_ = false;
    thread_ = std::thread([this, interval, task = std::move(task)] { run(interval, task); });
}

void PeriodicThread::stop() {
    if (!thread_.joinable()) {
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void PeriodicThread::run(std::chrono::milliseconds interval, const std::function<void()>& task) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!wake_.wait_for(lock, interval, [this] { return stopping_; })) {
        lock.unlock();
        task();
        lock.lock();
    }
}
