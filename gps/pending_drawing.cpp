#include "gps/pending_drawing.h"

#include <utility>

#include "frame/frame_state.h"

namespace vexa {

PendingDrawing::PendingDrawing(GpsViews& target, const FrameState& frame, std::function<void()> wake)
    : target_(target), frame_(frame), wake_(std::move(wake)) {}

void PendingDrawing::wakeOnce() {
    if (std::exchange(woken_, true)) return;
    wake_();
}

void PendingDrawing::show_pos(const PositionFrame& frame) {
    move_ = frame;
    moveElapsed_.assign(frame.elapsedText);
    movePending_ = true;
    textPending_ = false;  // the new frame covers a status line written over the last one
    wakeOnce();
}

void PendingDrawing::ShowGps() {
    gpsPending_ = true;
    wakeOnce();
}

void PendingDrawing::DrawMoveText(std::string_view text) {
    text_.assign(text);
    textPending_ = true;
    wakeOnce();
}

void PendingDrawing::drawPending() {
    woken_ = false;
    const DisplayMode mode = frame_.displayMode.load();
    if (std::exchange(movePending_, false) && mode == DisplayMode::Move) {
        move_.elapsedText = moveElapsed_.view();
        target_.show_pos(move_);
    }
    if (std::exchange(gpsPending_, false) && mode == DisplayMode::Gps) target_.ShowGps();
    if (std::exchange(textPending_, false)) target_.DrawMoveText(text_);
}

}  // namespace vexa
