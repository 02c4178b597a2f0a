// Map catalogue scan, frame composition and screen-buffer resampling.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <cmath>

#include <QImage>
#include <QPainter>

#include "display/display_settings.h"
#include "display/screen_output.h"
#include "display/view_overlays.h"
#include "maps/render/view_3d.h"
#include "maps/render/window_turn.h"
#include "frame/settings.h"
#include "gps/gps_state.h"
#include "routes/guidance.h"
#include "routes/poi_record.h"
#include "routes/route_table.h"
#include "routes/trace_table.h"
#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "geo/grid_context.h"
#include "maps/drawing_semaphore.h"
#include "maps/map_catalogue.h"
#include "maps/render/map_frame.h"
#include "maps/render/map_loading.h"
#include "platform/testing/manual_clock.h"
#include "platform/testing/scripted_ui.h"

namespace vexa {
namespace {

struct ScratchDir {
    std::filesystem::path path;
    explicit ScratchDir(const std::string& leaf) {
        path = std::filesystem::temp_directory_path() / ("vexa-bench-" + std::to_string(::getpid())) / leaf;
        std::filesystem::create_directories(path);
    }
    ~ScratchDir() { std::filesystem::remove_all(path.parent_path()); }
};

void BM_CatalogueScan10000(benchmark::State& state) {
    ScratchDir dir("Karten_utm");
    for (int i = 0; i < 10000; ++i) {
        const int res = 25 << (i % 4);
        std::ofstream(dir.path / ("karte_32_" + std::to_string(500000 + (i / 4) * 1000) + "_5600000_" +
                                  std::to_string(res) + "_1000_800.jpg"));
    }
    for (auto _ : state) {
        MapTable table;
        GridContext grid;
        FrameState frame;
        DiagnosticText log;
        ScriptedUi ui;
        MapScanContext ctx{table, grid, frame, log, ui, {}, true};
        benchmark::DoNotOptimize(fill_karte_tab(ctx, dir.path.string()));
    }
}
BENCHMARK(BM_CatalogueScan10000)->Unit(benchmark::kMillisecond);

// Four 1000 × 800 JPEG maps meeting at the position.
struct FourMaps {
    ScratchDir dir{"Karten_utm"};
    MapTable table;
    GridContext grid;
    FrameState frame;
    MapView view;
    DiagnosticText log;
    ScriptedUi ui;
    ManualClock clock;
    DrawingSemaphore semaphore;
    MapCanvas canvas;
    FramePresenter* presenter;
    FrameOverlays overlays;
    GpsLink gps;
    TrackPoint position;

    struct NullPresenter : FramePresenter {
        void present(QImage& image, const QRect&) override { benchmark::DoNotOptimize(image.constBits()); }
    } nullPresenter;

    FourMaps() {
        std::mt19937 random(5);
        for (int i = 0; i < 4; ++i) {
            QImage image(1000, 800, QImage::Format_RGB32);
            QPainter painter(&image);
            image.fill(Qt::white);
            for (int k = 0; k < 400; ++k) {
                painter.setPen(QColor::fromRgb(random() & 0xFFFFFF));
                painter.drawLine(random() % 1000, random() % 800, random() % 1000, random() % 800);
            }
            painter.end();
            const int left = 500000 + (i % 2) * 10000;
            const int top = 5600000 - (i / 2) * 8000;
            image.save(QString::fromStdString((dir.path / ("karte_32_" + std::to_string(left) + "_" +
                                                           std::to_string(top) + "_100_1000_800.jpg")).string()),
                       "JPG", 85);
        }
        MapScanContext scan{table, grid, frame, log, ui, {}, true};
        fill_karte_tab(scan, dir.path.string());
        frame.displayMode = DisplayMode::Move;
        position.gridX = 510000;
        position.gridY = 5592000;
    }

    MapFrameContext context() {
        return MapFrameContext{table, view, frame, grid, canvas, log, ui, clock, &semaphore, nullPresenter,
                               overlays, gps, nullptr};
    }
};

void BM_ShowPosWarm(benchmark::State& state) {
    FourMaps maps;
    maps.frame.zoomFactor = state.range(0) / 100.0;
    MapFrameContext ctx = maps.context();
    show_pos(ctx, maps.position, {});
    for (auto _ : state) show_pos(ctx, maps.position, {});
    state.counters["maps_loaded"] = static_cast<double>(maps.canvas.images.loadedCount());
}
BENCHMARK(BM_ShowPosWarm)->Arg(100)->Arg(150)->Unit(benchmark::kMicrosecond);

// The Move view as it is driven: the four maps, a route of 4000 points and a trace of 2000
// over them, the info line and the info panel, in Move display mode `mode` (course up), at the
// screen size width × height (the arguments).
void moveFrame(benchmark::State& state, int mode) {
    FourMaps maps;
    auto route = std::make_unique<RouteTable>();
    auto trace = std::make_unique<TraceTable>();
    auto pois = std::make_unique<PoiTable>();
    Settings settings;
    GpsState gps;
    LastPosition last;
    Guidance guidance;
    DisplaySettings display;
    display.infoLine = true;
    display.bigInfo = true;
    display.infoPage = 1;
    PositionTexts texts;
    for (int i = 0; i < kRouteCapacity; ++i) {
        const double t = i * 0.01;
        TrackPoint& p = route->points[static_cast<std::size_t>(route->count++)];
        p.gridX = maps.position.gridX + 3000.0 * std::sin(t * 0.7) + 200.0 * std::sin(t * 9.0);
        p.gridY = maps.position.gridY + 3000.0 * std::cos(t * 0.5) + 200.0 * std::cos(t * 7.0);
    }
    for (int i = 0; i < 2000; ++i) {
        const double t = i * 0.01;
        TracePoint p;
        p.gridX = maps.position.gridX - 2500.0 * std::sin(t * 0.9);
        p.gridY = maps.position.gridY + 2500.0 * std::sin(t * 0.6);
        storeTracePoint(*trace, p, 2000);
    }
    settings.itracemax = 2000;
    maps.frame.screen = ScreenSize{static_cast<int>(state.range(0)), static_cast<int>(state.range(1))};
    maps.frame.moveDisplayMode = mode;
    maps.frame.courseUp = true;
    ViewOverlays overlays(ViewRecords{*route, *trace, *pois, settings, gps, last, maps.grid, maps.table, maps.view,
                                      maps.frame, guidance, display, texts});
    ScreenBufferTurner turner;
    MapFrameContext ctx{maps.table, maps.view, maps.frame, maps.grid, maps.canvas, maps.log, maps.ui, maps.clock,
                        &maps.semaphore, maps.nullPresenter, overlays, maps.gps, &turner};
    ctx.screen = ScreenGeometry{maps.frame.screen.width, maps.frame.screen.height, false};
    FrameReadings readings{33.0f, 42.0, 120, 12345.0, "01:02:03"};
    show_pos(ctx, maps.position, readings);
    for (auto _ : state) {
        readings.course += 1.0f;  // course up: each frame turns a little further
        show_pos(ctx, maps.position, readings);
    }
}
void BM_MoveFrameWarm(benchmark::State& state) { moveFrame(state, 2); }
BENCHMARK(BM_MoveFrameWarm)->Args({240, 320})->Args({1280, 800})->Args({2560, 1440})->Unit(benchmark::kMicrosecond);
void BM_MoveFrame3D(benchmark::State& state) { moveFrame(state, 1); }
BENCHMARK(BM_MoveFrame3D)->Args({1280, 800})->Unit(benchmark::kMicrosecond);

// Qt's own work on a screen-sized picture, beside the Move frame of the same size: drawing a
// picture onto the screen, and drawing it turned (nearest pixel, as the Move view turns). A
// turned screen-sized picture leaves the screen's corners empty; `QtRotateFrame` turns a square
// as wide as the screen's diagonal instead, so that, as in the Move view, every screen pixel is
// read from the turned picture.
void BM_QtScreenImage(benchmark::State& state, bool turn, bool square) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const int side = static_cast<int>(std::ceil(std::hypot(w, h)));
    QImage picture(square ? side : w, square ? side : h, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    QImage screen(w, h, QImage::Format_RGB32);
    double angle = 33.0;
    for (auto _ : state) {
        QPainter painter(&screen);
        if (turn) {
            painter.translate(w / 2.0, h / 2.0);
            painter.rotate(angle += 1.0);
            painter.translate(-picture.width() / 2.0, -picture.height() / 2.0);
        }
        painter.drawImage(0, 0, picture);
    }
}
BENCHMARK_CAPTURE(BM_QtScreenImage, QtDrawImage, false, false)->Args({1280, 800})->Args({2560, 1440})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_QtScreenImage, QtRotate, true, false)->Args({1280, 800})->Args({2560, 1440})->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_QtScreenImage, QtRotateFrame, true, true)->Args({1280, 800})->Args({2560, 1440})->Unit(benchmark::kMicrosecond);

void BM_ShowPosCold(benchmark::State& state) {
    FourMaps maps;
    MapFrameContext ctx = maps.context();
    for (auto _ : state) {
        ++maps.table.generation;   // as after a rescan: every image is decoded again
        show_pos(ctx, maps.position, {});
    }
}
BENCHMARK(BM_ShowPosCold)->Unit(benchmark::kMillisecond);

void BM_DecodeOneJpeg(benchmark::State& state) {
    FourMaps maps;
    for (auto _ : state) benchmark::DoNotOptimize(ReadBitmapFromFile(maps.table.rows[0], 0, maps.log));
}
BENCHMARK(BM_DecodeOneJpeg)->Unit(benchmark::kMillisecond);

void BM_TurnWindow(benchmark::State& state) {
    QImage frame(400, 400, QImage::Format_RGB32);
    frame.fill(Qt::darkGreen);
    QImage screen(240, 320, QImage::Format_RGB32);
    for (auto _ : state) turnWindow(frame, static_cast<double>(state.range(0)), screen);
}
BENCHMARK(BM_TurnWindow)->Arg(0)->Arg(33)->Unit(benchmark::kMicrosecond);

// The turn alone at a desktop screen, beside `QtRotateFrame` of the same size: the square as
// wide as the screen's diagonal turned into every screen pixel, a degree further each time.
void BM_TurnWindowScreen(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    const int side = static_cast<int>(std::ceil(std::hypot(w, h)));
    QImage frame(side, side, QImage::Format_RGB32);
    frame.fill(Qt::darkGreen);
    QImage screen(w, h, QImage::Format_RGB32);
    double angle = 33.0;
    for (auto _ : state) turnWindow(frame, angle += 1.0, screen);
}
BENCHMARK(BM_TurnWindowScreen)->Args({1280, 800})->Args({2560, 1440})->Unit(benchmark::kMicrosecond);

void BM_View3D(benchmark::State& state) {
    QImage frame(400, 400, QImage::Format_RGB32);
    frame.fill(Qt::darkGreen);
    QImage picture(400, 400, QImage::Format_RGB32);
    const View3D view(static_cast<int>(state.range(0)), 320, false, 400);
    for (auto _ : state) view.draw(frame, QPoint(0, 0), frame.rect(), picture);
}
BENCHMARK(BM_View3D)->Arg(1)->Arg(4)->Arg(7)->Unit(benchmark::kMicrosecond);

// Panning across 16 maps of 3000 × 3000 pixels: the peak resident size stays near what the
// maps in view need.
void BM_PanLargeMaps(benchmark::State& state) {
    ScratchDir dir("Karten_utm");
    QImage image(3000, 3000, QImage::Format_RGB32);
    image.fill(Qt::gray);
    for (int i = 0; i < 16; ++i)
        image.save(QString::fromStdString((dir.path / ("karte_32_" + std::to_string(500000 + (i % 4) * 30000) + "_" +
                                                       std::to_string(5600000 - (i / 4) * 30000) +
                                                       "_100_3000_3000.png")).string()));
    image = QImage();
    FourMaps maps;
    MapScanContext scan{maps.table, maps.grid, maps.frame, maps.log, maps.ui, {}, true};
    fill_karte_tab(scan, dir.path.string());
    MapFrameContext ctx = maps.context();
    std::size_t mostBitmapBytes = 0;
    for (auto _ : state) {
        for (int step = 0; step < 60; ++step) {
            TrackPoint p;
            p.gridX = 500000 + step * 2000;
            p.gridY = 5600000 - step * 2000;
            show_pos(ctx, p, {});
            mostBitmapBytes = std::max(mostBitmapBytes, maps.canvas.images.heldBytes());
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = usage.ru_maxrss / 1024.0;
    state.counters["most_bitmaps_MB"] = mostBitmapBytes / 1048576.0;
}
BENCHMARK(BM_PanLargeMaps)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexa
