// Showing the composed frame turned or in 3D, as a screen-sized picture.
#pragma once

#include <QImage>

#include "maps/render/frame_interfaces.h"

namespace vexa {

// The map frame's turned and 3D Move views. The turned view comes composed at the screen's
// size, or, for a screen copy, is resampled from the frame straight into the screen-sized
// picture; the 3D view is resampled from the band of the frame it reads.
class ScreenBufferTurner final : public FrameTurner {
public:
    void showTurned(const QImage& frame, double angle, const TurnedFrameTarget& target) override;
    void showScreen(QImage& screen, int frameSide, const TurnedFrameTarget& target) override;
    void show3D(const QImage& band, QPoint origin, const View3D& view, const TurnedFrameTarget& target) override;

private:
    // The info panel and the replay buttons over the picture, which then goes to the window.
    void show(QImage& picture, const TurnedFrameTarget& target, int frameSide);
};

}  // namespace vexa
