// The route, the trace and the POIs drawn over the map, and the route's target line.
#pragma once

#include <string>

#include "routes/route_geometry.h"
#include "routes/thick_lines.h"

class QPainter;

namespace vexa {

struct FrameState;
struct Guidance;
struct PoiTable;
struct RouteTable;
struct TraceTable;
class RouteDistanceMemo;

// What the route drawing reads and the target distance it leaves behind.
struct RouteLayer {
    const RouteTable& route;
    const GridContext& grid;
    const FrameState& frame;   // "Show Routepoints" and the selected route point
    Guidance& guidance;
    RouteDistanceMemo* distances = nullptr;  // keeps the route length between frames
};

// Legs by line kind, point circles, the target line and icon; stores the target distance.
void show_route(QPainter& painter, RouteLayer& layer, const ViewProjection& view);

// The route length from or to the selected point (see RouteDistance); with a painter and a
// selected point, "<km> km" is written beside that point, inside `visible` (the part of the
// frame the screen shows). Metres.
double showRouteDist(QPainter* painter, const RouteLayer& layer, const ViewProjection& view, int direction,
                     const ViewRect& visible);

// Draws the trace from the newest point back. With `findCentre` (the map view) it returns a
// trace point within 5 pixels of the view centre, else −1.
int show_trace(QPainter& painter, const TraceTable& trace, long itracemax, const ViewProjection& view,
               bool findCentre);

// The trace's strokes, gathered leg by leg and drawn together: the black band, then the red
// legs (even newer index) and the yellow ones (odd).
struct TraceStrokes {
    ThickLines band, even, odd;
    void draw(QPainter& painter, const ViewRect& frame);
};

// One leg from the newer to the older point; nothing when the newer point starts a segment.
// Returns `newer` when it is the nearest point to the centre so far (`bestSquared` updated).
int DrawTraceLeg(TraceStrokes& strokes, const TraceTable& trace, const ViewProjection& view, int newer, int older,
                 bool findCentre, int& bestSquared);

// The POIs in view with their labels: label position 0 above left, 1 below left. POIs of
// `defaultVolume` are filled white, the others red.
void show_Poi(QPainter& painter, const PoiTable& pois, const ViewProjection& view, int labelPosition,
              const std::string& defaultVolume);

}  // namespace vexa
