#include "tools/vexa-convert/conversion.h"

#include <cstdio>
#include <iostream>

#include "exchange/export_format.h"
#include "exchange/file_writing.h"
#include "exchange/garmin_link.h"
#include "exchange/garmin_upload.h"
#include "exchange/poi_csv_reader.h"
#include "exchange/route_file_import.h"
#include "exchange/route_import.h"
#include "util/diagnostic_text.h"
#include "geo/grid_refresh.h"
#include "routes/grid_refresh_tables.h"
#include "platform/linux/system_clock.h"
#include "platform/linux/termios_serial_port.h"
#include "routes/route_hits.h"

namespace vexa {

namespace {

void complain(const char* format, const std::string& what) {
    std::fprintf(stderr, "vexa-convert: ");
    std::fprintf(stderr, format, what.c_str());
    std::fprintf(stderr, "\n");
}

void takePois(Conversion& conversion, std::vector<PoiRecord> records) {
    PoiTable& pois = conversion.pois;
    AllocPoiTab(pois, records.size());
    for (PoiRecord& poi : records) pois.records[static_cast<std::size_t>(pois.count++)] = std::move(poi);
    PoiTab_Anpassen(pois, conversion.grid);
}

}  // namespace

Endpoint parseEndpoint(const std::string& argument) {
    Endpoint e;
    if (argument.starts_with("garmin:")) {
        e.kind = Endpoint::Kind::Garmin;
        e.device = argument.substr(7);
        return e;
    }
    const std::size_t cdb = argument.find(".cdb");
    if (cdb != std::string::npos && (cdb + 4 == argument.size() || argument[cdb + 4] == ':')) {
        e.kind = Endpoint::Kind::Database;
        e.path = argument.substr(0, cdb + 4);
        if (cdb + 4 < argument.size()) e.routeName = argument.substr(cdb + 5);
        return e;
    }
    e.path = argument;
    e.format = fileFormatOf(e.path);
    return e;
}

ExitStatus readSource(const Endpoint& source, Conversion& conversion, Ui& ui) {
    if (source.kind == Endpoint::Kind::Garmin) {
        complain("%s: a Garmin receiver can only be a target", source.device);
        return kUsage;
    }
    if (source.kind == Endpoint::Kind::Database) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(source.path, ec)) {
            complain("%s: no such database volume", source.path.string());
            return kFailed;
        }
        if (readDatabase(source, conversion, ui)) return kConverted;
        complain(source.routeName.empty() ? "%s: no POIs in the volume" : "%s: no such route in the volume",
                 source.path.string());
        return kFailed;
    }
    const std::string& format = source.format;
    if (!isRouteFileExtension(format) && format != "csv" && format != "txt" && format != "nmea") {
        complain("%s: unknown source format (kml, ovl, gpx, csv, txt, nmea)", source.path.string());
        return kUsage;
    }
    const auto bytes = readRouteFile(source.path);
    if (!bytes) {
        complain("%s: cannot read the file", source.path.string());
        return kFailed;
    }
    conversion.name = source.path.stem().string();
    if (format == "csv") {
        takePois(conversion, ParsePoiText(*bytes));
        if (conversion.pois.count > 0) return kConverted;
        complain("%s: no POIs in the file", source.path.string());
        return kFailed;
    }
    if (format == "txt" || format == "nmea") {
        if (readNmeaTrack(*bytes, conversion, ui)) return kConverted;
        complain("%s: no positions in the NMEA log", source.path.string());
        return kFailed;
    }
    DiagnosticText diagnostics;
    ImportTarget target{*conversion.route, conversion.grid, ui, diagnostics};
    RouteFileContent content = ImportRouteFile(format, *bytes, target);
    takePois(conversion, std::move(content.waypoints));
    if (!content.route) conversion.route->count = 0;
    return content.route || conversion.pois.count > 0 ? kConverted : kFailed;
}

ExitStatus writeTarget(const Endpoint& target, Conversion& conversion, Ui& ui) {
    if (target.kind == Endpoint::Kind::Garmin) {
        if (conversion.route->count == 0) {
            complain("%s: the source holds no route to send", target.device);
            return kFailed;
        }
        // The route goes as a track named after the source, with the upload's progress lines.
        GarminLink link;
        setGarminTrackName(link, conversion.name);
        TermiosSerialPort port;
        if (uploadRouteToGarmin(port, *conversion.route, conversion.grid, target.device, link.trackName,
                                std::cerr) == 0)
            return kConverted;
        complain("%s: the receiver did not take the whole track", target.device);
        return kFailed;
    }
    if (target.kind == Endpoint::Kind::Database) {
        const bool route = !target.routeName.empty();
        if (route ? conversion.route->count == 0 : conversion.pois.count == 0) {
            complain(route ? "%s: the source holds no route" : "%s: the source holds no POIs", target.path.string());
            return kFailed;
        }
        return writeDatabase(target, conversion, ui) ? kConverted : kFailed;
    }
    const std::string& format = target.format;
    const RouteTable& route = *conversion.route;
    const std::string name = target.path.stem().string();
    const auto points = routeExportPoints(route, conversion.grid);
    std::string text;
    if (format == "ovl" && route.count > 0) {
        text = routeOvlText(points, nullptr);
    } else if (format == "kml" && route.count > 0) {
        text = routeKmlText(points, name, RouteDistance(route, conversion.grid, -1, 0) * 0.001, nullptr);
    } else if (format == "kml" && conversion.pois.count > 0) {
        text = poiKmlText(conversion.pois, conversion.grid, SystemClock().localNow(), nullptr);
    } else if (format == "csv" && conversion.pois.count > 0) {
        text = poiCsvText(conversion.pois, nullptr);
    } else if (format == "gpx") {
        text = gpxText(conversion.pois, conversion.grid, points, name);
    } else if (format == "ovl" || format == "kml" || format == "csv") {
        complain(format == "csv" ? "%s: the source holds no POIs for a CSV file"
                                 : "%s: the source holds no route for this format",
                 target.path.string());
        return kFailed;
    } else {
        complain("%s: unknown target format (kml, ovl, gpx, csv)", target.path.string());
        return kUsage;
    }
    if (writeFileReplacing(target.path, text)) return kConverted;
    complain("%s: cannot write the file", target.path.string());
    return kFailed;
}

}  // namespace vexa
