// libFuzzer target: arbitrary bytes through the KML (XML and text search), OVL, GPX and POI
// text readers, on a grid chosen by the first byte; what was read is written as every export
// format and read back.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "exchange/export_format.h"
#include "exchange/gpx_reader.h"
#include "exchange/kml_reader.h"
#include "exchange/ovl_reader.h"
#include "exchange/poi_csv_reader.h"
#include "exchange/route_import.h"
#include "util/diagnostic_text.h"
#include "geo/grid_refresh.h"
#include "routes/grid_refresh_tables.h"
#include "platform/clock.h"
#include "platform/testing/scripted_ui.h"
#include "routes/route_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vexa;
    if (size == 0) return 0;
    const std::uint8_t flags = data[0];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    GridContext grid;
    grid.LocalDatumGrid = flags & 1;
    grid.Ed50Datum = flags & 2;
    grid.PlateCarreeGrid = flags & 4;
    auto route = std::make_unique<RouteTable>();
    ScriptedUi ui;
    DiagnosticText diagnostics;
    ImportTarget target{*route, grid, ui, diagnostics};
    PoiTable pois;

    switch ((flags >> 3) & 3) {
    case 0: ParseKML(bytes, target); ParseKMLText(bytes, target); break;
    case 1: parseOVL(bytes, target); break;
    case 2: {
        std::vector<PoiRecord> waypoints = ParseGPX(bytes, target).waypoints;
        AllocPoiTab(pois, waypoints.size());
        for (auto& w : waypoints) pois.records[static_cast<std::size_t>(pois.count++)] = std::move(w);
        break;
    }
    default: {
        std::vector<PoiRecord> records = ParsePoiText(bytes);
        AllocPoiTab(pois, records.size());
        for (auto& r : records) pois.records[static_cast<std::size_t>(pois.count++)] = std::move(r);
    }
    }
    PoiTab_Anpassen(pois, grid);

    const auto points = routeExportPoints(*route, grid);
    const std::string kml = routeKmlText(points, "f", 1.0, nullptr);
    const std::string gpx = gpxText(pois, grid, points, "f");
    const std::string csv = poiCsvText(pois, nullptr);
    poiKmlText(pois, grid, DateTime{}, nullptr);
    routeOvlText(points, nullptr);

    // The formats written are read back whole. Only on plate carrée on WGS84 does every point
    // convert: far from a UTM zone's meridian the inverse grid gives up (latitude 102.4).
    const int count = route->count;
    const bool exact = grid.PlateCarreeGrid && !grid.LocalDatumGrid;
    if (ParseKML(kml, target) != (count > 0) && exact) __builtin_trap();
    if (exact && route->count != count) __builtin_trap();
    ParseGPX(gpx, target);
    if (ParsePoiText(csv).size() > static_cast<std::size_t>(pois.count)) __builtin_trap();
    return 0;
}
