#include <cmath>

#include <QPainter>
#include <QPolygon>

#include "frame/frame_state.h"
#include "geo/datum.h"
#include "maps/render/map_drawing.h"

namespace vexa {

namespace {

// The eight tap-zone marks around the middle; the bottom ones move down in full screen.
void drawTapMarks(QPainter& painter, bool fullScreen) {
    const int cx = kBufferSize / 2, cy = kBufferSize / 2;
    const int d = fullScreen ? 20 : 0;
    const QPolygon marks[] = {
        QPolygon({QPoint(320, cy), QPoint(310, cy - 10), QPoint(310, cy + 10)}),
        QPolygon({QPoint(80, cy), QPoint(90, cy - 10), QPoint(90, cy + 10)}),
        QPolygon({QPoint(cx - 10, 65), QPoint(cx + 10, 65), QPoint(cx, 55)}),
        QPolygon({QPoint(cx - 10, 290 + d), QPoint(cx + 10, 290 + d), QPoint(cx, 300 + d)}),
        QPolygon({QPoint(320, 290 + d), QPoint(320, 310 + d), QPoint(300, 310 + d)}),
        QPolygon({QPoint(80, 290 + d), QPoint(80, 310 + d), QPoint(100, 310 + d)}),
        QPolygon({QPoint(320, 60), QPoint(320, 40), QPoint(300, 40)}),
        QPolygon({QPoint(80, 60), QPoint(80, 40), QPoint(100, 40)}),
    };
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kTapMarkColour));
    for (const QPolygon& mark : marks) painter.drawPolygon(mark);
}

QColor arrowFill(const MapFrameContext& ctx) {
    QColor fill = Qt::white;
    if (!ctx.gps.hasFix() && !ctx.frame.replaying) fill = Qt::black;
    if (ctx.frame.replayPaused) fill = QColor(kGrey);
    if (ctx.frame.calibrating) fill = QColor(kCalibrationColour);
    return fill;
}

}  // namespace

void show_fadenkreuz(MapFrameContext& ctx, QPainter& painter, float course) {
    const int cx = kBufferSize / 2, cy = kBufferSize / 2;
    const DisplayMode mode = ctx.frame.displayMode;
    if (mode == DisplayMode::Karte) {
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(0, cy, kBufferSize, cy);
        painter.drawLine(cx, 0, cx, kBufferSize);
        drawTapMarks(painter, ctx.screen.fullScreen);
    }
    if (mode == DisplayMode::Move) {
        const double a = course * kDegToRad;
        const double side = 6.666666666666666;
        const QPolygon arrow({
            QPoint(static_cast<int>(cx + 20 * std::sin(a)), static_cast<int>(cy - 20 * std::cos(a))),
            QPoint(static_cast<int>(cx - side * std::cos(a)), static_cast<int>(cy - side * std::sin(a))),
            QPoint(static_cast<int>(cx + side * std::cos(a)), static_cast<int>(cy + side * std::sin(a))),
        });
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(arrowFill(ctx));
        painter.drawPolygon(arrow);
    }
    if (mode == DisplayMode::Karte) {
        painter.setPen(QPen(Qt::black, 1));
        if (ctx.view.CalibrationRow >= 0)
            painter.setBrush(QColor(kCalibrationColour));
        else
            painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPoint(cx, cy), 20, 20);
    }
}

}  // namespace vexa
