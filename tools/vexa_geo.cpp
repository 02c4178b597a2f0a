// vexa-geo LONGITUDE LATITUDE [LONGITUDE2 LATITUDE2]
//
// Shows a WGS84 position on every grid a map directory may use (UTM on WGS84 and ED50,
// Gauss-Krüger on Potsdam, plate carrée, spherical Mercator), the way back, today's sun
// times there, and with a second position the distance and course between the two.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "util/diagnostic_text.h"
#include "geo/datum.h"
#include "geo/distance.h"
#include "geo/grid.h"
#include "geo/sun_times.h"
#include "geo/zone_choice.h"
#include "platform/linux/system_clock.h"
#include "util/text.h"
#include "tools/tool_command_line.h"

namespace {

using namespace vexa;

constexpr const char* kUsage =
    "usage: vexa-geo LONGITUDE LATITUDE [LONGITUDE2 LATITUDE2]\n"
    "\n"
    "Shows a WGS84 position on every grid a map folder may use, the way back, today's sun\n"
    "times there, and with a second position the distance and course to it.\n"
    "Degrees, east and north positive, e.g. vexa-geo 9.7320 52.3759 or vexa-geo -9.1 38.7.\n"
    "\n"
    "  -h, --help       this text\n"
    "  -V, --version    the version\n"
    "\n"
    "Exit status: 0 done, 2 wrong command line.\n";

bool parse(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(value);
}

void showGrid(const char* name, const GridContext& grid, double lon, double lat) {
    const bool local = grid.LocalDatumGrid && !grid.MercatorGrid && !grid.PlateCarreeGrid;
    const GeodeticPoint onDatum = local ? wgs84ToLocal(lon, lat, grid) : GeodeticPoint{lon, lat, 0};
    const GridPoint g = llh2utm(onDatum.longitude, onDatum.latitude, 1, grid);
    GeodeticPoint back = utm2llh(g, grid);
    if (local) back = localToWgs84(back.longitude, back.latitude, grid);
    // Pad by characters, not bytes: "ü" is two bytes.
    const std::string label(name);
    const std::string padding(label.size() < 34 ? 34 - utf8Length(label) : 1, ' ');
    std::printf("  %s%sE %11.2f  N %11.2f   back: %.6f %.6f  (%.2f m)\n", label.c_str(), padding.c_str(), g.easting,
                g.northing, back.longitude, back.latitude,
                distance(lat, lon, back.latitude, back.longitude));
}

}  // namespace

int main(int argc, char** argv) {
    const ToolCommandLine commandLine("vexa-geo", kUsage);
    const std::vector<std::string> args = commandLine.read({}, argc, argv).operands;
    double lon = 0, lat = 0, lon2 = 0, lat2 = 0;
    if (args.size() != 2 && args.size() != 4) commandLine.wrong("give LONGITUDE LATITUDE, and a second position or none");
    if (!parse(args[0].c_str(), lon) || !parse(args[1].c_str(), lat) || std::fabs(lat) >= 84 || std::fabs(lon) > 180)
        commandLine.wrong("the position is longitude -180..180 and latitude -84..84 in degrees");
    if (args.size() == 4 && (!parse(args[2].c_str(), lon2) || !parse(args[3].c_str(), lat2)))
        commandLine.wrong("the second position is two numbers in degrees");

    const int zone = utmZoneAt(lon);
    const int strip = gkStripAt(lon);
    std::printf("WGS84 %.6f %.6f\n", lon, lat);

    GridContext utm;
    utm.UtmZone = zone;
    showGrid(("UTM zone " + std::to_string(zone) + " (WGS84)").c_str(), utm, lon, lat);
    GridContext ed50 = utm;
    ed50.LocalDatumGrid = ed50.Ed50Datum = true;
    showGrid(("UTM zone " + std::to_string(zone) + " (ED50)").c_str(), ed50, lon, lat);
    GridContext gk;
    gk.LocalDatumGrid = true;
    gk.GkStrip = strip;
    showGrid(("Gauss-Krüger strip " + std::to_string(strip) + " (Potsdam)").c_str(), gk, lon, lat);
    GridContext pk;
    pk.PlateCarreeGrid = true;
    showGrid("plate carrée (1/10000 deg)", pk, lon, lat);
    GridContext merc;
    merc.MercatorGrid = true;
    merc.MercatorRadius = 6378137.0;
    showGrid("spherical Mercator (6378137)", merc, lon, lat);

    SystemClock clock;
    DiagnosticText diagnostics;
    std::printf("sunrise-sunset today (local time): %s\n",
                CalcSunrise(lat, lon, clock, kTimeZoneAutomatic, diagnostics).c_str());

    if (args.size() == 4) {
        double course = Kurswinkel(lat2, lon2, lat, lon) * kRadToDeg;
        if (course < 0) course += 360;
        std::printf("to %.6f %.6f: %.1f m, course %.1f deg\n", lon2, lat2,
                    distance(lat, lon, lat2, lon2), course);
    }
    return 0;
}
