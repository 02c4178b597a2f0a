#include "exchange/export_files.h"

#include "exchange/export_format.h"
#include "exchange/file_writing.h"
#include "util/diagnostic_text.h"
#include "platform/clock.h"
#include "platform/ui.h"
#include "routes/poi_record.h"
#include "routes/route_hits.h"
#include "routes/route_table.h"
#include "util/text.h"

namespace vexa {

namespace {

constexpr std::string_view kRouteCaption = "Export Route";
constexpr std::string_view kPoiCaption = "Export POIs";

// Writes one file; "CreateFile %s failed" when it cannot be written.
bool writeExport(ExportContext& context, const std::filesystem::path& file, std::string_view content) {
    if (writeFileReplacing(file, content)) return true;
    AddNmeaListLine(context.diagnostics, strprintf("CreateFile %s failed", file.c_str()));
    return false;
}

std::string timeStamp(const DateTime& t) {
    return strprintf("%4d%02d%02d_%02d%02d", t.year, t.month, t.day, t.hour, t.minute);
}

}  // namespace

std::string routeExportName(const DateTime& local) { return "Track_" + timeStamp(local); }

bool ExportRoute(const RouteTable& route, int& selectedRoutePoint, std::string_view name, ExportContext& context) {
    context.diagnostics.setCurrentOperation("ExportRoute");
    if (route.count <= 0) {
        context.ui.messageBox("Keine Route vorhanden", kRouteCaption);
        return false;
    }
    const std::vector<ExportPoint> points = routeExportPoints(route, context.grid);
    const std::string base = std::string(name);

    const std::filesystem::path ovl = context.folder / (base + ".ovl");
    AddNmeaListLine(context.diagnostics, strprintf("Export Track als Overlay %s", ovl.c_str()));
    if (!writeExport(context, ovl, routeOvlText(points, context.progress))) return false;
    context.ui.messageBox(strprintf("Export Route als Overlay auf %s ok", ovl.c_str()), kRouteCaption);

    const std::filesystem::path kml = context.folder / (base + ".kml");
    AddNmeaListLine(context.diagnostics, strprintf("Export Track als kml %s", kml.c_str()));
    selectedRoutePoint = -1;
    const double km = RouteDistance(route, context.grid, -1, 0) * 0.001;
    if (!writeExport(context, kml, routeKmlText(points, name, km, context.progress))) return false;

    // The GPX beside the KML: the format every other GPS program reads.
    const std::filesystem::path gpx = context.folder / (base + ".gpx");
    AddNmeaListLine(context.diagnostics, strprintf("Export Track als gpx %s", gpx.c_str()));
    const bool gpxWritten = writeExport(context, gpx, routeGpxText(points, name));
    context.ui.messageBox(strprintf("Export Route als kml auf %s ok", kml.c_str()), kRouteCaption);
    return gpxWritten;
}

bool ExportPOIs(const PoiTable& pois, const DateTime& local, ExportContext& context) {
    context.diagnostics.setCurrentOperation("ExportPOIs");
    if (pois.count <= 0) {
        context.ui.messageBox("Keine POIs vorhanden", kPoiCaption);
        return false;
    }
    const std::string stamp = timeStamp(local);
    const auto exportOne = [&](const std::filesystem::path& file, const std::string& content) {
        AddNmeaListLine(context.diagnostics, strprintf("Export POIs auf %s", file.c_str()));
        return writeExport(context, file, content);
    };

    const std::filesystem::path csv = context.folder / ("POI_" + stamp + ".csv");
    if (!exportOne(csv, poiCsvText(pois, context.progress))) return false;
    context.ui.messageBox(strprintf("Export POIs auf %s ok", csv.c_str()), kPoiCaption);

    const std::filesystem::path kml = context.folder / ("poi_" + stamp + ".kml");
    if (!exportOne(kml, poiKmlText(pois, context.grid, local, context.progress))) return false;
    const bool gpxWritten = exportOne(context.folder / ("poi_" + stamp + ".gpx"), poiGpxText(pois, context.grid));
    context.ui.messageBox(strprintf("Export POIs auf %s ok", kml.c_str()), kPoiCaption);
    return gpxWritten;
}

}  // namespace vexa
