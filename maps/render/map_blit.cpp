#include <vector>

#include <QPainter>

#include "frame/frame_state.h"
#include "geo/grid.h"
#include "maps/map_selection.h"
#include "maps/render/map_drawing.h"
#include "maps/render/window_turn.h"
#include "util/pixel_coordinate.h"

namespace vexa {

namespace {

// The bitmap column that a scaled drawImage of bitmap columns [first, first + count) onto frame
// columns [targetStart, targetStart + targetCount), clipped to frame columns [clipStart,
// clipEnd), shows in each frame column 0 … side − 1, or −1: found by drawing a ramp of column
// numbers that way. Rows go the same way along the other axis; the turned view thus samples
// the maps exactly where the unturned frame does.
std::vector<int> scaledColumns(int side, int first, int count, double targetStart, double targetCount, int clipStart,
                               int clipEnd) {
    QImage ramp(first + count, 1, QImage::Format_RGB32);
    QRgb* numbers = reinterpret_cast<QRgb*>(ramp.scanLine(0));
    for (int i = 0; i < ramp.width(); ++i) numbers[i] = 0xff000000u | static_cast<QRgb>(i);
    constexpr QRgb kNone = 0xffffffffu;
    QImage drawn(side, 1, QImage::Format_RGB32);
    drawn.fill(kNone);
    {
        QPainter painter(&drawn);
        painter.setClipRect(QRect(clipStart, 0, clipEnd - clipStart, 1));
        painter.drawImage(QRectF(targetStart, 0, targetCount, 1), ramp, QRectF(first, 0, count, 1));
    }
    std::vector<int> columns(static_cast<std::size_t>(side));
    const QRgb* shown = reinterpret_cast<const QRgb*>(drawn.constScanLine(0));
    for (int x = 0; x < side; ++x)
        columns[static_cast<std::size_t>(x)] = shown[x] == kNone ? -1 : static_cast<int>(shown[x] & 0xffffffu);
    return columns;
}

// The map drawn through the turn onto the screen picture, as the unturned frame would hold it.
void drawTurned(const MapFrameContext& ctx, const QImage& bitmap, const QRect& source, const QRect& onBitmap) {
    const QRect& maps = ctx.canvas.turnedMaps;
    if (source.width() == ctx.screen.side()) {
        ctx.canvas.turn->draw(ctx.canvas.buffer, bitmap, source.topLeft(), maps);
        return;
    }
    const double scale = static_cast<double>(ctx.screen.side()) / source.width();
    const int side = ctx.screen.side();
    const std::vector<int> columns =
        scaledColumns(side, onBitmap.x(), onBitmap.width(), (onBitmap.x() - source.x()) * scale,
                      onBitmap.width() * scale, maps.left(), maps.right() + 1);
    const std::vector<int> rows =
        scaledColumns(side, onBitmap.y(), onBitmap.height(), (onBitmap.y() - source.y()) * scale,
                      onBitmap.height() * scale, maps.top(), maps.bottom() + 1);
    ctx.canvas.turn->draw(ctx.canvas.buffer, bitmap, columns, rows);
}

}  // namespace

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
    if (ctx.canvas.turn) {
        drawTurned(ctx, bitmap, source, onBitmap);
        return;
    }
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
