#include "app/ui_thread.h"

#include <QPointer>

#include <deque>

namespace vexa {

namespace {

std::mutex& callsMutex() {
    static std::mutex mutex;
    return mutex;
}

std::deque<std::function<void()>>& calls() {
    static std::deque<std::function<void()>> pending;
    return pending;
}

struct PostedCall {
    QPointer<QObject> context;  // null once the context is destroyed
    std::function<void()> work;
};

std::mutex& postedMutex() {
    static std::mutex mutex;
    return mutex;
}

std::deque<PostedCall>& posted() {
    static std::deque<PostedCall> pending;
    return pending;
}

// Runs the oldest call whose context still exists. Qt delivers one event per call in the
// order they were posted and drops those of a destroyed context, whose calls are skipped here.
// The event carries nothing: a capture would be read from memory Qt filled in the posting
// thread, a hand-off the sanitizer cannot see.
void runPostedCall() {
    std::function<void()> work;
    {
        std::lock_guard lock(postedMutex());
        auto& queue = posted();
        while (!queue.empty() && !queue.front().context) queue.pop_front();
        if (queue.empty()) return;
        work = std::move(queue.front().work);
        queue.pop_front();
    }
    work();
}

}  // namespace

void postToUi(QObject* context, std::function<void()> work) {
    {
        std::lock_guard lock(postedMutex());
        posted().push_back({context, std::move(work)});
    }
    QMetaObject::invokeMethod(context, [] { runPostedCall(); }, Qt::QueuedConnection);
}

void addWaitedUiCall(std::function<void()> call) {
    std::lock_guard lock(callsMutex());
    calls().push_back(std::move(call));
}

int runWaitedUiCalls() {
    int ran = 0;
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard lock(callsMutex());
            if (calls().empty()) return ran;
            call = std::move(calls().front());
            calls().pop_front();
        }
        call();
        ++ran;
    }
}

}  // namespace vexa
