// Route files in and out: reading a 4000-point KML and GPX (the whole reader, grid conversion
// included), and writing 4000 points as OVL, KML and GPX from the route's grid positions, as
// texts and as files.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>

#include <memory>
#include <string>

#include "exchange/export_files.h"
#include "exchange/export_format.h"
#include "exchange/gpx_reader.h"
#include "exchange/kml_reader.h"
#include "exchange/route_import.h"
#include "util/diagnostic_text.h"
#include "geo/grid_context.h"
#include "platform/testing/scripted_ui.h"
#include "routes/route_table.h"
#include "util/text.h"

namespace {

using namespace vexa;

struct Reading {
    std::unique_ptr<RouteTable> route = std::make_unique<RouteTable>();
    GridContext grid;  // UTM zone 32, as on the demo maps
    ScriptedUi ui;
    DiagnosticText diagnostics;
    ImportTarget target{*route, grid, ui, diagnostics};
};

// 3999 points of a drive near Hannover: one short of the limit, so no message is shown.
constexpr int kPoints = 3999;

std::string kmlFile() {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">"
                       "<Document><Placemark><name>r</name><LineString><coordinates>\n";
    for (int i = 0; i < kPoints; ++i) text += strprintf("%.8f,%.8f,%d\n", 9.7 + i * 1e-4, 52.3 + i * 5e-5, 50 + i % 40);
    return text + "</coordinates></LineString></Placemark></Document></kml>\n";
}

std::string gpxFile() {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"b\" "
                       "xmlns=\"http://www.topografix.com/GPX/1/1\"><trk><name>r</name><trkseg>\n";
    for (int i = 0; i < kPoints; ++i)
        text += strprintf("<trkpt lat=\"%.8f\" lon=\"%.8f\"><ele>%d.5</ele><time>2026-06-01T10:%02d:%02dZ</time></trkpt>\n",
                          52.3 + i * 5e-5, 9.7 + i * 1e-4, 50 + i % 40, i / 60 % 60, i % 60);
    return text + "</trkseg></trk></gpx>\n";
}

void BM_ReadKml4000(benchmark::State& state) {
    const std::string file = kmlFile();
    Reading r;
    for (auto _ : state) benchmark::DoNotOptimize(ParseKML(file, r.target));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_ReadKml4000)->Unit(benchmark::kMillisecond);

void BM_ReadGpx4000(benchmark::State& state) {
    const std::string file = gpxFile();
    Reading r;
    for (auto _ : state) benchmark::DoNotOptimize(ParseGPX(file, r.target).routePoints);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_ReadGpx4000)->Unit(benchmark::kMillisecond);

// From the route's grid positions (the inverse grid for each point) to the three texts, as
// "Route -> Overlay und KML" writes them; without the files' system calls.
void BM_ExportRoute4000(benchmark::State& state) {
    Reading r;
    ParseKML(kmlFile(), r.target);
    addImportedPoint(r.target, 9.0, 52.0, 0, true);  // the 4000th point
    for (auto _ : state) {
        const auto points = routeExportPoints(*r.route, r.grid);
        benchmark::DoNotOptimize(routeOvlText(points, nullptr));
        benchmark::DoNotOptimize(routeKmlText(points, "r", 1.0, nullptr));
        benchmark::DoNotOptimize(routeGpxText(points, "r"));
    }
}
BENCHMARK(BM_ExportRoute4000)->Unit(benchmark::kMillisecond);

// The whole command: the three files written through temporary files, fsync and rename.
void BM_ExportRouteFiles4000(benchmark::State& state) {
    Reading r;
    ParseKML(kmlFile(), r.target);
    addImportedPoint(r.target, 9.0, 52.0, 0, true);
    char folder[] = "/tmp/bench_exchange_XXXXXX";
    if (!::mkdtemp(folder)) return state.SkipWithError("no temporary folder");
    ExportContext context{r.grid, r.ui, r.diagnostics, folder};
    int selected = 0;
    for (auto _ : state) benchmark::DoNotOptimize(ExportRoute(*r.route, selected, "r", context));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ExportRouteFiles4000)->Unit(benchmark::kMillisecond);

}  // namespace
