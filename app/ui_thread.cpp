#include "app/ui_thread.h"

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

}  // namespace

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
