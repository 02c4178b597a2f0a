// vexa-convert IN OUT
//
// Converts a route or POI file into another format with the program's own readers and
// writers, chosen by the file extensions: KML, KMZ, OVL, GPX, CSV, and NMEA logs as tracks;
// or sends the route to a Garmin receiver (garmin:DEVICE).
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/console_ui.h"
#include "tools/vexa-convert/conversion.h"

namespace {

constexpr const char* kHelp =
    "usage: vexa-convert IN OUT\n"
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
    "A route holds at most 4000 points. Coordinates are WGS84.\n"
    "Exit status: 0 converted, 1 the conversion failed, 2 wrong command line.\n";

bool knownTarget(const vexa::Endpoint& target) {
    if (target.kind != vexa::Endpoint::Kind::File) return true;
    return target.format == "kml" || target.format == "ovl" || target.format == "gpx" || target.format == "csv";
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vexa;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kHelp, stdout);
        return kConverted;
    }
    if (argc != 3) {
        std::fputs(kHelp, stderr);
        return kUsage;
    }
    const Endpoint source = parseEndpoint(argv[1]);
    const Endpoint target = parseEndpoint(argv[2]);
    if (!knownTarget(target)) {
        std::fprintf(stderr, "vexa-convert: %s: unknown target format (kml, ovl, gpx, csv)\n", argv[2]);
        return kUsage;
    }
    ConsoleUi ui("vexa-convert");
    Conversion conversion;
    const ExitStatus read = readSource(source, conversion, ui);
    if (read != kConverted) return read;
    return writeTarget(target, conversion, ui);
}
