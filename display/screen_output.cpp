#include "display/screen_output.h"

#include "util/diagnostic_text.h"

namespace vexa {

namespace {

// The buffer is the square frame; the window shows its middle.
void drawVisible(ScreenOutput& out) {
    const int side = out.buffer.height();
    out.buffer.Draw(out.presenter, out.overlays, out.moveView, (side - out.screenHeight) / 2,
                    (side - out.screenWidth) / 2);
}

}  // namespace

void rotateScreen(ScreenOutput& out, const QImage& source, double angle) {
    const int W = out.screenWidth, H = out.screenHeight, side = out.buffer.height();
    const int x0 = (side - W) / 2, y0 = (side - H) / 2;
    // The rotation reads the composed frame itself: no copy into the source buffer first.
    out.log.setCurrentOperation("sb.sbrotate Before\n");
    out.buffer.sbrotate(source, angle, x0, y0, W + x0, H + y0);
    out.log.setCurrentOperation("sb.sbrotate After\n");
    out.log.setCurrentOperation("sb.Draw Before\n");
    drawVisible(out);
    out.log.setCurrentOperation("sb.Draw After\n");
}

void Screen3D(ScreenOutput& out, const QImage& source, int moveDisplayMode, int P, bool fullScreen) {
    out.log.setCurrentOperation("Screen3D");
    out.log.setCurrentOperation("sb.CopyScreen Before\n");
    out.buffer.CopyScreen(source);
    out.log.setCurrentOperation("sb.CopyScreen After\n");
    out.log.setCurrentOperation("sb.sb3D Before\n");
    if (moveDisplayMode == 1) out.buffer.sb3D(Sb3DVariant::Normal, P, fullScreen);
    if (moveDisplayMode == 4) out.buffer.sb3D(Sb3DVariant::Landscape, P, fullScreen);
    if (moveDisplayMode == 7) out.buffer.sb3D(Sb3DVariant::UpsideDown, P, fullScreen);
    out.log.setCurrentOperation("sb.Draw Before\n");
    drawVisible(out);
}

ScreenOutput ScreenBufferTurner::fitted(const QImage& frame, const TurnedFrameTarget& target) {
    buffer_.Resize(frame.width(), frame.height());
    // Only the Move view is turned.
    return ScreenOutput{buffer_, target.presenter, target.overlays, target.log,
                        target.screenWidth, target.screenHeight, true};
}

void ScreenBufferTurner::showTurned(const QImage& frame, double angle, const TurnedFrameTarget& target) {
    ScreenOutput out = fitted(frame, target);
    rotateScreen(out, frame, angle);
}

void ScreenBufferTurner::show3D(const QImage& frame, int moveDisplayMode, int P, bool fullScreen,
                                const TurnedFrameTarget& target) {
    ScreenOutput out = fitted(frame, target);
    Screen3D(out, frame, moveDisplayMode, P, fullScreen);
}

}  // namespace vexa
