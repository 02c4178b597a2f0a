// Bringing the stored points up to date after the grid changed (map directory or zone): the
// POI table, the route, the trace ring and the last position, each point by refreshPoint.
#pragma once

#include "geo/grid_context.h"

namespace vexa {

struct FrameState;
struct LastPosition;
struct PoiTable;
struct RouteTable;
struct TraceTable;

void PoiTab_Anpassen(PoiTable& pois, const GridContext& grid);
void track_utm_Anpassen(RouteTable& route, const GridContext& grid);
void trace_utm_Anpassen(TraceTable& trace, long itracemax, const GridContext& grid);
// The last position, with its datum tag as code; the result becomes the view centre.
void last_utm_Anpassen(LastPosition& last, FrameState& frame, const GridContext& grid);

}  // namespace vexa
