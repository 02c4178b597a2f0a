// The drawing semaphore: count 1, maximum 1. Every map frame holds it while it composes.
// Unlike a mutex it may be released by a thread that does not hold it, which is how a frame
// that waited too long clears a stuck holder.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace vexa {

class DrawingSemaphore {
public:
    static constexpr int kTooManyPosts = 298;  // release while the count is at its maximum

    // Takes the count; false when `timeout` passed first.
    bool wait(std::chrono::milliseconds timeout);
    // Gives the count back: 0, or kTooManyPosts when it was not taken.
    int release();
    // Replaces the semaphore with a fresh one (count 1); returns the new handle number.
    unsigned recreate();
    unsigned handle() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable available_;
    int count_ = 1;
    unsigned handle_ = 1;
};

}  // namespace vexa
