// The one picture on its way from a drawing worker to the UI thread. A worker that draws
// faster than the UI shows replaces the picture still waiting instead of queueing another
// copy, so a replay holds at most one frame in flight however far the UI falls behind.
#pragma once

#include <QImage>

#include <mutex>
#include <optional>

namespace vexa {

class FrameMailbox {
public:
    // Leaves `image` as the pending picture (the newest wins). True when none was pending:
    // the caller then posts one hand-off to the UI thread, which takes it.
    bool put(QImage image) {
        std::lock_guard lock(mutex_);
        const bool wasEmpty = !pending_;
        pending_ = std::move(image);
        return wasEmpty;
    }

    std::optional<QImage> take() {
        std::lock_guard lock(mutex_);
        std::optional<QImage> image = std::move(pending_);
        pending_.reset();
        return image;
    }

private:
    std::mutex mutex_;
    std::optional<QImage> pending_;
};

}  // namespace vexa
