// The trace ring and the route table with its edit commands.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "frame/frame_state.h"
#include "geo/grid.h"
#include "platform/testing/scripted_ui.h"
#include "routes/route_table.h"
#include "routes/trace_table.h"

namespace vexa {
namespace {

struct Tables : ::testing::Test {
    std::unique_ptr<RouteTable> route = std::make_unique<RouteTable>();
    std::unique_ptr<TraceTable> trace = std::make_unique<TraceTable>();
    FrameState frame;
    GridContext grid;
    ScriptedUi ui;

    void fillRoute(int n) {
        for (int i = 0; i < n; ++i) {
            route->points[static_cast<std::size_t>(i)].gridX = i;
            route->points[static_cast<std::size_t>(i)].altitude = i;
        }
        route->count = n;
    }
    void record(int n, long itracemax) {
        for (int i = 0; i < n; ++i) {
            TracePoint p;
            p.gridX = i;
            p.altitude = 100.7;
            storeTracePoint(*trace, p, itracemax);
        }
    }
    std::vector<double> routeX() const {
        std::vector<double> xs;
        for (int i = 0; i < route->count; ++i) xs.push_back(route->points[static_cast<std::size_t>(i)].gridX);
        return xs;
    }
};

TEST_F(Tables, TraceRingWrapsAfterItsLastIndexAndPreparesTheNextSlot) {
    record(2001, 2000);
    EXPECT_EQ(std::tuple(trace->next, trace->wrapped, trace->points[2000].gridX), std::tuple(0, true, 2000.0));
    // The slot after the newest point is cleared.
    EXPECT_EQ(std::tuple(trace->points[0].altitude, trace->points[0].satellitesText.view()), std::tuple(0.0, "0"));
    record(1, 2000);
    EXPECT_EQ(std::tuple(trace->next, trace->points[0].gridX), std::tuple(1, 0.0));
    ASSERT_NE(trace->newest(2000), nullptr);

    // A ring shrunk below the write position never writes past its end.
    trace->next = 1500;
    record(1, 100);
    EXPECT_EQ(trace->next, 0);
}

TEST_F(Tables, TraceToRouteCopiesOldestFirstAndDropsTheLastCopiedPoint) {
    fillRoute(3);
    EXPECT_FALSE(trace2track(*route, *trace, 2000, frame, ui));  // its message: tests/data/window_steps.txt
    EXPECT_EQ(std::tuple(ui.messages().size(), route->count), std::tuple(1u, 3)) << "an empty trace leaves the route";

    record(10, 2000);
    trace->points[5].segmentStart = 1;  // a second GPS session
    ASSERT_TRUE(trace2track(*route, *trace, 2000, frame, ui));
    EXPECT_EQ(routeX(), (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(route->points[static_cast<std::size_t>(i)].lineKind, i == 4 ? LineKind::NotDrawn : LineKind::Blue) << i;
    EXPECT_EQ(route->points[0].altitude, 100) << "whole metres, toward zero";
    EXPECT_EQ(std::tuple(frame.viewCentre.gridX, ui.commands()), std::tuple(0.0, std::vector<int>{kCmdRedrawKarte}));

    trace = std::make_unique<TraceTable>();
    record(2001 + 500, 2000);
    ASSERT_EQ(trace->next, 500);
    ASSERT_TRUE(trace2track(*route, *trace, 2000, frame, ui));
    // Slots 501..1999, then 0..499: 1999 points copied, the last one dropped.
    ASSERT_EQ(route->count, 1998);
    // Slot 0 holds the 2002nd point.
    EXPECT_EQ(std::tuple(route->points[0].gridX, route->points[1498].gridX, route->points[1499].gridX), std::tuple(501.0, 1999.0, 2001.0));
}

TEST_F(Tables, DeletingBeforeAndFromTheSelectedPoint) {
    fillRoute(5);
    frame.selectedRoutePoint = 0;
    DeleteRouteBefore(*route, frame);
    EXPECT_EQ(route->count, 5);
    frame.selectedRoutePoint = 2;
    DeleteRouteBefore(*route, frame);
    EXPECT_EQ(routeX(), (std::vector<double>{2, 3, 4}));
    EXPECT_EQ(std::tuple(route->points[3].gridX, frame.selectedRoutePoint), std::tuple(0.0, 0)) << "freed slots are cleared";
    frame.selectedRoutePoint = 1;
    DeleteRouteFrom(*route, frame);
    EXPECT_EQ(routeX(), (std::vector<double>{2}));
    frame.selectedRoutePoint = 0;
    DeleteRouteFrom(*route, frame);
    EXPECT_EQ(route->count, 0);
    frame.selectedRoutePoint = 3;
    DeleteRouteFrom(*route, frame);  // no valid selection: nothing happens
    EXPECT_EQ(route->count, 0);
}

TEST_F(Tables, ReverseAndReduce) {
    fillRoute(5);
    ReverseRoute(*route);
    EXPECT_EQ(routeX(), (std::vector<double>{4, 3, 2, 1, 0}));
    ReverseRoute(*route);
    ReduceRoute(*route);
    EXPECT_EQ(routeX(), (std::vector<double>{0, 2}));
    fillRoute(1);
    ReduceRoute(*route);
    EXPECT_EQ(route->count, 0);
}

TEST_F(Tables, LineKindFromTheSelectedPointToTheEnd) {
    fillRoute(4);
    frame.selectedRoutePoint = 3;
    SetLineKindFrom(*route, frame, static_cast<LineKind>(lineKindOfCommand(kCmdLineKindMotorway)));
    EXPECT_EQ(std::tuple(route->points[2].lineKind, route->points[3].lineKind), std::tuple(LineKind::Blue, LineKind::Motorway));
    frame.selectedRoutePoint = 1;
    SetLineKindFrom(*route, frame, static_cast<LineKind>(lineKindOfCommand(kCmdLineKindPath)));
    EXPECT_EQ(std::tuple(route->points[1].lineKind, route->points[3].lineKind), std::tuple(LineKind::Path, LineKind::Path));
    EXPECT_EQ(lineKindOfCommand(kCmdRouteReverse), -1);
}

TEST_F(Tables, TapAddsTheGridPositionUnderItOrSaysTheRouteIsFull) {
    // A tap 40 pixels right of and 20 above the middle of a 240 × 300 window (which shows the
    // middle of the 400 × 400 buffer), or of a 400 × 400 one: metres east and north of the
    // view centre.
    const struct {
        double zoom, ratio;
        int mapScale, width, height;
        bool map, plateCarree;
        double east, north;
    } taps[] = {
        {1.0, 1.0, 400, 240, 300, true, false, 100, 50},
        {2.0, 1.0, 400, 240, 300, true, false, 200, 100},  // zoomed out: twice the ground a pixel
        {1.0, 2.0, 400, 240, 300, true, false, 100, 25},   // rows stretched by the map's ratio
        {1.0, 1.0, 0, 240, 300, true, false, 200, 100},    // a map without scale: 200 pixels a km
        {1.0, 1.0, 400, 400, 400, false, false, 200, 100}, // no map: 200 pixels a km
        // No map on the plate carrée grid: rows stretched by 1 / cos(50°).
        {1.0, 1.0, 400, 400, 400, false, true, 200, 60},
    };
    for (const auto& t : taps) {
        route->count = 0;
        grid.PlateCarreeGrid = t.plateCarree;
        frame.viewCentre.gridX = 500000;
        frame.viewCentre.gridY = t.plateCarree ? 500000 : 5500000;  // 50° N in 1/10000 degree
        frame.zoomFactor = t.zoom;
        frame.mapScale = t.mapScale;
        frame.verticalRatio = t.ratio;
        ASSERT_TRUE(AddTrackPoint(*route, frame, grid, ui, {t.width, t.height, t.map}, t.width / 2 + 40, t.height / 2 - 20));
        const TrackPoint& p = route->points[0];
        EXPECT_EQ(std::tuple(p.gridX - 500000, p.gridY - frame.viewCentre.gridY), std::tuple(t.east, t.north))
            << t.zoom << " " << t.ratio << " " << t.mapScale << " " << t.map << " " << t.plateCarree;
    }
    grid.PlateCarreeGrid = false;
    route->count = 0;
    frame.verticalRatio = 1.0;
    ASSERT_TRUE(AddTrackPoint(*route, frame, grid, ui, {240, 300, true}, 120, 150));
    const TrackPoint& p = route->points[0];
    EXPECT_EQ(p.datumCode, kDatumWgs84);
    EXPECT_NEAR(utm2llh({p.gridX, p.gridY}, grid).longitude, p.lon, 1e-9);
    EXPECT_EQ(std::tuple(frame.selectedRoutePoint, frame.lastShown.gridX), std::tuple(0, p.gridX));

    route->count = kRouteCapacity;
    EXPECT_FALSE(AddTrackPoint(*route, frame, grid, ui, {400, 400, false}, 0, 0));
    EXPECT_EQ(route->count, kRouteCapacity);
    EXPECT_EQ(ui.messages().at(0).text, "Track maximal 4000 Punkte");
}

TEST_F(Tables, ClearingRouteAndTraceEmptiesThem) {
    fillRoute(4);
    ClearRoute(*route);
    EXPECT_EQ(std::tuple(route->count, route->points[3].gridX), std::tuple(0, 0.0));

    record(30, 2000);
    trace->replayPos = 12;
    ClearTrace(*trace, 2000);
    EXPECT_EQ(std::tuple(trace->empty(), trace->replayPos, trace->points[10].gridX), std::tuple(true, -1, 0.0));
}

}  // namespace
}  // namespace vexa
