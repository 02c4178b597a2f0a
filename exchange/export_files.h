// The exports: the route as OVL, KML and GPX ("Route -> Overlay und KML", the route list's
// "Export"), the POI table as CSV, KML and GPX (the POI list's "Export"), written into the log
// folder with progress, screen text and messages.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vexa {

class DiagnosticText;
class ExportProgress;
class Ui;
struct DateTime;
struct GridContext;
struct PoiTable;
struct RouteTable;

struct ExportContext {
    const GridContext& grid;
    Ui& ui;
    DiagnosticText& diagnostics;
    std::filesystem::path folder;        // the log folder
    ExportProgress* progress = nullptr;  // none: no progress bar, no screen text
};

// "Track_%4d%02d%02d_%02d%02d" of the local time: the name command 40153 exports under.
std::string routeExportName(const DateTime& local);

// NAME.ovl, NAME.kml and NAME.gpx. A file that cannot be written ends the export ("CreateFile
// %s failed"); files already written stay. The selected route point becomes none. Returns
// whether all files were written.
bool ExportRoute(const RouteTable& route, int& selectedRoutePoint, std::string_view name, ExportContext& context);

// POI_<time>.csv, poi_<time>.kml and poi_<time>.gpx, every table entry.
bool ExportPOIs(const PoiTable& pois, const DateTime& local, ExportContext& context);

}  // namespace vexa
