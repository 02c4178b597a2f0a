#include <QPainter>
#include <QPolygon>

#include "frame/frame_state.h"
#include "frame/move_display.h"
#include "geo/distance.h"
#include "geo/grid_context.h"
#include "maps/render/map_drawing.h"
#include "maps/render/map_view_layout.h"
#include "util/text.h"

namespace vexa {

void DrawScale(MapFrameContext& ctx, QPainter& painter, const TrackPoint& position) {
    if (!ctx.table.empty() || ctx.frame.mapScale == 0) return;
    const bool shifted = orientationOf(ctx.frame.moveDisplayMode) == Orientation::Landscape;
    const bool karte = ctx.frame.displayMode == DisplayMode::Karte;
    const QRect v = ctx.screen.visible();
    const int textHeight = painter.fontMetrics().height();
    const ScaleBarPlace place = scaleBarPlace(ctx.screen.size(), karte, shifted, ctx.infoLineHeight, textHeight);
    const int y = v.top() + place.y;
    const int x0 = v.left() + place.x0;
    const int x1 = v.left() + place.x1;

    const double widthUnits = ctx.screen.width * ctx.frame.zoomFactor / ctx.frame.mapScale;
    double km = widthUnits;
    if (ctx.grid.PlateCarreeGrid) {
        // Plate carrée: 1000 grid units are 0.1 degree, so the screen spans widthUnits / 10
        // degrees of longitude.
        km = distance(position.lat, position.lon, position.lat, position.lon + widthUnits / 10.0) * 0.001;
    }

    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(QPolygon({QPoint(x0, y - 1), QPoint(x1, y - 1), QPoint(x1, y + 1), QPoint(x0, y + 1)}));
    painter.drawPolyline(QPolygon({QPoint(x0 + 6, y - 5), QPoint(x0, y), QPoint(x0 + 6, y + 5)}));
    painter.drawPolyline(QPolygon({QPoint(x1 - 6, y - 5), QPoint(x1, y), QPoint(x1 - 6, y + 5)}));

    painter.setBackgroundMode(Qt::TransparentMode);
    const QString label = QString::fromStdString(strprintf("%0.1f km", km));
    painter.drawText(QRect(v.left() + place.labelLeft, y - 2 - textHeight, v.width(), textHeight),
                     Qt::AlignLeft | Qt::AlignBottom, label);
}

}  // namespace vexa
