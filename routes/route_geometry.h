// Where grid positions land in the square frame, which legs of a line are in view, and how
// distances and bearings to route points are measured on each kind of grid.
#pragma once

#include "geo/grid_context.h"

namespace vexa {

struct FrameState;
struct TrackPoint;

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// The frame rectangle the route, trace and POIs are drawn into (400 × 400 for the 240 × 320
// screen; see frame/screen_size.h).
struct ViewRect {
    int left = 0;
    int top = 0;
    int right = 400;
    int bottom = 400;

    bool contains(ScreenPoint p) const { return left <= p.x && p.x < right && top <= p.y && p.y < bottom; }
    // All four bounds exclusive.
    bool strictlyContains(ScreenPoint p) const { return left < p.x && p.x < right && top < p.y && p.y < bottom; }
    int halfWidth() const { return (right - left) / 2; }
    int halfHeight() const { return (bottom - top) / 2; }
};

// Grid position to frame pixel around a view centre, truncated toward zero.
struct ViewProjection {
    double centreX = 0.0;
    double centreY = 0.0;
    int scale = 200;             // pixels per 1000 grid units
    double zoomFactor = 1.0;
    double verticalRatio = 1.0;
    ViewRect rect{};

    ScreenPoint project(double gridX, double gridY) const;
};

ViewProjection projectionAt(const FrameState& frame, double centreX, double centreY, int scale);

// A leg is drawn when its bounding box overlaps the rectangle and, for a leg that is not
// vertical, one of 51 points along it lies inside.
bool legInView(ScreenPoint older, ScreenPoint newer, const ViewRect& rect);

// How distances and bearings are measured: metres on UTM and Gauss-Krüger, metres scaled by
// the latitude on Mercator, degrees × 10000 on plate carrée.
enum class GridKind { Metric, Mercator, Geographic };
GridKind gridKindOf(const GridContext& grid);

// Metres from (fromX, fromY) to (toX, toY); on Mercator the straight distance is scaled by the
// cosine of the latitude at `fromY`.
double gridDistance(const GridContext& grid, double fromX, double fromY, double toX, double toY);

// Bearing in radians clockwise from north, from (fromX, fromY) to (toX, toY).
double gridBearing(const GridContext& grid, double fromX, double fromY, double toX, double toY);

}  // namespace vexa
