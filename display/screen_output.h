// Showing the composed frame turned or in 3D, as a screen-sized picture.
#pragma once

#include <QImage>

#include "display/screen_buffer.h"
#include "maps/render/frame_interfaces.h"

namespace vexa {

// The map frame's turned and 3D Move views. The turned view comes composed at the screen's
// size, or, for a screen copy, is resampled from the frame straight into the screen-sized
// picture; the 3D view goes through `buffer`, which first takes the frame's size.
class ScreenBufferTurner final : public FrameTurner {
public:
    explicit ScreenBufferTurner(CSTScreenBuffer& buffer) : buffer_(buffer) {}
    void showTurned(const QImage& frame, double angle, const TurnedFrameTarget& target) override;
    void showScreen(QImage& screen, int frameSide, const TurnedFrameTarget& target) override;
    void show3D(const QImage& frame, int moveDisplayMode, int P, bool fullScreen,
                const TurnedFrameTarget& target) override;

private:
    // The info panel and the replay buttons over the picture, which then goes to the window.
    void show(QImage& picture, const TurnedFrameTarget& target, int frameSide);

    CSTScreenBuffer& buffer_;
};

}  // namespace vexa
