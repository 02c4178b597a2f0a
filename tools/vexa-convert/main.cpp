// vexa-convert [options] IN OUT
// vexa-convert --list FILE.cdb
//
// Converts a route or POI file into another format with the program's own readers and
// writers, chosen by the file extensions: KML, KMZ, OVL, GPX, CSV, and NMEA logs as tracks;
// or sends the route to a Garmin receiver (garmin:DEVICE).
#include <cstdio>
#include <string>

#include "tools/console_ui.h"
#include "tools/tool_command_line.h"
#include "tools/vexa-convert/conversion.h"

namespace {

constexpr const char* kHelp =
    "usage: vexa-convert [options] IN OUT\n"
    "       vexa-convert [options] IN garmin:DEVICE\n"
    "       vexa-convert --list FILE.cdb\n"
    "\n"
    "Converts a route or POI file, or sends a route to a Garmin receiver; the extensions\n"
    "choose the formats.\n"
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
    "  garmin:DEVICE  OUT: the route as a track to a Garmin receiver on a serial device\n"
    "  FILE.cdb:NAME  IN or OUT: the route NAME of a route database volume\n"
    "  FILE.cdb       IN or OUT: the POIs of a POI database volume (OUT: made when missing)\n"
    "\n"
    "Options:\n"
    "  -n, --name NAME  the route's name in KML and GPX files and on the receiver (default:\n"
    "                   the name of OUT, and on the receiver the name of IN; OVL files hold\n"
    "                   no name; a receiver takes 15 characters)\n"
    "      --thin       a route of more than 4000 points: keep 4000 spread evenly over it,\n"
    "                   first and last included\n"
    "      --truncate   a route of more than 4000 points: keep its first 4000\n"
    "  -l, --list       list the routes (name, points, when saved) and POIs of a volume\n"
    "  -q, --quiet      print nothing but errors\n"
    "  -v, --verbose    show the upload to a receiver packet by packet\n"
    "  -h, --help       this text\n"
    "  -V, --version    the version\n"
    "\n"
    "A route holds at most 4000 points; a longer one is refused without --thin or --truncate\n"
    "(NMEA logs are always thinned). A route saved as FILE.cdb:NAME replaces one of the same\n"
    "name. Coordinates are WGS84. An upload shows a progress bar when standard error is a\n"
    "terminal. Warnings (what --thin or --truncate kept, a replaced route, skipped lines)\n"
    "go to standard error unless -q is given.\n"
    "Exit status: 0 converted, 1 the conversion failed, 2 wrong command line.\n";

enum Option { kName, kThin, kTruncate, kList, kQuiet, kVerbose };
constexpr vexa::OptionDef kOptions[] = {
    {kName, "name", 'n', true}, {kThin, "thin"}, {kTruncate, "truncate"}, {kList, "list", 'l'},
    {kQuiet, "quiet", 'q'}, {kVerbose, "verbose", 'v'},
};

bool knownTarget(const vexa::Endpoint& target) {
    if (target.kind != vexa::Endpoint::Kind::File) return true;
    return target.format == "kml" || target.format == "ovl" || target.format == "gpx" || target.format == "csv";
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vexa;
    const ToolCommandLine commandLine("vexa-convert", kHelp);
    const ReadOptions read = commandLine.read(kOptions, argc, argv);
    Conversion conversion;
    bool list = false;
    for (const OptionFound& option : read.options) {
        using LongRoute = Conversion::LongRoute;
        using Talk = Conversion::Talk;
        switch (option.id) {
            case kName: conversion.givenName = option.value; break;
            case kThin:
            case kTruncate:
                if (conversion.longRoute != LongRoute::Refuse) commandLine.wrong("give --thin or --truncate, not both");
                conversion.longRoute = option.id == kThin ? LongRoute::Thin : LongRoute::Truncate;
                break;
            case kList: list = true; break;
            case kQuiet:
            case kVerbose:
                if (conversion.talk != Talk::Normal) commandLine.wrong("give --quiet or --verbose, not both");
                conversion.talk = option.id == kQuiet ? Talk::Quiet : Talk::Verbose;
                break;
        }
    }
    if (list) {
        const Endpoint volume = read.operands.size() == 1 ? parseEndpoint(read.operands[0]) : Endpoint{};
        if (volume.kind != Endpoint::Kind::Database || !volume.routeName.empty())
            commandLine.wrong("--list takes one FILE.cdb");
        ConsoleUi ui("vexa-convert");
        return listDatabase(volume.path, ui);
    }
    if (read.operands.size() != 2) commandLine.wrong("give IN and OUT");
    if (conversion.givenName && conversion.givenName->empty()) commandLine.wrong("--name needs a name");
    const Endpoint source = parseEndpoint(read.operands[0]);
    const Endpoint target = parseEndpoint(read.operands[1]);
    if (!knownTarget(target))
        commandLine.wrong(read.operands[1] + ": unknown target format (kml, ovl, gpx, csv)");
    ConsoleUi ui("vexa-convert");
    const ExitStatus status = readSource(source, conversion, ui);
    if (status != kConverted) return status;
    return writeTarget(target, conversion, ui);
}
