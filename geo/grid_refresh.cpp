#include "geo/grid_refresh.h"

#include "geo/datum.h"
#include "geo/datum_code.h"

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

GeodeticPoint storedPointToWgs84(double gridX, double gridY, char datumCode, const GridContext& grid) {
    const GeodeticPoint g = utm2llh({gridX, gridY}, grid);
    if (datumCode == kDatumPotsdam) return potsdamToWgs84(g.longitude, g.latitude);
    if (datumCode == kDatumEd50) return ed50ToWgs84(g.longitude, g.latitude);
    return g;
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

}  // namespace vexa
