#include "tools/vexa-convert/conversion.h"

#include <cstdio>
#include <cstring>

#include "exchange/export_format.h"
#include "exchange/file_writing.h"
#include "exchange/poi_csv_reader.h"
#include "exchange/route_file_import.h"
#include "exchange/route_import.h"
#include "util/diagnostic_text.h"
#include "geo/grid_refresh.h"
#include "routes/grid_refresh_tables.h"
#include "platform/linux/system_clock.h"
#include "platform/silent_ui.h"
#include "routes/route_hits.h"

namespace vexa {

void complain(const char* format, const std::string& what) {
    std::fprintf(stderr, "vexa-convert: ");
    std::fprintf(stderr, format, what.c_str());
    std::fprintf(stderr, "\n");
}

namespace {

void takePois(Conversion& conversion, std::vector<PoiRecord> records) {
    PoiTable& pois = conversion.pois;
    AllocPoiTab(pois, records.size());
    for (PoiRecord& poi : records) pois.records[static_cast<std::size_t>(pois.count++)] = std::move(poi);
    PoiTab_Anpassen(pois, conversion.grid);
}

// A reader's problem in the tool's words; nothing for a cut route, told with what was kept.
std::string problemText(ImportProblem problem) {
    switch (problem) {
        case ImportProblem::NotXml: return "not valid XML";
        case ImportProblem::BinaryOverlay: return "a binary overlay; only text overlays (XKoord/YKoord lines) can be read";
        case ImportProblem::NoRoute: return "no route in the file";
        case ImportProblem::UnclosedCoordinates: return "KML format not recognised: <coordinates> without </coordinates>";
        case ImportProblem::None:
        case ImportProblem::RouteCut: break;
    }
    return "";
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
        return readDatabase(source, conversion, ui);
    }
    const std::string& format = source.format;
    if (!isRouteFileExtension(format) && format != "csv" && format != "txt" && format != "nmea") {
        complain("%s: unknown source format (kml, ovl, gpx, csv, txt, nmea)", source.path.string());
        return kUsage;
    }
    const InputFile input = readRouteFile(source.path);
    if (!input) {
        complain("%s", source.path.string() + ": cannot read the file: " + inputProblemText(input));
        return kFailed;
    }
    const std::string& bytes = input.bytes;
    conversion.name = source.path.stem().string();
    if (format == "csv") {
        PoiText text = ParsePoiText(bytes);
        for (const int line : text.unreadableLines)
            if (conversion.talk != Conversion::Talk::Quiet) complain("%s: coordinates unreadable or out of range, line skipped", source.path.string() + ":" + std::to_string(line));
        takePois(conversion, std::move(text.pois));
        if (conversion.pois.count > 0) return kConverted;
        complain("%s: no POIs in the file", source.path.string());
        return kFailed;
    }
    if (format == "txt" || format == "nmea") {
        if (readNmeaTrack(bytes, conversion, ui)) return kConverted;
        complain("%s: no positions in the NMEA log", source.path.string());
        return kFailed;
    }
    SilentUi silent;  // the readers' own messages; the tool says each problem in its words
    DiagnosticText diagnostics;
    ImportTarget target{*conversion.route, conversion.grid, silent, diagnostics};
    target.countAll = true;  // a route that does not fit is known with its length
    RouteFileContent content = ImportRouteFile(format, bytes, target);
    ImportProblem problem = target.problem;
    std::string kept;  // how a long route was made to fit
    // Asked of the route, not of the problem: a KML may be cut and then end in a broken piece.
    if (routeCut(target)) {
        using LongRoute = Conversion::LongRoute;
        if (conversion.longRoute == LongRoute::Refuse) {
            complain("%s", source.path.string() + ": the route has " + std::to_string(target.offered) +
                               " points, a route at most " + std::to_string(kRouteCapacity) +
                               "; give --thin or --truncate");
            return kFailed;
        }
        const bool thin = conversion.longRoute == LongRoute::Thin;
        if (thin) {
            ImportTarget thinned{*conversion.route, conversion.grid, silent, diagnostics};
            thinned.spreadOver = target.offered;
            content = ImportRouteFile(format, bytes, thinned);
            problem = thinned.problem;
        }
        kept = "the route has " + std::to_string(target.offered) + " points, " +
               (thin ? "kept " + std::to_string(kRouteCapacity) + " spread evenly over it"
                     : "kept the first " + std::to_string(kRouteCapacity));
    }
    takePois(conversion, std::move(content.waypoints));
    if (!content.route) conversion.route->count = 0;
    const bool converted = content.route || conversion.pois.count > 0;
    if (converted && conversion.talk == Conversion::Talk::Quiet) return kConverted;  // no errors
    std::string said = problemText(problem);
    if (!converted && said.empty()) said = "no route in the file";  // never a failure without a word
    for (const std::string& line : {said, kept})
        if (!line.empty()) complain("%s", source.path.string() + ": " + line);
    return converted ? kConverted : kFailed;
}

ExitStatus writeTarget(const Endpoint& target, Conversion& conversion, Ui& ui) {
    if (target.kind == Endpoint::Kind::Garmin) {
        if (conversion.route->count == 0) {
            complain("%s: the source holds no route to send", target.device);
            return kFailed;
        }
        std::error_code ec;
        if (!std::filesystem::exists(target.device, ec)) {
            complain("%s: no such device", target.device);
            return kFailed;
        }
        return sendToGarmin(target, conversion);
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
    const std::string name = conversion.givenName.value_or(target.path.stem().string());
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
    int error = 0;
    if (writeFileReplacing(target.path, text, &error)) return kConverted;
    complain("%s", target.path.string() + ": cannot write the file: " + std::strerror(error));
    return kFailed;
}

}  // namespace vexa
