// Showing the composed frame turned or in 3D through the screen buffer.
#pragma once

#include <QImage>

#include "display/screen_buffer.h"
#include "maps/render/frame_interfaces.h"

namespace vexa {

// What the output steps need besides the buffer.
struct ScreenOutput {
    CSTScreenBuffer& buffer;
    FramePresenter& presenter;
    FrameOverlays& overlays;
    DiagnosticText& log;     // the step names go to the current-operation text
    int screenWidth;         // the visible middle of the square frame (the buffer)
    int screenHeight;
    bool moveView;
};

// Rotates the visible middle of `source` by `angle` degrees and shows it.
void rotateScreen(ScreenOutput& out, const QImage& source, double angle);

// Shows `source` as a 3D view; moveDisplayMode 1, 4 or 7 picks the variant.
void Screen3D(ScreenOutput& out, const QImage& source, int moveDisplayMode, int P, bool fullScreen);

// The map frame's turned and 3D Move views, made in `buffer`, which first takes the frame's
// size.
class ScreenBufferTurner final : public FrameTurner {
public:
    explicit ScreenBufferTurner(CSTScreenBuffer& buffer) : buffer_(buffer) {}
    void showTurned(const QImage& frame, double angle, const TurnedFrameTarget& target) override;
    void show3D(const QImage& frame, int moveDisplayMode, int P, bool fullScreen,
                const TurnedFrameTarget& target) override;

private:
    ScreenOutput fitted(const QImage& frame, const TurnedFrameTarget& target);

    CSTScreenBuffer& buffer_;
};

}  // namespace vexa
