// The thread that plays the trace or the route continuously, with pause and stop.
//
// Each step runs `showStep(index)`, which takes the application's state mutex for the
// frame it draws (as the GPS reader does per sentence), so the two threads never run over the
// route, trace and GPS records at the same time. Pause blocks before the next point; a stop
// wakes a paused thread, which then ends after at most one more point.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace vexa {

class ReplayThread {
public:
    struct Steps {
        std::vector<int> indices;
        // How many indices lead from one shown point to the next, asked before each index, so
        // that a running replay can be made to skip more; every index when not given.
        std::function<int()> stride;
        std::function<void(int index)> showStep;  // one point (with its sub-steps)
        std::function<void()> between;            // after a point: pacing, keeping awake
        std::function<void()> finished;           // on the replay thread, at the end
    };

    ReplayThread() = default;
    ReplayThread(const ReplayThread&) = delete;
    ReplayThread& operator=(const ReplayThread&) = delete;
    ~ReplayThread();

    // Starts a replay; false while one still runs (or could not be started).
    bool start(Steps steps);
    bool running() const { return running_.load(); }
    bool paused() const { return paused_.load(); }
    // Pausing takes effect before the next point; resuming releases it.
    void setPaused(bool paused);
    // Asks the thread to end and waits at most `wait` for it; true when it has ended and been
    // joined. A thread still inside a step is joined by a later stop or the destructor.
    bool stop(std::chrono::milliseconds wait);
    // The point the thread shows now, −1 before the first.
    int position() const { return position_.load(); }
    // The system error of the last failed start.
    int startError() const { return startError_; }

private:
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::atomic<bool> running_{false};
    std::atomic<bool> paused_{false};
    std::atomic<bool> stopRequested_{false};
    std::atomic<int> position_{-1};
    bool done_ = true;  // guarded by mutex_
    int startError_ = 0;

    void run(Steps steps);
};

}  // namespace vexa
