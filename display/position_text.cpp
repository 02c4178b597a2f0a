#include "display/position_text.h"

#include <cmath>
#include <cstdlib>

#include "gps/gps_state.h"
#include "maps/map_table.h"
#include "util/text.h"

namespace vexa {

namespace {

constexpr std::size_t kGeoTextChars = 127;

struct Dms {
    int degrees;
    int minutes;
    int seconds;
};

Dms toDms(double value) {
    const int degrees = static_cast<int>(value);
    const double minutes = std::fabs(value - degrees) * 60.0;
    const int wholeMinutes = static_cast<int>(minutes);
    return {degrees, wholeMinutes, static_cast<int>((minutes - wholeMinutes) * 60.0 + 0.5)};
}

std::string letters(std::string_view text) { return std::string(text); }

std::string zoneText(const GridContext& grid, const MapTable& maps) {
    const bool gk = grid.LocalDatumGrid && !grid.Ed50Datum;
    const std::string& fromMaps = gk ? maps.stripText : maps.zoneText;
    if (!fromMaps.empty()) return fromMaps;
    return std::to_string(gk ? grid.GkStrip : grid.UtmZone);
}

}  // namespace

void fillGeomsg(std::string& text, int coordFormat, double longitude, double latitude, std::string_view eastWest,
                std::string_view northSouth) {
    const std::string ew = letters(eastWest), ns = letters(northSouth);
    // A hemisphere letter carries the sign; without one the value does, also between −1° and 0.
    const auto sign = [](std::string_view letter, double value) { return letter.empty() && value < 0.0 ? "-" : ""; };
    if (coordFormat == 1) {
        text = strprintf("%s %s%1.5f° %s %s%1.5f°", ew.c_str(), sign(ew, longitude), std::fabs(longitude), ns.c_str(),
                         sign(ns, latitude), std::fabs(latitude));
    } else if (coordFormat == 0 || coordFormat == 2) {
        const Dms lon = toDms(std::fabs(longitude)), lat = toDms(std::fabs(latitude));
        text = strprintf("%s %s%d°%02d'%02d%s %s %s%d°%02d'%02d%s", ew.c_str(), sign(ew, longitude), lon.degrees,
                         lon.minutes, lon.seconds, "\"", ns.c_str(), sign(ns, latitude), lat.degrees, lat.minutes,
                         lat.seconds, "\"");
    } else {
        return;
    }
    text = std::string(utf8Prefix(text, kGeoTextChars));
}

void Fill_GeoUtmMsg(std::string& geoText, int coordFormat, LastPosition& last, GpsState& gps,
                    const GridContext& grid, const MapTable& maps) {
    const GeodeticPoint geo = utm2llh(last.grid, grid);
    last.latitude = geo.latitude;
    last.longitude = geo.longitude;
    gps.gridText.format("%s %1.0f %1.0f", zoneText(grid, maps).c_str(), last.grid.easting, last.grid.northing);
    const bool haveLetters = !gps.eastWest.view().empty() && !gps.northSouth.view().empty();
    fillGeomsg(geoText, coordFormat, last.longitude, last.latitude, haveLetters ? gps.eastWest.view() : "",
               haveLetters ? gps.northSouth.view() : "");
}

const char* gridLabel(const GridContext& grid) {
    if (grid.MercatorGrid) return "MP";
    if (grid.LocalDatumGrid && !grid.Ed50Datum) return "GK";
    return "UTM";
}

bool checkPosKarte(const MapTable& maps, GridPoint position, int screenWidth, int screenHeight, double zoomFactor) {
    for (const MapEntry& row : maps.rows) {
        if (row.resolution <= 0) continue;
        const double dx = screenWidth * zoomFactor * 1000.0 / (2.0 * row.resolution);
        const double dy = screenHeight * zoomFactor * 1000.0 / (2.0 * row.resolution);
        if (position.easting >= row.left - dx && position.easting <= row.right + dx &&
            position.northing >= row.bottom - dy && position.northing <= row.top + dy)
            return true;
    }
    return false;
}

}  // namespace vexa
