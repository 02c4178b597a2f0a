// The stylus and the cursor keys on the real window: edge arrows, drags, tap-and-hold with
// the route edit menu, POIs dragged into their volume, accelerating keys, GPS view taps, the
// mouse wheel, and in the Move view the replay buttons and the stepping of trace and route.
#include <QAction>
#include <QMenu>
#include <QTest>

#include "app/command_ids.h"
#include "app/frame_view.h"
#include "display/gps_layout.h"
#include "display/gps_view.h"
#include "display/replay_buttons.h"
#include "display/replay_thread.h"
#include "platform/linux/sqlite_db_store.h"
#include "routes/poi_db.h"
#include "tests/app/app_fixture.h"

namespace vexa::testing {
namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 320;
constexpr double kCentreX = 500000.0;
constexpr double kCentreY = 5500000.0;

class StylusTest : public AppTest {
protected:
    // 240 × 320 device pixels at scale 1, no maps: 200 pixels per 1000 m around the centre.
    MainWindow& openAtCentre(std::chrono::milliseconds replayPeriod = std::chrono::milliseconds(0)) {
        WindowOptions options;
        options.scale = 1;
        MainWindow& w = open(options, false, replayPeriod);
        state().frame.viewCentre = TrackPoint{kCentreX, kCentreY};
        return w;
    }
    MainWindow& openKarte() {
        MainWindow& w = openAtCentre();
        run(cmd::KarteView);
        return w;
    }
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
    bool replayRuns() { return state().replay.replayDrawing.load(); }
    void press(QPoint p) { QTest::mousePress(&screen(), Qt::LeftButton, {}, p); }
    void moveTo(QPoint p) {
        QMouseEvent move(QEvent::MouseMove, p, screen().mapToGlobal(p), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(&screen(), &move);
    }
    void release(QPoint p) { QTest::mouseRelease(&screen(), Qt::LeftButton, {}, p); }
    void dragBy(QPoint from, QPoint by) {
        press(from);
        moveTo(from + by);
        release(from + by);
        settle();
    }
    // Holds the left button still until the hold is recognised.
    void holdAt(QPoint p, const std::function<bool()>& done) {
        press(p);
        EXPECT_TRUE(waitFor(done, 3000));
        release(p);
        settle();
    }
    const TrackPoint& shown() { return state().frame.lastShown; }
    static std::pair<double, double> grid(const TrackPoint& p) { return {p.gridX, p.gridY}; }
    void rightClick(QPoint p) {
        QTest::mouseClick(&screen(), Qt::RightButton, {}, p);
        settle();
    }
};

// Top left pans west and north by half a screen (120 and 160 pixels) in five frames and one more.
TEST_F(StylusTest, EdgeArrowsPanHalfAScreenInSixFramesAndDragsPanTheOtherWay) {
    openKarte();
    state().diagnostics.debugMode = true;
    AddNmeaListLine(state().diagnostics, "--");
    press(QPoint(5, 5));
    EXPECT_EQ(grid(shown()), std::pair(kCentreX - 600.0, kCentreY + 800.0));
    std::string log = state().diagnostics.text();
    log = log.substr(0, log.find("--\n"));  // newest first: what the tap wrote
    EXPECT_EQ(count(log, "show_pos Start"), 6);
    EXPECT_EQ(log.find("WM_LBUTTONDOWN KARTE_WINDOW"), std::string::npos);
    release(QPoint(5, 5));
    // Bottom right (70 pixels above the bottom): east and south.
    QTest::mouseClick(&screen(), Qt::LeftButton, {}, QPoint(235, 255));
    EXPECT_EQ(grid(shown()), std::pair(kCentreX, kCentreY));

    // The map follows the stylus: 10 pixels right and down shows 50 m further west and north.
    dragBy(QPoint(100, 100), QPoint(10, 10));
    EXPECT_EQ(grid(shown()), std::pair(kCentreX - 50.0, kCentreY + 50.0));
    EXPECT_EQ(window().stylus().dragging, 0);
}

TEST_F(StylusTest, TapAndHoldAddsRoutePointsOrOpensTheRouteEditMenuOnAPoint) {
    MainWindow& w = openKarte();
    std::vector<std::string> items;
    int chosen = kCmdLineKindMotorway;
    w.setMenuRunner([&](QMenu& menu) {
        shot(menu, "route-edit-menu.png");
        items.clear();
        for (QAction* a : menu.actions()) items.push_back(a->text().toStdString());
        return chosen;
    });
    // Held on empty map, 20 pixels right of and 10 above the centre: a point 100 m east, 50 m north.
    holdAt(QPoint(140, 150), [&] { return state().route.count == 1; });
    EXPECT_NEAR(state().route.points[0].gridX, kCentreX + 100.0, 1e-6);
    EXPECT_NEAR(state().route.points[0].gridY, kCentreY + 50.0, 1e-6);
    EXPECT_TRUE(items.empty());
    // A right click is a hold at once.
    run(cmd::KarteView);
    rightClick(QPoint(100, 160));
    ASSERT_EQ(state().route.count, 2);
    // On a route point the eight-item menu opens, and its choice is carried out.
    state().frame.viewCentre = TrackPoint{kCentreX, kCentreY};
    run(cmd::KarteView);
    rightClick(QPoint(140, 150));
    EXPECT_EQ(state().route.count, 2);
    EXPECT_EQ(items, (std::vector<std::string>{"Route bis löschen", "Route von löschen", "ab hier blaue Linie",
                                               "ab hier Weg", "ab hier Straße", "ab hier Hauptstraße",
                                               "ab hier Autobahn", "ab hier nicht zeichnen"}));
    EXPECT_EQ(state().route.points[0].lineKind, LineKind::Motorway);
    // Without route points shown nothing can be hit: the hold adds a point.
    run(cmd::ShowRoutePoints);
    items.clear();
    rightClick(QPoint(140, 150));
    EXPECT_EQ(state().route.count, 3);
    EXPECT_TRUE(items.empty());
}

// The point follows the stylus: 10 pixels right and down is 50 m east and 50 m south.
TEST_F(StylusTest, DraggingARoutePointMovesItWithTheStylus) {
    openKarte();
    makeRoute(1);
    run(cmd::KarteView);
    dragBy(QPoint(120, 160), QPoint(10, 10));
    EXPECT_EQ(grid(state().route.points[0]), std::pair(kCentreX + 50.0, kCentreY - 50.0));
    EXPECT_NEAR(state().route.points[0].lat, 49.65, 0.01);  // recomputed from the grid
    EXPECT_DOUBLE_EQ(shown().gridX, kCentreX);               // the view stays

    // The window loses the focus in the middle of a drag: the drag ends there.
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QWidget other;
    press(QPoint(130, 170));
    moveTo(QPoint(140, 180));
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(window().stylus().dragging, 0);
    moveTo(QPoint(150, 190));
    EXPECT_DOUBLE_EQ(state().route.points[0].gridX, kCentreX + 100.0);
}

TEST_F(StylusTest, APoiOfTheDefaultVolumeIsStoredWhereItWasDroppedOthersStay) {
    MainWindow& w = openKarte();
    SqliteDbStore store;
    DbContext db{store, state().diagnostics, w.ui()};
    ASSERT_TRUE(addPoi(db, state().poiDb, state().pois, state().grid, "Turm", {}, {kCentreX, kCentreY}));
    PoiTable& pois = state().pois;
    if (pois.capacity() < 2) pois.records.resize(2);
    pois.records[1] = PoiRecord{"Fremd", kDatumWgs84, 9.0, 49.6, 0.0, kCentreX + 200.0, kCentreY, 7,
                                (dir_ / "fremd.cdb").string()};
    pois.count = 2;
    run(cmd::KarteView);
    dragBy(QPoint(120, 160), QPoint(-20, 0));  // 100 m west
    dragBy(QPoint(160, 160), QPoint(0, 20));   // the other volume's POI: neither moved nor the view
    EXPECT_DOUBLE_EQ(shown().gridX, kCentreX);
    EXPECT_DOUBLE_EQ(state().pois.records[1].gridX, kCentreX + 200.0);

    run(cmd::PoiDbReset);  // read the default volume afresh
    int found = 0;
    for (int i = 0; i < state().pois.count; ++i) {
        const PoiRecord& poi = state().pois.records[static_cast<std::size_t>(i)];
        if (poi.name != "Turm") continue;
        ++found;
        EXPECT_NEAR(poi.gridX, kCentreX - 100.0, 1.0);  // stored as degrees
        EXPECT_NEAR(poi.gridY, kCentreY, 1.0);
    }
    EXPECT_EQ(found, 1);
}

// Held arrow keys step 10, 15, … 50 times 1000 / 200 m; a key-up starts again at 10.
TEST_F(StylusTest, CursorKeysAccelerateInTheMapViewAndAreIgnoredWhileTheDisplayIsOffTheWheelZooms) {
    MainWindow& w = openKarte();
    const double steps[] = {10, 15, 20, 25, 30, 35, 40, 45, 50, 50};
    double expected = kCentreX;
    for (double step : steps) {
        QTest::keyPress(&w, Qt::Key_Left);
        expected += step * 5;
        EXPECT_DOUBLE_EQ(shown().gridX, expected);
    }
    QTest::keyRelease(&w, Qt::Key_Left);
    QTest::keyClick(&w, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(shown().gridY, kCentreY - 50.0);
    QTest::keyClick(&w, Qt::Key_Down);
    EXPECT_DOUBLE_EQ(shown().gridY, kCentreY);

    state().frame.bManualScreenOff = true;
    QTest::keyClick(&w, Qt::Key_Right);
    EXPECT_DOUBLE_EQ(shown().gridX, expected);
    // The wheel zooms as "+" and "-" do: two notches in, one out.
    state().frame.bManualScreenOff = false;
    for (const int delta : {240, -120}) {
        QWheelEvent wheel(QPointF(100, 100), screen().mapToGlobal(QPointF(100, 100)), {}, QPoint(0, delta),
                          Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&screen(), &wheel);
    }
    EXPECT_DOUBLE_EQ(state().frame.zoomFactor, 0.75 * 0.75 * 1.3333333333333333);
}

TEST_F(StylusTest, GpsViewTapsCycleTheCoordinateFormatAndToggleGuidance) {
    openKarte();
    run(cmd::GpsView);
    std::vector<int> formats;
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(&screen(), Qt::LeftButton, {}, QPoint(60, 22));
        formats.push_back(state().display.coordFormat);
    }
    EXPECT_EQ(formats, (std::vector<int>{1, 2, 0}));
    state().grid.PlateCarreeGrid = true;
    state().display.coordFormat = 2;
    QTest::mouseClick(&screen(), Qt::LeftButton, {}, QPoint(60, 22));
    EXPECT_EQ(state().display.coordFormat, 1);
    QTest::mouseClick(&screen(), Qt::LeftButton, {}, QPoint(10, 200));
    EXPECT_TRUE(state().guidance.targetLineOff);
    QTest::keyClick(&window(), Qt::Key_Return);
    EXPECT_FALSE(state().guidance.targetLineOff);
}

// The picture tries the next background colour; the profiles and the trip distance ask the
// next redraw to recompute a maximum or reset the trip. Taps land where the view draws them.
TEST_F(StylusTest, GpsViewAreasTryTheColoursAndResetMaximaAndTheTrip) {
    openKarte();
    GpsState& gps = state().gps;
    gps.speedProfile[10] = 42;
    gps.altitudeProfile[20] = 310;
    gps.speedMax = gps.altitudeMax = 999;
    gps.tripDistance = 1234.0;
    gps.elapsedText.assign("01:02:03");
    run(cmd::GpsView);
    const GpsViewLayout layout = gpsViewLayout({240, 320});
    std::vector<int> colours;
    for (int i = 0; i < 6; ++i) {
        QTest::mouseClick(&screen(), Qt::LeftButton, {}, layout.pictureArea().center());
        colours.push_back(state().settings.iGpsBKColor);
    }
    EXPECT_EQ(colours, (std::vector<int>{1, 2, 3, 4, 0, 1}));

    struct Case {
        QRect area;
        int speedMax, altitudeMax;
        double trip;
    };
    const Case cases[] = {{layout.speedProfileArea(), 42, 999, 1234.0},
                          {layout.altitudeProfileArea(), 42, 310, 1234.0},
                          {layout.tripArea(), 42, 310, 0.0}};
    for (const Case& c : cases) {
        tapAt(c.area.center());
        EXPECT_EQ(std::tuple(gps.speedMax, gps.altitudeMax, gps.tripDistance), std::tuple(c.speedMax, c.altitudeMax, c.trip));
    }
    EXPECT_EQ(gps.elapsedText.view(), "00:00:00");
    open();
    EXPECT_EQ(state().settings.iGpsBKColor, 1) << "the chosen colour is kept for the next start";
}

// Right plays the trace, Down pauses and resumes it, Left stops it; without a replay Down steps
// the trace one entry and shows it.
TEST_F(StylusTest, GpsViewKeysPlayPauseStopAndStepTheTrace) {
    // 400 entries at 100 ms, the empty slots skipped: the replay outlasts the keys on a busy machine.
    MainWindow& w = openAtCentre(std::chrono::milliseconds(100));
    makeTrace(400);
    TraceTable& trace = state().trace;
    trace.wrapped = true;
    run(cmd::GpsView);
    QTest::keyClick(&w, Qt::Key_Down);
    EXPECT_EQ(trace.replayPos, 0);
    EXPECT_NE(std::string(state().gps.gridText.view()).find(" 500000 5500000"), std::string::npos);
    QTest::keyClick(&w, Qt::Key_Right);
    ASSERT_TRUE(replayRuns());
    QTest::keyClick(&w, Qt::Key_Down);
    EXPECT_TRUE(w.replayThread().paused());
    QTest::keyClick(&w, Qt::Key_Down);
    EXPECT_FALSE(w.replayThread().paused());
    QTest::keyClick(&w, Qt::Key_Left);
    EXPECT_TRUE(waitFor([&] { return !replayRuns(); }));
    EXPECT_NE(w.replayThread().position(), 398);  // stopped before its last entry
}

// The NMEA replay's speed: 20× on a first start, then as chosen from the menu or by holding a
// replay button, and kept for the next start.
TEST_F(StylusTest, ReplaySpeedIsChosenFromTheMenuOrAHeldReplayButtonAndKept) {
    replaySpeed_.reset();
    MainWindow& w = openAtCentre();
    EXPECT_EQ(w.session().pace.speed(), 20);
    std::vector<std::string> items;
    std::string pick = "5-fach";
    w.setMenuRunner([&](QMenu& menu) {
        int chosen = 0;
        items.clear();
        for (QAction* a : menu.actions()) {
            items.push_back(a->text().toStdString() + (a->isChecked() ? " *" : ""));
            if (a->text().toStdString() == pick) chosen = a->data().toInt();
        }
        return chosen;
    });
    run(cmd::ReplaySpeed);
    EXPECT_EQ(items, (std::vector<std::string>{"1-fach", "5-fach", "20-fach *", "100-fach", "so schnell wie möglich"}));
    EXPECT_EQ(w.session().pace.speed(), 5);
    makeTrace(40);
    run(cmd::MoveView);
    pick = "so schnell wie möglich";
    const QPoint step = replayButtonLayout(kWidth, kHeight)[ReplayButton::TraceStep].center();
    holdAt(step, [&] { return w.session().pace.speed() == kReplaySpeedMax; });
    release(step);
    EXPECT_EQ(openAtCentre().session().pace.speed(), kReplaySpeedMax);
}

// The buttons are drawn where the taps find them: a trace and a route of more than one point
// show fast, start and step; pause only while that replay runs.
TEST_F(StylusTest, ReplayButtonsShowWhereTapsFindThemAndDriveTheReplay) {
    MainWindow& w = openAtCentre(std::chrono::milliseconds(5));
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
TEST_F(StylusTest, CursorKeysStepTheTraceOrTheRouteAndTheRouteTurnsTheView) {
    MainWindow& w = openAtCentre();
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
