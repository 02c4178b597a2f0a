#include <cmath>

#include <QPainter>
#include <QPolygon>

#include "frame/frame_state.h"
#include "geo/datum.h"
#include "maps/render/map_view_layout.h"
#include "maps/render/map_drawing.h"

namespace vexa {

namespace {

// The eight tap-zone marks at the edges of the visible screen.
void drawTapMarks(QPainter& painter, const ScreenGeometry& screen) {
    const QPoint origin = screen.visible().topLeft();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(kTapMarkColour));
    for (const EdgeArrow& arrow : edgeArrows(screen.size(), screen.fullScreen))
        painter.drawPolygon(arrow.mark.translated(origin));
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
    const int side = ctx.screen.side();
    const int cx = side / 2, cy = side / 2;
    const DisplayMode mode = ctx.frame.displayMode;
    if (mode == DisplayMode::Karte) {
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(0, cy, side, cy);
        painter.drawLine(cx, 0, cx, side);
        drawTapMarks(painter, ctx.screen);
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
