// What vexa-convert moves from its source to its target: a route, POIs, or both, in WGS84 on
// a plate carrée grid (exact in both directions, anywhere on earth).
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "geo/grid_context.h"
#include "routes/poi_record.h"
#include "routes/route_table.h"

namespace vexa {

class Ui;

// Exit status: 0 converted, 1 the conversion failed, 2 the command line is wrong.
enum ExitStatus { kConverted = 0, kFailed = 1, kUsage = 2 };

// A source or target as given on the command line.
struct Endpoint {
    enum class Kind { File, Database, Garmin };
    Kind kind = Kind::File;
    std::filesystem::path path;  // file or database volume
    std::string format;          // file extension: kml, ovl, gpx, csv, txt, nmea
    std::string routeName;       // FILE.cdb:NAME
    std::string device;          // garmin:DEVICE
};

// "garmin:DEVICE", "FILE.cdb[:NAME]" or a file named by its extension.
Endpoint parseEndpoint(const std::string& argument);

struct Conversion {
    GridContext grid = [] {
        GridContext g;
        g.PlateCarreeGrid = true;
        return g;
    }();
    std::unique_ptr<RouteTable> route = std::make_unique<RouteTable>();
    PoiTable pois;
    std::string name;                      // the source's name: its file or its route in a volume
    std::optional<std::string> givenName;  // --name: the route's name in KML and GPX files and on the receiver
    // A source route of more than 4000 points: refused, thinned evenly, or cut after 4000.
    enum class LongRoute { Refuse, Thin, Truncate } longRoute = LongRoute::Refuse;
    // What goes to standard error besides the errors: warnings, and the progress bar of an
    // upload on a terminal (Normal), or the upload's lines packet by packet (Verbose).
    enum class Talk { Quiet, Normal, Verbose } talk = Talk::Normal;
};

// One line on standard error: "vexa-convert: ", then `format` with `what` for its "%s".
void complain(const char* format, const std::string& what);

// Reads the source into `conversion`; reports to `ui` and standard error.
ExitStatus readSource(const Endpoint& source, Conversion& conversion, Ui& ui);
// Writes what the target format holds, or sends the route to the Garmin receiver.
ExitStatus writeTarget(const Endpoint& target, Conversion& conversion, Ui& ui);

// The route as a track to the Garmin receiver on `target.device`.
ExitStatus sendToGarmin(const Endpoint& target, const Conversion& conversion);

// A route (FILE.cdb:NAME) or the POIs (FILE.cdb) of a database volume. A failure is told on
// standard error, in the tool's words.
ExitStatus readDatabase(const Endpoint& source, Conversion& conversion, Ui& ui);
// What the volume holds on standard output: a line per route, "NAME<tab>N points<tab>saved"
// (local time) sorted by name, then "N POIs".
ExitStatus listDatabase(const std::filesystem::path& volume, Ui& ui);
// False when nothing was written, told as a read's failure is. A route that replaces one of
// the same name is written, and told as a warning.
bool writeDatabase(const Endpoint& target, Conversion& conversion, Ui& ui);

// The fixes of an NMEA log that the replay records as trace points, as a route (thinned
// evenly to 4000 points when there are more). False when the log has no fix.
bool readNmeaTrack(const std::string& text, Conversion& conversion, Ui& ui);

}  // namespace vexa
