// The target compass: bearing to the last route point, its distance and the current course,
// as a small dial (style 0) or a large compass rose turned course-up (style 1).
#pragma once

#include <QColor>
#include <QPoint>

class QPainter;

namespace vexa {

struct Guidance;
struct GridContext;
struct RouteTable;
struct TrackPoint;

// The small dial's middle and radius.
inline constexpr QPoint kDialCentre{50, 221};
inline constexpr int kDialRadius = 27;
// Where the small dial writes the course, and where the target distance goes by default (both
// the top-left corner of the text).
inline constexpr QPoint kCourseTextAt{40, 176};
inline constexpr QPoint kTargetTextAt{98, 251};

struct BearingLayer {
    const RouteTable& route;
    const GridContext& grid;
    const TrackPoint& centre;   // the view centre the bearing is measured from
    Guidance& guidance;
    int compassStyle = 0;       // 0 small dial, 1 compass rose
    QPoint distanceText = kTargetTextAt;
    QPoint roseOrigin{0, 171};
};

// Draws the compass for `course` degrees; stores the target distance when there is a route.
void DrawBearing(QPainter& painter, BearingLayer& layer, float course, const QColor& background);

// The style-1 rose at origin (x, y).
void DrawCompassRose(QPainter& painter, BearingLayer& layer, int x, int y, float course);

}  // namespace vexa
