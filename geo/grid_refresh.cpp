#include "geo/grid_refresh.h"

#include "frame/frame_state.h"
#include "geo/datum.h"
#include "gps/gps_state.h"
#include "routes/poi_record.h"
#include "routes/route_table.h"
#include "routes/trace_table.h"

namespace vexa {

GeodeticPoint wgs84ToLocalDatum(double lon, double lat, const GridContext& grid) {
    return wgs84ToLocal(lon, lat, grid);
}

GeodeticPoint potsdamToWgs84(double lon, double lat) {
    GridContext potsdam;
    potsdam.LocalDatumGrid = true;
    potsdam.Ed50Datum = false;
    return localToWgs84(lon, lat, potsdam);
}

GeodeticPoint ed50ToWgs84(double lon, double lat) {
    GridContext ed50;
    ed50.LocalDatumGrid = true;
    ed50.Ed50Datum = true;
    return localToWgs84(lon, lat, ed50);
}

GridPoint refreshPoint(double& lon, double& lat, char& datumCode, const GridContext& grid) {
    const char code = datumCode;
    auto take = [&](GeodeticPoint p, char newCode) {
        lon = p.longitude;
        lat = p.latitude;
        datumCode = newCode;
    };
    if (grid.LocalDatumGrid) {
        if (code == kDatumWgs84)
            take(wgs84ToLocalDatum(lon, lat, grid), grid.Ed50Datum ? kDatumEd50 : kDatumPotsdam);
    } else if (code == kDatumPotsdam) {
        take(potsdamToWgs84(lon, lat), kDatumWgs84);
    }
    // Tested last: without an ED50 grid in force an ED50 point always goes back to WGS84, also
    // on an ED50 map directory whose grid was switched to UTM on WGS84.
    const bool ed50InForce = grid.LocalDatumGrid && grid.Ed50Datum;
    if (!ed50InForce && code == kDatumEd50) take(ed50ToWgs84(lon, lat), kDatumWgs84);
    return llh2utm(lon, lat, 1, grid);
}

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
