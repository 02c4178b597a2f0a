// The Move view by stylus and keys on the real window: the replay buttons where they are
// drawn, and stepping the trace and the route.
#include <QTest>

#include "app/command_ids.h"
#include "app/frame_view.h"
#include "display/replay_buttons.h"
#include "display/replay_thread.h"
#include "tests/app/app_fixture.h"

namespace vexa::testing {
namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 320;
constexpr double kCentreX = 500000.0;
constexpr double kCentreY = 5500000.0;

class MoveViewTest : public AppTest {
protected:
    FrameView& screen() { return window().frameView(); }
    void tapAt(QPoint p) {
        QTest::mouseClick(&screen(), Qt::LeftButton, {}, p);
        settle();
    }
    void tapButton(ReplayButton b) { tapAt(replayButtonLayout(kWidth, kHeight)[b].center()); }
    // A trace of `count` entries going north, 100 m apart, 10 m further each.
    void makeTrace(int count) {
        TraceTable& trace = state().trace;
        for (int i = 0; i < count; ++i) {
            TracePoint& p = trace.points[static_cast<std::size_t>(i)];
            p.gridX = kCentreX;
            p.gridY = kCentreY + 100.0 * i;
            p.distance = 100.0 * i;
        }
        trace.next = count;
    }
    // A route going east: points 300 m apart.
    void makeRoute(int count) {
        for (int i = 0; i < count; ++i)
            state().route.points[static_cast<std::size_t>(i)] = TrackPoint{kCentreX + 300.0 * i, kCentreY};
        state().route.count = count;
    }
    MainWindow& openMove(std::chrono::milliseconds replayPeriod = std::chrono::milliseconds(0)) {
        WindowOptions options;
        options.scale = 1;
        MainWindow& w = open(options, false, replayPeriod);
        state().frame.viewCentre = TrackPoint{kCentreX, kCentreY};
        return w;
    }
    bool replayRuns() { return state().replay.replayDrawing.load(); }
};

// The buttons are drawn where the taps find them: a trace and a route of more than one point
// show fast, start and step; pause only while that replay runs.
TEST_F(MoveViewTest, ReplayButtonsShowWhereTapsFindThemAndDriveTheReplay) {
    MainWindow& w = openMove(std::chrono::milliseconds(5));
    makeTrace(40);
    makeRoute(4);
    run(cmd::MoveView);
    const ReplayButtonLayout layout = replayButtonLayout(kWidth, kHeight);
    const QImage& shown = screen().image();
    const auto drawn = [&](ReplayButton b) {
        const QColor c = shown.pixelColor(layout[b].left() + 2, layout[b].center().y());
        return (c.red() > 120 && c.green() < 90 && c.blue() < 90) || (c.blue() > 120 && c.red() < 90 && c.green() < 90);
    };
    for (ReplayButton b : {ReplayButton::TraceFast, ReplayButton::TraceStart, ReplayButton::TraceStep,
                           ReplayButton::RouteFast, ReplayButton::RouteStart, ReplayButton::RouteStep})
        EXPECT_TRUE(drawn(b)) << static_cast<int>(b);
    EXPECT_FALSE(drawn(ReplayButton::TracePause));
    EXPECT_FALSE(drawn(ReplayButton::RoutePause));

    // Start plays the trace; its pause button holds it, fast makes it jump and skip.
    state().gps.tripDistance = 999.0;
    tapButton(ReplayButton::TraceStart);
    ASSERT_TRUE(replayRuns());
    EXPECT_FALSE(state().replay.playingRoute);
    tapButton(ReplayButton::TracePause);
    EXPECT_TRUE(w.replayThread().paused());
    tapButton(ReplayButton::TraceFast);
    tapButton(ReplayButton::TraceFast);
    EXPECT_TRUE(state().replay.traceJumpMode);
    EXPECT_EQ(state().replay.traceStepCount, 2);
    EXPECT_EQ(state().display.infoPage, 0);  // no tap went through to the screen thirds
    // Step stops the replay and leaves the view on the entry played last, not on the one after.
    tapButton(ReplayButton::TraceStep);
    ASSERT_TRUE(waitFor([&] { return !replayRuns(); }));
    EXPECT_FALSE(w.replayThread().running());
    EXPECT_DOUBLE_EQ(state().frame.viewCentre.gridY, kCentreY + 100.0 * w.replayThread().position());

    // The route: start plays it to its end.
    tapButton(ReplayButton::RouteStart);
    ASSERT_TRUE(replayRuns());
    EXPECT_TRUE(state().replay.playingRoute);
    EXPECT_EQ(state().replay.routeStepCount, 1);
    ASSERT_TRUE(waitFor([&] { return !replayRuns(); }));
    EXPECT_NEAR(state().gps.tripDistance, 900.0, 1e-6);
    // A tap beside the buttons is a screen-third tap.
    tapAt(QPoint(kWidth / 4, 10));
    EXPECT_EQ(state().display.infoPage, 1);
}

// Right and Left step through the trace (wrapping as the digit keys do), and without a trace
// through the route: forwards along the leg ahead, backwards taking the leg behind off the
// distance; the north-up view turns to the leg until the display mode changes.
TEST_F(MoveViewTest, CursorKeysStepTheTraceOrTheRouteAndTheRouteTurnsTheView) {
    MainWindow& w = openMove();
    makeTrace(5);
    run(cmd::MoveView);
    std::vector<int> positions;
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Left}) {
        QTest::keyClick(&w, key);
        positions.push_back(state().trace.replayPos);
    }
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 2, 1, 3, 2}));
    EXPECT_DOUBLE_EQ(state().frame.viewCentre.gridY, kCentreY + 300.0);  // centred on the next entry

    run(kCmdTraceClear);
    makeRoute(4);
    state().frame.viewCentre = state().route.points[1];
    run(cmd::MoveView);
    // Route pixels straight above and below the centre, against those left and right of it.
    const auto routeAcross = [&](bool vertical) {
        const QImage& image = screen().image();
        const QColor background = image.pixelColor(5, 5);
        int count = 0;
        for (int d = 25; d < 100; ++d)
            for (int sign : {-1, 1}) {
                const QPoint p = vertical ? QPoint(kWidth / 2, kHeight / 2 + sign * d)
                                          : QPoint(kWidth / 2 + sign * d, kHeight / 2);
                if (image.pixelColor(p) != background) ++count;
            }
        return count;
    };
    EXPECT_GT(routeAcross(false), routeAcross(true));
    std::vector<int> points;
    std::vector<double> trips;
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Left, Qt::Key_Left}) {
        QTest::keyClick(&w, key);
        settle();
        points.push_back(state().frame.selectedRoutePoint);
        trips.push_back(state().gps.tripDistance);
    }
    EXPECT_EQ(points, (std::vector<int>{1, 2, 1, 0, 2}));
    EXPECT_EQ(trips, (std::vector<double>{300.0, 600.0, 300.0, 0.0, 0.0}));
    EXPECT_TRUE(state().frame.routeStepping);
    EXPECT_GT(routeAcross(true), routeAcross(false));  // the eastward leg points up the screen
    QTest::keyClick(&w, Qt::Key_Right);  // forwards past the last leg: the first point again
    EXPECT_EQ(state().frame.selectedRoutePoint, 0);
    QTest::keyClick(&w, Qt::Key_Return);  // Enter shows the next info page
    EXPECT_EQ(state().display.infoPage, 1);
    run(cmd::MoveStep);
    EXPECT_FALSE(state().frame.routeStepping);
}

}  // namespace
}  // namespace vexa::testing
