#include "exchange/route_import.h"

#include <cmath>

#include "exchange/number_text.h"
#include "util/diagnostic_text.h"
#include "geo/datum.h"
#include "geo/grid.h"
#include "platform/ui.h"
#include "geo/datum_code.h"
#include "routes/route_table.h"

namespace vexa {

bool routeFull(const ImportTarget& target) { return target.route.count >= kRouteCapacity; }

bool addImportedPoint(ImportTarget& target, double lon, double lat, int altitude,
                      bool keepAsFloat) {
    if (routeFull(target)) return false;
    if (!(std::fabs(lon) <= 180.0 && std::fabs(lat) <= 90.0)) return true;  // also NaN
    if (keepAsFloat) {
        lon = singlePrecision(lon);
        lat = singlePrecision(lat);
    }
    TrackPoint& p = target.route.points[static_cast<std::size_t>(target.route.count)];
    p = TrackPoint{};
    if (target.grid.LocalDatumGrid) {
        const GeodeticPoint local = wgs84ToLocal(lon, lat, target.grid);
        lon = local.longitude;
        lat = local.latitude;
    }
    p.lon = lon;
    p.lat = lat;
    p.datumCode = datumCodeFor(target.grid);
    const GridPoint g = llh2utm(lon, lat, 1, target.grid);
    p.gridX = g.easting;
    p.gridY = g.northing;
    p.altitude = altitude;
    ++target.route.count;
    return true;
}

void reportImport(ImportTarget& target, std::string_view text, std::string_view caption) {
    AddNmeaListLine(target.diagnostics, text);
    target.ui.messageBox(text, caption);
}

}  // namespace vexa
