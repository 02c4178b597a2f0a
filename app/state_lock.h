// The state mutex as the UI thread holds it. While it waits or holds, the window knows it,
// so that a command reached through a nested event loop waits its turn instead of locking a
// second time. While waiting it answers the workers' waited-for calls (a message box asked
// for by a worker that holds the mutex).
#pragma once

#include <chrono>
#include <mutex>
#include <thread>

#include "app/ui_thread.h"

namespace vexa {

class StateLock {
public:
    StateLock(std::mutex& mutex, bool& heldFlag) : mutex_(mutex), held_(heldFlag) {
        held_ = true;
        // The worker takes the mutex per sentence and gives it up only briefly in between, so
        // the wait polls: first by yielding, then with short sleeps.
        for (int attempt = 0; !mutex_.try_lock(); ++attempt) {
            if (runWaitedUiCalls() > 0) continue;
            if (attempt < 2000) std::this_thread::yield();
            else std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
    }
    ~StateLock() {
        mutex_.unlock();
        held_ = false;
    }
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;

private:
    std::mutex& mutex_;
    bool& held_;
};

}  // namespace vexa
