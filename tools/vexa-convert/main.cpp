// vexa-convert IN OUT
//
// Converts a route or POI file into another format with the program's own readers and
// writers, chosen by the file extensions: KML, KMZ, OVL, GPX, CSV, and NMEA logs as tracks;
// or sends the route to a Garmin receiver (garmin:DEVICE).
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/console_ui.h"
#include "tools/tool_version.h"
#include "tools/vexa-convert/conversion.h"

namespace {

constexpr const char* kHelp =
    "usage: vexa-convert [--thin | --truncate] IN OUT\n"
    "\n"
    "Converts a route or POI file; the extensions choose the formats.\n"
    "\n"
    "  IN   .kml  route (every LineString, or gx:Track)\n"
    "       .kmz  the same, zipped\n"
    "       .ovl  route from a text overlay\n"
    "       .gpx  track or route, and waypoints as POIs\n"
    "       .csv  POIs: name;datum;lon;lat;altitude\n"
    "       .txt  .nmea  NMEA log: the positions the replay records, as a track\n"
    "  OUT  .kml  the route, or the POIs when there is no route\n"
    "       .ovl  the route\n"
    "       .gpx  the route as a track and the POIs as waypoints\n"
    "       .csv  the POIs (Latin-1)\n"
    "  garmin:DEVICE  the route as a track to a Garmin receiver on a serial device\n"
    "  FILE.cdb:NAME  IN or OUT: the route NAME of a route database volume\n"
    "  FILE.cdb       IN or OUT: the POIs of a POI database volume (OUT: a new volume)\n"
    "\n"
    "A route holds at most 4000 points; a longer one is refused unless\n"
    "  --thin      keeps 4000 points spread evenly over it, first and last included\n"
    "  --truncate  keeps its first 4000 points\n"
    "(NMEA logs are always thinned). Coordinates are WGS84.\n"
    "Exit status: 0 converted, 1 the conversion failed, 2 wrong command line.\n";

bool knownTarget(const vexa::Endpoint& target) {
    if (target.kind != vexa::Endpoint::Kind::File) return true;
    return target.format == "kml" || target.format == "ovl" || target.format == "gpx" || target.format == "csv";
}

}  // namespace

int main(int argc, char** argv) {
    if (vexa::printedVersion(argc, argv, "vexa-convert")) return 0;
    using namespace vexa;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kHelp, stdout);
        return kConverted;
    }
    Conversion conversion;
    int first = 1;
    for (; first < argc && argv[first][0] == '-' && argv[first][1] == '-'; ++first) {
        const bool thin = std::strcmp(argv[first], "--thin") == 0;
        if ((!thin && std::strcmp(argv[first], "--truncate") != 0) ||
            conversion.longRoute != Conversion::LongRoute::Refuse) {
            std::fputs(kHelp, stderr);
            return kUsage;
        }
        conversion.longRoute = thin ? Conversion::LongRoute::Thin : Conversion::LongRoute::Truncate;
    }
    if (argc - first != 2) {
        std::fputs(kHelp, stderr);
        return kUsage;
    }
    const Endpoint source = parseEndpoint(argv[first]);
    const Endpoint target = parseEndpoint(argv[first + 1]);
    if (!knownTarget(target)) {
        std::fprintf(stderr, "vexa-convert: %s: unknown target format (kml, ovl, gpx, csv)\n", argv[first + 1]);
        return kUsage;
    }
    ConsoleUi ui("vexa-convert");
    const ExitStatus read = readSource(source, conversion, ui);
    if (read != kConverted) return read;
    return writeTarget(target, conversion, ui);
}
