#include "display/screen_output.h"

#include <QPainter>

#include "frame/screen_size.h"
#include "maps/render/view_3d.h"
#include "maps/render/window_turn.h"
#include "util/diagnostic_text.h"

namespace vexa {

namespace {

QImage screenPicture(const TurnedFrameTarget& target) {
    return target.presenter.pictureToDrawInto(QSize(target.screenWidth, target.screenHeight));
}

}  // namespace

void ScreenBufferTurner::show(QImage& picture, const TurnedFrameTarget& target, int frameSide) {
    target.log.setCurrentOperation("sb.Draw Before\n");
    {
        QPainter painter(&picture);
        // The info panel is laid out in the square frame's pixels, the buttons in the window's.
        painter.translate(-(frameSide - target.screenWidth) / 2, -(frameSide - target.screenHeight) / 2);
        target.overlays.drawInfoPanel(painter, target.readings);
        painter.resetTransform();
        if (target.replayButtons) target.overlays.drawReplayButtons(painter);
    }
    target.presenter.present(picture, picture.rect());
}

void ScreenBufferTurner::showTurned(const QImage& frame, double angle, const TurnedFrameTarget& target) {
    QImage screen = screenPicture(target);
    target.log.setCurrentOperation("sb.sbrotate Before\n");
    turnWindow(frame, angle, screen);
    target.log.setCurrentOperation("sb.sbrotate After\n");
    show(screen, target, frame.width());
    target.log.setCurrentOperation("sb.Draw After\n");
}

void ScreenBufferTurner::showScreen(QImage& screen, int frameSide, const TurnedFrameTarget& target) {
    show(screen, target, frameSide);
    target.log.setCurrentOperation("sb.Draw After\n");
}

void ScreenBufferTurner::show3D(const QImage& band, QPoint origin, const View3D& view,
                                const TurnedFrameTarget& target) {
    QImage screen = screenPicture(target);
    target.log.setCurrentOperation("Screen3D");
    target.log.setCurrentOperation("sb.sb3D Before\n");
    const ScreenSize size{target.screenWidth, target.screenHeight};
    view.draw(band, origin, QRect(size.left(), size.top(), size.width, size.height), screen);
    show(screen, target, view.side());
}

}  // namespace vexa
