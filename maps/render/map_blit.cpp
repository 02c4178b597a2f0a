#include <QPainter>

#include "frame/frame_state.h"
#include "geo/grid.h"
#include "maps/map_selection.h"
#include "maps/render/map_drawing.h"
#include "util/pixel_coordinate.h"

namespace vexa {

void show_karte_pos(MapFrameContext& ctx, QPainter& painter, const TrackPoint& position, int rowIndex) {
    const MapEntry& row = ctx.table.rows.at(static_cast<std::size_t>(rowIndex));
    if (!ctx.canvas.images.loaded(rowIndex)) return;
    const QImage& bitmap = ctx.canvas.images.image(rowIndex);
    const double r = row.resolution;
    const double zoom = ctx.frame.zoomFactor;
    const int side = ctx.screen.side();
    ctx.frame.verticalRatio = row.xStretch;

    const int srcX = pixelCoordinate((position.gridX - row.left) * r * 0.001 - side * zoom * 0.5);
    const int srcY = pixelCoordinate((row.top - position.gridY) * r * ctx.frame.verticalRatio * 0.001 -
                                     side * zoom * 0.5);
    if (rowContainsPoint(row, GridPoint{position.gridX, position.gridY})) ctx.view.CurrentRow = rowIndex;

    // Only the part of the source rectangle that lies on the bitmap is drawn.
    const int srcSize = zoom == 1.0 ? side : pixelCoordinate(side * zoom);
    if (srcSize <= 0) return;
    const QRect source(srcX, srcY, srcSize, srcSize);
    const QRect onBitmap = source.intersected(bitmap.rect());
    if (onBitmap.isEmpty()) return;
    if (zoom == 1.0) {
        painter.drawImage(onBitmap.topLeft() - source.topLeft(), bitmap, onBitmap);
        return;
    }
    const double scale = static_cast<double>(side) / srcSize;
    const QRectF target((onBitmap.x() - srcX) * scale, (onBitmap.y() - srcY) * scale,
                        onBitmap.width() * scale, onBitmap.height() * scale);
    painter.drawImage(target, bitmap, QRectF(onBitmap));
}

void Init_hdcCompGray(MapCanvas& canvas, int width, int height) {
    canvas.grey = QImage(width, height, QImage::Format_RGB32);
    canvas.grey.fill(kLightGrey);
}

}  // namespace vexa
