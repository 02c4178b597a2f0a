#include "routes/route_geometry.h"

#include <algorithm>
#include <cmath>

#include "frame/frame_state.h"
#include "geo/distance.h"
#include "geo/grid.h"

namespace vexa {

namespace {

constexpr double kDegreesPerUnit = 0.0001;  // plate carrée grid units

int truncate(double v) { return static_cast<int>(v); }

}  // namespace

ScreenPoint ViewProjection::project(double gridX, double gridY) const {
    const double pixelsPerUnit = scale * 0.001 / zoomFactor;
    return {truncate(rect.halfWidth() + (gridX - centreX) * pixelsPerUnit),
            truncate(rect.halfHeight() - (gridY - centreY) * verticalRatio * pixelsPerUnit)};
}

ViewProjection projectionAt(const FrameState& frame, double centreX, double centreY, int scale) {
    ViewProjection p;
    p.centreX = centreX;
    p.centreY = centreY;
    p.scale = scale;
    p.zoomFactor = frame.zoomFactor;
    p.verticalRatio = frame.verticalRatio;
    const int side = frame.screen.frameSide();
    p.rect = ViewRect{0, 0, side, side};
    return p;
}

bool legInView(ScreenPoint older, ScreenPoint newer, const ViewRect& rect) {
    if (rect.contains(newer)) return true;  // the first point the walk below tries
    if (std::max(older.x, newer.x) < rect.left || std::min(older.x, newer.x) >= rect.right ||
        std::max(older.y, newer.y) < rect.top || std::min(older.y, newer.y) >= rect.bottom)
        return false;
    if (older.x == newer.x) return rect.left <= newer.x && newer.x < rect.right;
    const double slope = static_cast<double>(older.y - newer.y) / (older.x - newer.x);
    for (int step = 0; step <= 50; ++step) {
        const int x = newer.x + truncate(step * 0.02 * (older.x - newer.x));
        const int y = newer.y + truncate((x - newer.x) * slope);
        if (rect.contains({x, y})) return true;
    }
    return false;
}

GridKind gridKindOf(const GridContext& grid) {
    if (grid.MercatorGrid) return GridKind::Mercator;
    if (grid.PlateCarreeGrid) return GridKind::Geographic;
    return GridKind::Metric;
}

double gridDistance(const GridContext& grid, double fromX, double fromY, double toX, double toY) {
    const double dx = toX - fromX, dy = toY - fromY;
    switch (gridKindOf(grid)) {
    case GridKind::Metric:
        return std::sqrt(dx * dx + dy * dy);
    case GridKind::Mercator:
        return std::sqrt(dx * dx + dy * dy) *
               std::cos(MercatorLatitude(truncate(fromY), grid) * kPi / 180.0);
    case GridKind::Geographic:
        return distance(fromY * kDegreesPerUnit, fromX * kDegreesPerUnit, toY * kDegreesPerUnit,
                        toX * kDegreesPerUnit);
    }
    return 0.0;
}

double gridBearing(const GridContext& grid, double fromX, double fromY, double toX, double toY) {
    if (gridKindOf(grid) == GridKind::Geographic)
        return Kurswinkel(toY * kDegreesPerUnit, toX * kDegreesPerUnit, fromY * kDegreesPerUnit,
                          fromX * kDegreesPerUnit);
    const double dx = toX - fromX, dy = toY - fromY;
    if (dx == 0.0) return dy >= 0.0 ? 0.0 : kPi;
    return std::atan2(dx, dy);
}

}  // namespace vexa
