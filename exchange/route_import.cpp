#include "exchange/route_import.h"

#include <cmath>

#include "util/diagnostic_text.h"
#include "geo/datum.h"
#include "geo/grid.h"
#include "platform/ui.h"
#include "geo/datum_code.h"
#include "routes/route_table.h"
#include "util/text.h"

namespace vexa {

void clearImportedRoute(ImportTarget& target) {
    target.route.count = 0;
    target.offered = 0;
    target.newPiece = false;
}

bool routeFull(const ImportTarget& target) { return target.route.count >= kRouteCapacity; }

bool routeCut(const ImportTarget& target) {
    return target.offered > static_cast<std::size_t>(kRouteCapacity) && target.spreadOver == 0;
}

std::size_t evenlySpreadIndex(std::size_t k, std::size_t total, std::size_t capacity) {
    if (capacity < 2 || total <= capacity) return k;
    return static_cast<std::size_t>(static_cast<double>(k) * static_cast<double>(total - 1) /
                                        static_cast<double>(capacity - 1) +
                                    0.5);
}

bool addImportedPoint(ImportTarget& target, double lon, double lat, int altitude) {
    if (!(std::fabs(lon) <= 180.0 && std::fabs(lat) <= 90.0)) return true;  // also NaN
    const std::size_t index = target.offered++;
    const auto capacity = static_cast<std::size_t>(kRouteCapacity);
    if (target.spreadOver > capacity) {
        const auto wanted = evenlySpreadIndex(static_cast<std::size_t>(target.route.count), target.spreadOver, capacity);
        if (routeFull(target) || index != wanted) return true;
    } else if (routeFull(target)) {
        return target.countAll;
    }
    if (target.newPiece && target.route.count > 0)
        target.route.points[static_cast<std::size_t>(target.route.count - 1)].lineKind = LineKind::NotDrawn;
    target.newPiece = false;
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

void reportImport(ImportTarget& target, ImportProblem problem, std::string_view text, std::string_view caption) {
    target.problem = problem;
    AddNmeaListLine(target.diagnostics, text);
    target.ui.messageBox(text, caption);
}

bool reportRouteCut(ImportTarget& target, const char* fileKind) {
    if (!routeCut(target)) return false;
    target.problem = ImportProblem::RouteCut;
    target.ui.messageBox(strprintf("%s hat mehr als %d Punkte", fileKind, kRouteCapacity), "");
    return true;
}

}  // namespace vexa
