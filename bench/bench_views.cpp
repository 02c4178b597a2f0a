// The views: the GPS view per redraw, the route and the trace over a map frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include <QImage>
#include <QPainter>

#include "display/display_settings.h"
#include "display/gps_view.h"
#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "frame/settings.h"
#include "gps/gps_state.h"
#include "gps/satellites.h"
#include "maps/map_table.h"
#include "maps/render/frame_interfaces.h"
#include "platform/testing/manual_clock.h"
#include "routes/guidance.h"
#include "display/route_drawing.h"
#include "routes/route_table.h"
#include "routes/trace_table.h"

namespace vexa {
namespace {

struct NullPresenter : FramePresenter {
    void present(QImage&, const QRect&) override {}
};

// A wandering line of `count` points, all inside the 400 × 400 frame at one pixel per metre.
template <typename Add>
void wander(int count, Add add) {
    for (int i = 0; i < count; ++i) {
        const double t = i * 0.05;
        add(500000.0 + 180.0 * std::sin(t * 0.37) + 15.0 * std::sin(t * 5.0),
            5500000.0 + 180.0 * std::cos(t * 0.23) + 15.0 * std::cos(t * 4.0));
    }
}

ViewProjection projection(const FrameState& frame) { return projectionAt(frame, 500000.0, 5500000.0, 1000); }

void BM_ShowRoute(benchmark::State& state) {
    auto route = std::make_unique<RouteTable>();
    const auto kind = static_cast<LineKind>(state.range(0));
    wander(kRouteCapacity, [&](double x, double y) {
        TrackPoint& p = route->points[static_cast<std::size_t>(route->count++)];
        p.gridX = x;
        p.gridY = y;
        p.lineKind = kind;
    });
    FrameState frame;
    frame.showRoutePoints = state.range(1) != 0;
    GridContext grid;
    Guidance guidance;
    QImage image(400, 400, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        RouteLayer layer{*route, grid, frame, guidance};
        show_route(painter, layer, projection(frame));
    }
}
BENCHMARK(BM_ShowRoute)->Args({0, 0})->Args({4, 0})->Args({0, 1})->Unit(benchmark::kMicrosecond);

void BM_ShowTrace(benchmark::State& state) {
    auto trace = std::make_unique<TraceTable>();
    wander(2000, [&](double x, double y) {
        TracePoint& p = trace->points[static_cast<std::size_t>(trace->next++)];
        p.gridX = x;
        p.gridY = y;
    });
    FrameState frame;
    QImage image(400, 400, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        benchmark::DoNotOptimize(show_trace(painter, *trace, 2000, projection(frame), true));
    }
}
BENCHMARK(BM_ShowTrace)->Unit(benchmark::kMicrosecond);

void BM_ShowGps(benchmark::State& state) {
    GpsState gps;
    LastPosition last;
    SatelliteState sats;
    Settings settings;
    settings.LGsaLogTime = 1;
    GridContext grid;
    MapTable maps;
    auto route = std::make_unique<RouteTable>();
    route->points[0] = TrackPoint{510000.0, 5510000.0};
    route->count = 1;
    Guidance guidance;
    FrameState frame;
    frame.replaying = true;
    DisplaySettings display;
    display.compassStyle = static_cast<int>(state.range(0));
    PositionTexts texts;
    DiagnosticText log;
    ManualClock clock;
    GpsLink link;
    NullPresenter presenter;
    gps.gsaSeen = gps.gsvSeen = gps.fixValid = true;
    gps.speed = 87.3f;
    gps.altitude = 123.0f;
    gps.tripDistance = 45678.0;
    gps.elapsedText.assign("01:23:45");
    gps.gridText.assign("32 512345 5812345");
    for (int i = 0; i < kProfileSize; ++i) {
        gps.speedProfile[static_cast<std::size_t>(i)] = 50 + i % 40;
        gps.altitudeProfile[static_cast<std::size_t>(i)] = 100 + i % 25;
    }
    gps.speedMax = 90;
    gps.altitudeMax = 125;
    gps.averageSpeed = 66.6;
    sats.inViewCount = 12;
    for (int i = 0; i < 12; ++i) sats.inView[static_cast<std::size_t>(i)] = {{}, 2 * i + 1, 20 + 3 * i, i % 2};
    sats.fixMode.assign("3");
    GpsViewContext ctx{gps,   last,     sats,  settings, grid,  maps, *route, guidance,
                       frame, display,  texts, log,      clock, link, presenter};
    ctx.sunTimes = "05:03-21:34";
    GpsViewState view;
    for (auto _ : state) ShowGps(ctx, view);
}
BENCHMARK(BM_ShowGps)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vexa
