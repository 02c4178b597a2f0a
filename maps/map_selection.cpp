#include "maps/map_selection.h"

#include <cmath>

#include "frame/frame_state.h"
#include "geo/grid_context.h"

namespace vexa {

namespace {

bool inViewAt(const MapEntry& row, GridPoint p, double zoom, int width, int height) {
    const double halfWidth = width * zoom * 1000.0 / (2.0 * row.resolution);
    const double halfHeight = height * zoom * 1000.0 / (2.0 * row.resolution);
    return p.easting >= static_cast<double>(row.left) - halfWidth &&
           p.easting <= static_cast<double>(row.right) + halfWidth &&
           p.northing >= static_cast<double>(row.bottom) - halfHeight &&
           p.northing <= static_cast<double>(row.top) + halfHeight;
}

bool containsAt(const MapTable& table, int row, const FrameState& frame, const GridContext& grid,
                GridPoint p, int width, int height) {
    if (grid.PlateCarreeGrid) return plateCarreeHit(table, row, frame, p, width, height);
    return rowContainsPoint(table.rows[static_cast<std::size_t>(row)], p);
}

// The highest row index at or below the last whose resolution is not above `limit`; row 0
// when all are above it.
int startRowAtOrBelow(const MapTable& table, int limit) {
    int start = table.lastIndex();
    while (start >= 0 && table.rows[static_cast<std::size_t>(start)].resolution > limit) --start;
    return start < 0 ? 0 : start;
}

}  // namespace

void applyZoomCommand(FrameState& frame, int commandId) {
    if (commandId == kCmdZoomIn) frame.zoomFactor *= 0.75;
    if (commandId == kCmdZoomOut) frame.zoomFactor *= 1.3333333333333333;
    if (commandId == kCmdZoomReset) frame.zoomFactor = 1.0;
}

// Whole grid units, truncated toward zero, compared in double: a position or an edge may lie
// beyond the range of int.
bool rowContainsPoint(const MapEntry& row, GridPoint p) {
    const double x = std::trunc(p.easting);
    const double y = std::trunc(p.northing);
    return x >= std::trunc(row.left) && x < std::trunc(row.right) && y >= std::trunc(row.bottom) &&
           y < std::trunc(row.top);
}

bool plateCarreeHit(const MapTable& table, int i, const FrameState& frame, GridPoint p, int width,
                    int height) {
    const MapEntry& row = table.rows[static_cast<std::size_t>(i)];
    const double s = table.rows[0].resolution * 0.001 / frame.zoomFactor;
    const int halfW = width / 2;
    const int halfH = height / 2;
    const double stretch = row.xStretch;
    const double x0 = (row.left - p.easting) * s + halfW;
    const double y0 = -(row.top - p.northing) * frame.verticalRatio * s + halfH;
    const double x1 = (row.right - p.easting) * s + halfW;
    const double y1 = y0 + (static_cast<double>(row.top) - row.bottom) * frame.verticalRatio * s / stretch;
    // Whole pixels as a cast would give them, kept in double: the zoom and the edges may put
    // them far outside the range of int.
    const double left = std::trunc(x0);
    const double top = std::trunc(y0);
    const double right = std::trunc(x0 + (x1 - x0) / stretch);
    const double bottom = std::trunc(y1);
    return halfW >= left && halfW < right && halfH >= top && halfH < bottom;
}

void setMatchKarten(MapTable& table, MapView& view, FrameState& frame, const GridContext& grid,
                    GridPoint position, int viewLeft, int viewTop, int viewRight, int viewBottom,
                    int* anyInView) {
    const int width = viewRight - viewLeft;
    const int height = viewBottom - viewTop;
    int any = 0;
    bool anyContains = false;
    frame.mapScale = table.empty() ? 200 : table.rows[0].resolution;
    view.ShownResolution = frame.mapScale;
    if (!table.empty()) view.CurrentRow = 0;

    int start = table.lastIndex();
    if (view.WantedResolution > 0) {
        while (start >= 0 && table.rows[static_cast<std::size_t>(start)].resolution > view.WantedResolution) {
            MapEntry& skipped = table.rows[static_cast<std::size_t>(start)];
            skipped.inView = 0;
            skipped.containsPosition = 0;
            --start;
        }
        if (start < 0 && !table.empty()) start = 0;
    }

    for (int i = start; i >= 0; --i) {
        MapEntry& row = table.rows[static_cast<std::size_t>(i)];
        row.containsPosition = 0;
        if (!inViewAt(row, position, frame.zoomFactor, width, height)) {
            row.inView = 0;
            continue;
        }
        row.inView = 1;
        any = 1;
        frame.mapScale = row.resolution;
        frame.verticalRatio = row.xStretch;
        view.CurrentRow = i;
        if (containsAt(table, i, frame, grid, position, width, height)) {
            row.containsPosition = 1;
            anyContains = true;
        }
    }

    if (view.AutoResolution == 0 || view.CalibrationRow >= 0) {
        frame.mapScale = view.ShownResolution = view.WantedResolution;
    } else if (!table.empty()) {
        int chosen = -1;
        for (int i = table.lastIndex(); i >= 0 && chosen < 0; --i)
            if (table.rows[static_cast<std::size_t>(i)].inView) chosen = i;
        if (chosen < 0) {
            chosen = 0;
            view.CurrentRow = 0;
        }
        if (anyContains) {
            for (int i = table.lastIndex(); i >= 0; --i) {
                if (table.rows[static_cast<std::size_t>(i)].containsPosition) {
                    chosen = i;
                    break;
                }
            }
        }
        const MapEntry& row = table.rows[static_cast<std::size_t>(chosen)];
        frame.mapScale = view.ShownResolution = row.resolution;
        frame.verticalRatio = row.xStretch;
    }
    if (!anyContains)
        view.MapStatusText = view.WantedResolution < 0 ? kNoMapForPosition : kNoMapAtSmallScale;
    if (anyInView) *anyInView = any;
}

int getMatchKarten(const MapTable& table, const FrameState& frame, const GridContext& grid,
                   GridPoint position, int viewLeft, int viewTop, int viewRight, int viewBottom) {
    if (table.empty()) return -1;
    const int width = viewRight - viewLeft;
    const int height = viewBottom - viewTop;
    const int start = startRowAtOrBelow(table, frame.mapScale);
    for (int i = start; i >= 0; --i) {
        const MapEntry& row = table.rows[static_cast<std::size_t>(i)];
        if (i != start && row.resolution != frame.mapScale) break;
        const bool hit = grid.PlateCarreeGrid
                             ? plateCarreeHit(table, i, frame, position, width, height)
                             : inViewAt(row, position, frame.zoomFactor, width, height) &&
                                   rowContainsPoint(row, position);
        if (hit) return i;
    }
    return -1;
}

}  // namespace vexa
