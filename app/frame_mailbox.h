// The one picture on its way from a drawing worker to the UI thread. A worker that draws
// faster than the UI shows replaces the picture still waiting instead of queueing another
// copy, so a replay holds at most one frame in flight however far the UI falls behind. A
// picture the UI has done with (or one replaced unseen) comes back as the spare the next
// frame draws into, so frames reuse a few screen-sized pictures instead of copying each.
#pragma once

#include <QImage>

#include <mutex>
#include <optional>
#include <utility>

namespace vexa {

class FrameMailbox {
public:
    // Leaves `image` as the pending picture (the newest wins). True when none was pending:
    // the caller then posts one hand-off to the UI thread, which takes it.
    bool put(QImage image) {
        std::lock_guard lock(mutex_);
        const bool wasEmpty = !pending_;
        if (pending_) spare_ = std::move(*pending_);
        pending_ = std::move(image);
        return wasEmpty;
    }

    void giveBack(QImage image) {
        std::lock_guard lock(mutex_);
        spare_ = std::move(image);
    }

    // The spare when it has `size`, else a null picture; a spare of another size is let go.
    QImage spare(QSize size) {
        std::lock_guard lock(mutex_);
        QImage spare = std::exchange(spare_, QImage());
        if (spare.size() != size) return {};
        return spare;
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
    QImage spare_;
};

}  // namespace vexa
