// The route and POI databases on SQLite volumes in a temporary folder, and the POIs drawn
// over a frame.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "geo/grid_context.h"
#include "platform/linux/sqlite_db_store.h"
#include "platform/testing/scripted_ui.h"
#include "routes/poi_db.h"
#include "routes/poi_import.h"
#include "routes/poi_record.h"
#include "routes/route_db.h"
#include "display/route_drawing.h"
#include "routes/route_table.h"
#include "util/text.h"

namespace vexa {
namespace {

// A fresh VEXA folder under /tmp for the whole run.
struct Folder {
    std::filesystem::path path;
    Folder() {
        char name[] = "/tmp/vexa-bench-XXXXXX";
        path = ::mkdtemp(name);
        ::setenv("VEXA_HOME", path.c_str(), 1);
        std::filesystem::create_directories(path / "vexa");
    }
    ~Folder() { std::filesystem::remove_all(path); }
};

struct Db {
    Folder folder;
    SqliteDbStore store;
    DiagnosticText log;
    ScriptedUi ui;  // answers "Route überschreiben ?" with OK
    DbContext db{store, log, ui};
    GridContext grid;
    RouteDb routes;
    std::unique_ptr<RouteTable> route = std::make_unique<RouteTable>();

    void fillRoute(int n) {
        route->count = n;
        for (int i = 0; i < n; ++i) route->points[static_cast<std::size_t>(i)] = TrackPoint{550000.0 + i * 10.0, 5800000.0 + i * 7.0};
    }
};

void BM_SaveRoute3999(benchmark::State& state) {
    Db d;
    d.fillRoute(3999);
    for (auto _ : state) {
        if (!routeStored(DlgRouteSpeichern(d.db, d.routes, *d.route, d.grid, "lang", nullptr)))
            state.SkipWithError("not saved");
        d.ui.clear();
    }
}
BENCHMARK(BM_SaveRoute3999)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadRoute3999(benchmark::State& state) {
    Db d;
    d.fillRoute(3999);
    DlgRouteSpeichern(d.db, d.routes, *d.route, d.grid, "lang", nullptr);
    for (auto _ : state) {
        d.route->count = 0;
        d.route->name = "lang";
        loadNamedRoute(d.db, d.routes, *d.route, d.grid, nullptr);
        if (d.route->count != 3999) state.SkipWithError("not loaded");
    }
}
BENCHMARK(BM_LoadRoute3999)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ListRoutes1000(benchmark::State& state) {
    Db d;
    {
        auto volume = d.store.mount(d.routes.volumePath, MountMode::OpenAlways).volume;
        volume->begin();
        for (int r = 0; r < 1000; ++r) {
            const std::string name = strprintf("Route %04d", r);
            volume->create(name, kRouteDbType, kSortProperty);
            const DbOid database = *volume->find(name);
            for (int i = 0; i < 50; ++i)
                WriteDBRecord(d.db, *volume, database, strprintf("track%04d", i), '2', 9.7, 52.4, 0, 0);
        }
        volume->commit();
    }
    for (auto _ : state) {
        if (!CreateListRoutenView(d.db, d.routes, true) || d.routes.entries.size() != 1000)
            state.SkipWithError("not listed");
    }
}
BENCHMARK(BM_ListRoutes1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadPoiVolume10000(benchmark::State& state) {
    Db d;
    std::string csv;
    for (int i = 0; i < 10000; ++i) csv += strprintf("Punkt %d;2;%.5f;%.5f;0\n", i, 9.0 + (i % 100) * 0.01, 52.0 + (i / 100) * 0.01);
    const auto volume = ImportDB(d.db, csv, d.folder.path / "viele.csv", nullptr);
    PoiDb pois;
    pois.currentVolume = *volume;
    PoiTable table;
    for (auto _ : state) {
        table = PoiTable{};
        pois.loadedVolumes.clear();
        if (CreateListPoiView(d.db, pois, table, d.grid) != 10000) state.SkipWithError("not read");
    }
}
BENCHMARK(BM_ReadPoiVolume10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// 10 000 POIs on a 100 × 100 grid, 40 m apart east and 20 m north; the 400 × 400 frame at
// scale 1000 (400 m) holds 200 of them.
void BM_DrawPois10000With200InView(benchmark::State& state) {
    PoiTable table;
    AllocPoiTab(table, 10000);
    for (int i = 0; i < 10000; ++i) {
        PoiRecord& p = table.records[static_cast<std::size_t>(i)];
        p.name = strprintf("Punkt %d", i);
        p.gridX = 500000.0 + (i % 100) * 40.0;
        p.gridY = 5500000.0 + (i / 100) * 20.0;
        p.dbPath = "default";
    }
    table.count = 10000;
    FrameState frame;
    const ViewProjection view = projectionAt(frame, 500000.0 + 2010.0, 5500000.0 + 1010.0, 1000);
    int shown = 0;
    for (int i = 0; i < 10000; ++i) {
        const ScreenPoint p = view.project(table.records[static_cast<std::size_t>(i)].gridX, table.records[static_cast<std::size_t>(i)].gridY);
        shown += std::abs(p.x - 200) < 200 && std::abs(p.y - 200) < 200;
    }
    state.counters["in_view"] = shown;
    QImage image(400, 400, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        show_Poi(painter, table, view, 0, "default");
    }
}
BENCHMARK(BM_DrawPois10000With200InView)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vexa
