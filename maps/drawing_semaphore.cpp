#include "maps/drawing_semaphore.h"

namespace vexa {

bool DrawingSemaphore::wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!available_.wait_for(lock, timeout, [this] { return count_ > 0; })) return false;
    --count_;
    return true;
}

int DrawingSemaphore::release() {
    {
        std::lock_guard lock(mutex_);
        if (count_ >= 1) return kTooManyPosts;
        ++count_;
    }
    available_.notify_one();
    return 0;
}

unsigned DrawingSemaphore::recreate() {
    unsigned handle;
    {
        std::lock_guard lock(mutex_);
        count_ = 1;
        handle = ++handle_;
    }
    available_.notify_all();
    return handle;
}

unsigned DrawingSemaphore::handle() const {
    std::lock_guard lock(mutex_);
    return handle_;
}

}  // namespace vexa
