// Running work on the UI thread from any thread.
#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace vexa {

inline bool onUiThread() {
    return QCoreApplication::instance() &&
           QThread::currentThread() == QCoreApplication::instance()->thread();
}

// Runs `work` on the UI thread later, always queued: a caller that holds the state mutex
// never re-enters a handler. The work waits in a queue of VEXA's own, under a mutex, and the
// event Qt delivers to `context` only says that one is there: ThreadSanitizer cannot see the
// locks inside Qt (its libraries are not instrumented) and would take everything a queued call
// carries for a race, while the mutex shows the hand-off.
void postToUi(QObject* context, std::function<void()> work);

// Work that a worker thread waits for. It runs from the event loop, or earlier from the UI
// thread's wait for the state mutex: a worker that asks while holding that mutex would
// otherwise wait for a UI thread that waits for it.
void addWaitedUiCall(std::function<void()> call);
// Runs the waited-for calls not yet run (UI thread only); returns how many ran.
int runWaitedUiCalls();

// Runs `work` on the UI thread and returns its result. From a worker thread the call waits,
// but gives up with `fallback` once `abandon` turns true (the program is closing and the UI
// thread is joining that worker); the work then does nothing when it finally runs.
template <class R, class F>
R callOnUi(QObject* context, const std::atomic<bool>& abandon, R fallback, F work) {
    if (onUiThread()) return work();
    struct Call {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<R> result;
        bool abandoned = false;
        bool started = false;
    };
    auto call = std::make_shared<Call>();
    addWaitedUiCall([call, work]() mutable {
        {
            std::lock_guard lock(call->mutex);
            if (call->abandoned || call->started) return;
            call->started = true;
        }
        R r = work();
        std::lock_guard lock(call->mutex);
        call->result = std::move(r);
        call->done.notify_all();
    });
    QMetaObject::invokeMethod(context, [] { runWaitedUiCalls(); }, Qt::QueuedConnection);
    std::unique_lock lock(call->mutex);
    while (!call->result) {
        if (abandon.load() && !call->started) {
            call->abandoned = true;
            return fallback;
        }
        call->done.wait_for(lock, std::chrono::milliseconds(50));
    }
    return std::move(*call->result);
}

}  // namespace vexa
