#include "routes/grid_refresh_tables.h"

#include <algorithm>

#include "frame/frame_state.h"
#include "geo/grid_refresh.h"
#include "frame/last_position.h"
#include "routes/poi_record.h"
#include "routes/route_table.h"
#include "routes/trace_table.h"

namespace vexa {

void PoiTab_Anpassen(PoiTable& pois, const GridContext& grid) {
    const int n = std::min<int>(pois.count, static_cast<int>(pois.records.size()));
    for (int i = 0; i < n; ++i) {
        PoiRecord& p = pois.records[static_cast<std::size_t>(i)];
        const GridPoint g = refreshPoint(p.lon, p.lat, p.datumCode, grid);
        p.gridX = g.easting;
        p.gridY = g.northing;
    }
}

void track_utm_Anpassen(RouteTable& route, const GridContext& grid) {
    for (int i = 0; i < route.count && i < kRouteCapacity; ++i) {
        TrackPoint& p = route.points[static_cast<std::size_t>(i)];
        const GridPoint g = refreshPoint(p.lon, p.lat, p.datumCode, grid);
        p.gridX = g.easting;
        p.gridY = g.northing;
    }
}

void trace_utm_Anpassen(TraceTable& trace, long itracemax, const GridContext& grid) {
    if (trace.empty()) return;
    const int used = trace.wrapped ? static_cast<int>(std::min<long>(itracemax, kTraceSlots - 1)) + 1
                                   : trace.next;
    for (int i = 0; i < used && i < kTraceSlots; ++i) {
        TracePoint& p = trace.points[static_cast<std::size_t>(i)];
        const GridPoint g = refreshPoint(p.lon, p.lat, p.datumCode, grid);
        p.gridX = g.easting;
        p.gridY = g.northing;
    }
}

void last_utm_Anpassen(LastPosition& last, FrameState& frame, const GridContext& grid) {
    const GridPoint g = refreshPoint(last.longitude, last.latitude, last.datumTag, grid);
    last.grid = g;
    frame.viewCentre.gridX = g.easting;
    frame.viewCentre.gridY = g.northing;
}

}  // namespace vexa
