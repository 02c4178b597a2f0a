#include "display/replay_thread.h"

#include <system_error>

namespace vexa {

ReplayThread::~ReplayThread() {
    stopRequested_ = true;
    setPaused(false);
    if (thread_.joinable()) thread_.join();
}

bool ReplayThread::start(Steps steps) {
    if (running_.load()) return false;
    if (thread_.joinable()) thread_.join();  // ended by itself
    {
        std::lock_guard lock(mutex_);
        done_ = false;
    }
    stopRequested_ = false;
    paused_ = false;
    position_ = -1;
    running_ = true;
    try {
        thread_ = std::thread(&ReplayThread::run, this, std::move(steps));
    } catch (const std::system_error& e) {
        startError_ = e.code().value();
        running_ = false;
        std::lock_guard lock(mutex_);
        done_ = true;
        return false;
    }
    return true;
}

void ReplayThread::setPaused(bool paused) {
    {
        std::lock_guard lock(mutex_);
        paused_ = paused;
    }
    cv_.notify_all();
}

bool ReplayThread::stop(std::chrono::milliseconds wait) {
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = true;
        paused_ = false;
    }
    cv_.notify_all();
    std::unique_lock lock(mutex_);
    if (!cv_.wait_for(lock, wait, [this] { return done_; })) return false;
    lock.unlock();
    if (thread_.joinable()) thread_.join();
    return true;
}

void ReplayThread::run(Steps steps) {
    int passed = -1;  // indices passed since the last shown point; −1 before the first
    for (int index : steps.indices) {
        if (passed >= 0 && steps.stride && ++passed < steps.stride()) continue;
        passed = 0;
        {
            std::unique_lock lock(mutex_);
            cv_.wait(lock, [this] { return !paused_.load() || stopRequested_.load(); });
        }
        position_ = index;
        steps.showStep(index);
        if (stopRequested_.load()) break;
        if (steps.between) steps.between();
    }
    if (steps.finished) steps.finished();
    running_ = false;
    {
        std::lock_guard lock(mutex_);
        done_ = true;
    }
    cv_.notify_all();
}

}  // namespace vexa
