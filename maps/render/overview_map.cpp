#include <QPainter>
#include <QPolygon>

#include "frame/frame_state.h"
#include "maps/render/map_drawing.h"
#include "util/pixel_coordinate.h"
#include "util/text.h"

namespace vexa {

int show_KarteOV(MapFrameContext& ctx, QPainter& painter, const TrackPoint& position, int* resolution) {
    ctx.view.WantedResolution = -1;
    const int side = ctx.screen.side();
    painter.fillRect(QRect(0, 0, side, side), Qt::white);
    ctx.view.CurrentRow = 0;
    if (ctx.table.empty()) return 0;
    ctx.view.ShownResolution = ctx.table.rows[0].resolution;

    const double s = ctx.table.rows[0].resolution * 0.001 / ctx.frame.zoomFactor;
    const int half = side / 2;
    const QPen normalPen(Qt::black, 1);
    const QPen highlightPen(QColor(255, 0, 0), 3);
    int lastContaining = 0;
    for (int i = 0; i <= ctx.table.lastIndex(); ++i) {
        MapEntry& row = ctx.table.rows[static_cast<std::size_t>(i)];
        const double vr = ctx.frame.verticalRatio;
        const int x0 = pixelCoordinate((row.left - position.gridX) * s + half);
        const int y0 = pixelCoordinate(half - (row.top - position.gridY) * vr * s);
        const int w = pixelCoordinate((static_cast<double>(row.right) - row.left) * s / row.xStretch);
        const int h = pixelCoordinate((static_cast<double>(row.top) - row.bottom) * vr * s / row.xStretch);
        const bool calibrated = i == ctx.view.CalibrationRow;
        const bool centreInside = half >= x0 && half < x0 + w && half >= y0 && half < y0 + h;
        if (centreInside) {
            painter.setBrush(calibrated ? QColor(Qt::white) : QColor(kGrey));
            painter.setPen(highlightPen);
            row.containsPosition = 1;
            ctx.view.ShownResolution = row.resolution;
            lastContaining = i;
        } else {
            painter.setBrush(calibrated ? QColor(Qt::white) : QColor(kLightGrey));
            painter.setPen(normalPen);
            row.containsPosition = 0;
        }
        const QPolygon outline({QPoint(x0, y0), QPoint(x0 + w, y0), QPoint(x0 + w, y0 + h),
                                QPoint(x0, y0 + h)});
        painter.drawPolygon(outline);
    }
    if (!ctx.frame.replaying) {
        painter.setPen(Qt::black);
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.drawText(QRect(half - 5, half - 5, side, side), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromStdString(strprintf("%d", lastContaining)));
    }
    if (resolution) *resolution = ctx.view.ShownResolution;
    return lastContaining;
}

}  // namespace vexa
