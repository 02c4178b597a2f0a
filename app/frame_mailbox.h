// The one picture on its way from a drawing worker to the UI thread. A worker that draws
// faster than the UI shows replaces the picture still waiting instead of queueing another
// copy, so a replay holds at most one frame in flight however far the UI falls behind. A
// picture the UI has done with (or one replaced unseen) comes back as the spare the next
// frame draws into, so frames reuse a few screen-sized pictures instead of copying each.
//
// A worker does not even start a frame while one still waits: it leaves the drawing here
// instead (the newest wins), and the UI thread draws it once it has taken the waiting one,
// into the picture it gave back. So two screen-sized pictures suffice: the one shown and the
// one being drawn or waiting.
#pragma once

#include <QImage>

#include <functional>
#include <mutex>
#include <optional>
#include <utility>

namespace vexa {

class FrameMailbox {
public:
    // Leaves `image` as the pending picture (the newest wins). A drawing left for later is
    // dropped: it asked for an older state than the one this picture was drawn from. True
    // when none was pending: the caller then posts one hand-off to the UI thread, which takes it.
    bool put(QImage image) {
        std::lock_guard lock(mutex_);
        const bool wasEmpty = !pending_;
        if (pending_) spare_ = std::move(*pending_);
        pending_ = std::move(image);
        later_ = nullptr;
        return wasEmpty;
    }

    // While a picture is pending, keeps `draw` (replacing one kept before) for the UI thread
    // to run once it has taken that picture; false when none is pending: the caller draws now.
    bool drawAfterPending(std::function<void()> draw) {
        std::lock_guard lock(mutex_);
        if (!pending_) return false;
        later_ = std::move(draw);
        return true;
    }

    bool hasPending() {
        std::lock_guard lock(mutex_);
        return pending_.has_value();
    }

    bool hasDrawingLeft() {
        std::lock_guard lock(mutex_);
        return static_cast<bool>(later_);
    }

    // The drawing left for later, once no picture is pending any more; while one is, its own
    // hand-off runs it. Taken and run under the state mutex, so that no newer frame starts
    // in between.
    std::function<void()> drawingLeft() {
        std::lock_guard lock(mutex_);
        if (pending_) return nullptr;
        return std::exchange(later_, nullptr);
    }

    void giveBack(QImage image) {
        std::lock_guard lock(mutex_);
        spare_ = std::move(image);
    }

    // The spare when it has `size`, else a null picture; a spare of another size is let go.
    // A frame that will replace the pending one (the UI thread's, drawn at once) takes the
    // pending picture too: it is let go unseen, or drawn into when no spare has `size`.
    QImage spare(QSize size, bool replacesPending) {
        std::lock_guard lock(mutex_);
        QImage spare = std::exchange(spare_, QImage());
        if (replacesPending && pending_) {
            if (spare.size() != size) spare = std::move(*pending_);
            pending_.reset();
        }
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
    std::function<void()> later_;
};

}  // namespace vexa
