// Trace and route replay: leg geometry, the order of played points, what a step draws, the
// digit-key stepping and the replay thread's pause and stop.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <numeric>
#include <thread>
#include <tuple>

#include "display/replay_thread.h"
#include "display/startup_route.h"
#include "display/trace_replay.h"
#include "frame/frame_state.h"
#include "geo/grid_context.h"
#include "gps/gps_state.h"
#include "routes/route_table.h"
#include "routes/trace_table.h"

namespace vexa {
namespace {

TEST(LegGeometry, CourseSubStepsAndLengths) {
    for (const auto& [de, dn, course] : {std::tuple{0, 100, 0.0f}, {100, 0, 90.0f}, {0, -100, 180.0f}, {-100, 0, -90.0f},
                                         {0, 0, 0.0f}, {100, 100, 45.0f}, {100, -100, 135.0f}})
        EXPECT_NEAR(legCourse(de, dn, 1.0), course, 1e-4) << de << " " << dn;
    // One sub-step per ten pixels at least one, at most the limit (10 for a route leg, 20 for a trace's).
    for (const auto& [length, zoom, max, steps] : {std::tuple{40.0, 1.0, 10, 1}, {0.0, 1.0, 10, 1}, {250.0, 1.0, 10, 5},
                                                   {250.0, 0.5, 20, 10}, {5000.0, 1.0, 10, 10}, {5000.0, 1.0, 20, 20}})
        EXPECT_EQ(legSubSteps(200, length, zoom, max), steps) << length << " " << zoom;
    GridContext grid;
    TrackPoint a;
    EXPECT_DOUBLE_EQ(legLength(grid, a, 300.0, 400.0), 500.0);
    grid.PlateCarreeGrid = true;  // 1/10000 degree: 0.01° of latitude is about 1111 m
    a.gridY = 520000.0;
    EXPECT_NEAR(legLength(grid, a, 0.0, 100.0), 1111.0, 2.0);
}

TEST(ReplayOrder, WrappedTracePlaysTheOlderPartFirstAndRoutesStopBeforeTheLastPoint) {
    EXPECT_EQ(traceReplayOrder(5, false, 1), (std::vector<int>{0, 1, 2, 3}));
    std::vector<int> wrapped(1996);  // 4 … 1999, then 0 and 1
    std::iota(wrapped.begin(), wrapped.end(), 4);
    EXPECT_EQ(traceReplayOrder(3, true, 1), (wrapped.push_back(0), wrapped.push_back(1), wrapped));
    EXPECT_EQ(traceReplayOrder(9, false, 3), (std::vector<int>{0, 3, 6}));
    EXPECT_TRUE(routeReplayOrder(1, 1).empty());
    EXPECT_EQ(routeReplayOrder(2, 1), (std::vector<int>{0}));
    EXPECT_EQ(routeReplayOrder(6, 2), (std::vector<int>{0, 2, 4}));
}

struct Recorder : ReplayScreen {
    std::vector<ReplayFrame> frames;
    int gpsShown = 0;
    void composeAt(const ReplayFrame& frame) override { frames.push_back(frame); }
    void showGpsAt(const TracePoint&) override { ++gpsShown; }
};

class ShowIrcTest : public ::testing::Test {
protected:
    FrameState frame;
    GpsState gps;
    RouteTable route;
    std::unique_ptr<TraceTable> trace = std::make_unique<TraceTable>();
    GridContext grid;
    ReplayControl control;
    Recorder screen;
    ReplayRecords records{frame, gps, route, *trace, grid, control, screen};

    void addRoutePoint(double e, double n) { route.points[static_cast<std::size_t>(route.count++)] = TrackPoint{e, n}; }
};

TEST_F(ShowIrcTest, RouteStepAnimatesTheLegAndAddsItToTheTrip) {
    frame.displayMode = DisplayMode::Move;
    addRoutePoint(1000, 1000);
    addRoutePoint(1000, 1250);  // 250 m north: 50 pixels at scale 200, 5 sub-steps
    addRoutePoint(1500, 1250);
    ShowIrcRoute(records, 0, 1);
    ASSERT_EQ(screen.frames.size(), 6u);
    EXPECT_EQ(std::tuple(screen.frames[0].position.gridY, screen.frames[5].position.gridY, screen.frames[3].course),
              std::tuple(1000.0, 1250.0, 0.0f));
    EXPECT_EQ(gps.tripDistance, 250.0);
    // Two steps from the start add both legs and turn to the last one.
    ShowIrcRoute(records, 1, 5);
    EXPECT_EQ(std::tuple(gps.tripDistance, screen.frames.back().course, frame.viewCentre.gridX), std::tuple(750.0, 90.0f, 1000.0));
    // Jump mode draws the point once; the GPS view composes no map.
    control.routeJumpMode = true;
    for (const auto& [mode, frames] : {std::pair{DisplayMode::Move, 1u}, {DisplayMode::Gps, 0u}}) {
        frame.displayMode = mode;
        screen.frames.clear();
        ShowIrcRoute(records, 0, 1);
        EXPECT_EQ(screen.frames.size(), frames);
    }
}

TEST_F(ShowIrcTest, TraceStepTakesTheEntrysStatisticsAndCentresOnTheNext) {
    frame.displayMode = DisplayMode::Move;
    for (int i = 0; i < 3; ++i) {  // long legs: capped at 20 sub-steps
        TracePoint p;
        p.gridX = 2000.0, p.gridY = 3000.0 + 5000.0 * i, p.speed = 36.6 + i, p.altitude = 120.0 + i;
        p.distance = 5000.0 * i, p.elapsedSeconds = 500 * i;
        storeTracePoint(*trace, p, 2000);
    }
    ShowIrcTrace(records, 1);
    EXPECT_EQ(screen.frames.size(), 20u);
    EXPECT_EQ(std::tuple(frame.viewCentre.gridY, gps.tripDistance), std::tuple(13000.0, 5000.0));
    EXPECT_DOUBLE_EQ(gps.averageSpeed, 5000.0 * 3.6 / 500);
    EXPECT_EQ(std::tuple(gps.speedProfile[0], gps.altitudeProfile[0], trace->replayPos), std::tuple(37, 121, 1));
    ShowIrcTrace(records, 2000);  // outside the ring: nothing
    EXPECT_EQ(trace->replayPos, 1);
    frame.displayMode = DisplayMode::Gps;
    ShowIrcTrace(records, 0);
    EXPECT_EQ(screen.gpsShown, 1);
    EXPECT_EQ(gps.averageSpeed, 0.0);  // no time elapsed at the first entry
}

// Forward by the digit, 0 back by ten; count − 2 (1998 in a wrapped ring) ends the trace.
TEST(TraceKeys, DigitsStepAndWrap) {
    auto trace = std::make_unique<TraceTable>();
    trace->next = 10;
    for (const auto& [wrapped, pos, digit, expected] : {std::tuple{false, 2, 3, 5}, {false, 5, 3, 1}, {false, 12, 0, 2},
                                                        {false, 4, 0, 8}, {true, 4, 0, 1998}, {true, 1990, 9, 1}}) {
        trace->wrapped = wrapped;
        trace->replayPos = pos;
        EXPECT_EQ(traceKeyStep(*trace, digit), expected) << pos << " " << digit;
    }
}

TEST(StartupRoute, BuiltInRouteHasItsThirtyEightPoints) {
    const std::vector<TrackPoint> points = parseStartupRoute(startupRouteText());
    ASSERT_EQ(points.size(), 38u);
    EXPECT_NEAR(points.front().lat, 52.3766, 1e-4);  // Hannover Hauptbahnhof
    EXPECT_EQ(points.front().altitude, 50);
    EXPECT_EQ(parseStartupRoute("# x\n9.5,52.5 # y\nbad\n").size(), 1u);
}

// Replay steps whose first one waits inside until released.
struct HeldFirstStep {
    std::mutex mutex;
    std::vector<int> shown;
    std::promise<void> entered, release;
    std::shared_future<void> released = release.get_future().share();
    ReplayThread::Steps steps(std::vector<int> indices) {
        ReplayThread::Steps steps;
        steps.indices = std::move(indices);
        steps.showStep = [this](int i) {
            std::lock_guard<std::mutex>{mutex}, shown.push_back(i);
            if (i == 0) entered.set_value(), released.wait();
        };
        return steps;
    }
};

TEST(ReplayThreadTest, PauseHoldsBeforeTheNextPointAndStopWakesIt) {
    HeldFirstStep held;  // outlives the thread
    ReplayThread thread;
    std::atomic<bool> finished{false};
    ReplayThread::Steps steps = held.steps({0, 1, 2, 3});
    steps.finished = [&] { finished = true; };
    ASSERT_TRUE(thread.start(steps));
    EXPECT_FALSE(thread.start(steps));  // one at a time
    held.entered.get_future().wait();
    thread.setPaused(true);
    held.release.set_value();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ((std::lock_guard(held.mutex), held.shown), std::vector<int>{0});
    ASSERT_TRUE(thread.stop(std::chrono::seconds(10)));
    EXPECT_TRUE(finished.load());
    EXPECT_FALSE(thread.running());
    EXPECT_LE(held.shown.size(), 2u);  // at most one more point after the stop
}

TEST(ReplayThreadTest, StopReturnsAfterItsWaitWhileAStepStillRuns) {
    HeldFirstStep held;  // outlives the thread
    ReplayThread thread;
    ASSERT_TRUE(thread.start(held.steps({0, 1})));
    held.entered.get_future().wait();
    EXPECT_FALSE(thread.stop(std::chrono::milliseconds(20)));  // the step is still inside
    EXPECT_TRUE(thread.running());
    held.release.set_value();
    EXPECT_TRUE(thread.stop(std::chrono::seconds(10)));
    EXPECT_EQ(thread.position(), 0);  // the stop came before the second point
    EXPECT_TRUE(thread.start(held.steps({1})));  // a new replay after the stop
    EXPECT_TRUE(thread.stop(std::chrono::seconds(10)));
}

// The fast buttons raise the stride while the replay runs: from the point shown then on, that
// many indices lie between two shown points.
TEST(ReplayThreadTest, AStrideRaisedDuringTheReplaySkipsTheFollowingPoints) {
    ReplayThread thread;
    std::vector<int> shown;  // written by the replay thread only, read after the stop
    std::atomic<int> stride{1};
    ReplayThread::Steps steps;
    steps.indices = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    steps.stride = [&] { return stride.load(); };
    steps.showStep = [&](int i) { shown.push_back(i), stride = i >= 2 ? 3 : 1; };
    std::promise<void> ended;
    steps.finished = [&] { ended.set_value(); };
    ASSERT_TRUE(thread.start(steps));
    ended.get_future().wait();
    ASSERT_TRUE(thread.stop(std::chrono::seconds(10)));
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 5, 8}));
}

}  // namespace
}  // namespace vexa
