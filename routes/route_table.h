// The route: an ordered table of at most 4000 points, built by taps, imports, the database or
// from the trace, and the edit commands that act on its selected point.
#pragma once

#include <array>
#include <string>

#include "geo/track_point.h"

namespace vexa {

class Ui;
struct FrameState;
struct GridContext;
struct TraceTable;

inline constexpr int kRouteCapacity = 4000;

// Route edit commands of the menus and the route point's context menu.
inline constexpr int kCmdRouteDeleteBefore = 107;   // "Route bis löschen"
inline constexpr int kCmdRouteDeleteFrom = 108;     // "Route von löschen"
inline constexpr int kCmdRouteReverse = 109;        // "Route umkehren"
inline constexpr int kCmdLineKindPath = 112;        // "ab hier Weg"
inline constexpr int kCmdLineKindBlue = 113;        // "ab hier blaue Linie"
inline constexpr int kCmdLineKindRoad = 114;        // "ab hier Straße"
inline constexpr int kCmdLineKindMainRoad = 115;    // "ab hier Hauptstraße"
inline constexpr int kCmdLineKindMotorway = 116;    // "ab hier Autobahn"
inline constexpr int kCmdLineKindNotDrawn = 117;    // "ab hier nicht zeichnen"
inline constexpr int kCmdTraceToRoute = 40155;      // "Trace -> Route"
inline constexpr int kCmdRouteClear = 40154;        // "Route löschen"
inline constexpr int kCmdRouteReduce = 40165;       // "Routen Punkte reduzieren"
inline constexpr int kCmdTraceClear = 40173;        // "Trace löschen"

struct RouteTable {
    std::array<TrackPoint, kRouteCapacity> points{};
    int count = 0;
    std::string name;  // the selected or last used route: seeds the save dialog, names exports
};

// What the map view knows of the tap's surroundings.
struct MapTapGeometry {
    int clientWidth = 400;    // visible size of the map window
    int clientHeight = 400;
    bool mapLoaded = false;   // a map entry gives scale and vertical stretch
};

// Appends the map position under a tap at client coordinates (x, y). Returns false when the
// route is full ("Track maximal 4000 Punkte").
bool AddTrackPoint(RouteTable& route, FrameState& frame, const GridContext& grid, Ui& ui,
                   const MapTapGeometry& geometry, int x, int y);

// Replaces the route by a thinned copy of the trace. Returns false when the trace is empty.
bool trace2track(RouteTable& route, const TraceTable& trace, long itracemax, FrameState& frame,
                 Ui& ui);

void DeleteRouteBefore(RouteTable& route, FrameState& frame);
void DeleteRouteFrom(RouteTable& route, const FrameState& frame);
void ReverseRoute(RouteTable& route);
void ReduceRoute(RouteTable& route);
void SetLineKindFrom(RouteTable& route, const FrameState& frame, LineKind kind);
void ClearRoute(RouteTable& route);

// Climb and descent along the route: the sums of the rises and of the falls between
// successive points, in whole metres (both positive).
struct RouteClimb {
    int up = 0;
    int down = 0;
};
RouteClimb routeClimb(const RouteTable& route);

// The line kind an "ab hier" command sets, or -1 for other commands.
int lineKindOfCommand(int commandId);

}  // namespace vexa
