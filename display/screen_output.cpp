#include "display/screen_output.h"

#include "frame/diagnostics.h"

namespace vexa {

namespace {

constexpr int kFrame = 400;

void drawVisible(ScreenOutput& out) {
    out.buffer.Draw(out.presenter, out.overlays, out.moveView, (kFrame - out.screenHeight) / 2,
                    (kFrame - out.screenWidth) / 2);
}

}  // namespace

void rotateScreen(ScreenOutput& out, const QImage& source, double angle) {
    const int W = out.screenWidth, H = out.screenHeight;
    out.log.setCurrentOperation("sb.CopyScreen Before\n");
    out.buffer.CopyScreen(source);
    out.log.setCurrentOperation("sb.CopyScreen After\n");
    out.log.setCurrentOperation("sb.sbrotate Before\n");
    out.buffer.sbrotate(angle, (kFrame - W) / 2, (kFrame - H) / 2, W + (kFrame - W) / 2,
                        H + (kFrame - H) / 2);
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

}  // namespace vexa
