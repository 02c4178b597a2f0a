// The stylus and the keys on the real window. Scripts of events (tests/data/window_input.txt)
// print what they changed; the replays, the POI volumes and the focus get tests of their own.
#include <QAction>
#include <QMenu>
#include <QTest>

#include "app/command_ids.h"
#include "app/frame_view.h"
#include "display/gps_layout.h"
#include "display/replay_buttons.h"
#include "display/replay_thread.h"
#include "platform/linux/sqlite_db_store.h"
#include "routes/poi_db.h"
#include "tests/app/app_fixture.h"
#include "tests/support/golden_file.h"
#include "util/text.h"

namespace vexa::testing {
namespace {

constexpr double kCentreX = 500000.0;
constexpr double kCentreY = 5500000.0;

std::vector<std::string> split(const std::string& text, const std::string& by) {
    std::vector<std::string> parts;
    for (std::size_t from = 0, to = 0; to != std::string::npos; from = to + by.size())
        parts.push_back(text.substr(from, (to = text.find(by, from)) - from));
    return parts;
}

class StylusTest : public AppTest {
protected:
    int pick_ = 0;  // the menu item the next pop-up menus choose, from 1; 0 none
    bool maps_ = false;  // the demo maps rather than none
    std::string menu_;

    // 240 × 320 device pixels at scale 1, no maps: 200 pixels per 1000 m around the centre.
    MainWindow& openAtCentre(bool oldKeys = false, std::chrono::milliseconds replayPeriod = {}) {
        WindowOptions options;
        options.scale = 1;
        options.oldKeys = oldKeys;
        if (maps_) options.maps = demoMaps();
        MainWindow& w = open(options, true, replayPeriod);
        state().frame.viewCentre = state().frame.lastShown = TrackPoint{kCentreX, kCentreY};
        state().frame.selectedRoutePoint = -1;
        w.setMenuRunner([this](QMenu& menu) {
            menu_.clear();
            for (QAction* a : menu.actions())
                menu_ += (menu_.empty() ? "" : "/") + a->text().toStdString() + (a->isChecked() ? " *" : "");
            return pick_ > 0 ? menu.actions().at(pick_ - 1)->data().toInt() : 0;
        });
        return w;
    }
    FrameView& screen() { return window().frameView(); }
    void mouse(QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton) {
        QMouseEvent event(type, p, screen().mapToGlobal(p), type == QEvent::MouseMove ? Qt::NoButton : button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : button, {});
        QApplication::sendEvent(&screen(), &event);
    }
    // A trace of `count` entries going north, 100 m apart; a route going east, 300 m apart.
    void makeTrace(int count) {
        for (int i = 0; i < count; ++i) {
            TracePoint& p = state().trace.points[static_cast<std::size_t>(i)];
            std::tie(p.gridX, p.gridY, p.distance) = std::tuple(kCentreX, kCentreY + 100.0 * i, 100.0 * i);
        }
        state().trace.next = count;
    }
    void makeRoute(int count) {
        for (int i = 0; i < count; ++i)
            state().route.points[static_cast<std::size_t>(i)] = TrackPoint{kCentreX + 300.0 * i, kCentreY};
        state().route.count = count;
    }
    bool replayRuns() { return state().replay.replayDrawing.load(); }
    void tapButton(ReplayButton b) {
        QTest::mouseClick(&screen(), Qt::LeftButton, {}, replayButtonLayout(240, 320)[b].center());
        settle();
    }

    // What the scripts look at, each as name=value.
    std::vector<std::pair<std::string, std::string>> snapshot() {
        const AppState& s = state();
        const FrameState& f = s.frame;
        const auto rel = [](double x, double y) { return strprintf("%g,%g", x - kCentreX, y - kCentreY); };
        const char* views[] = {"Nmea", "Gps", "Move", "Karte"};
        std::string timers;
        for (int k = 1; k <= 4; ++k)
            if (window().input().hardwareKeys().timerActive(k)) timers += std::to_string(k);
        const std::string nmea = s.diagnostics.text().substr(0, s.diagnostics.text().find_first_of("\r\n"));
        std::vector<std::pair<std::string, std::string>> fields = {
            {"view", views[static_cast<int>(f.displayMode.load())]},
            {"mode", std::to_string(f.moveDisplayMode)},
            {"info", std::to_string(s.display.infoPage)},
            {"shown", rel(f.lastShown.gridX, f.lastShown.gridY)},
            {"centre", rel(f.viewCentre.gridX, f.viewCentre.gridY)},
            {"zoom", strprintf("%g", f.zoomFactor)},
            {"scale", std::to_string(f.mapScale)},
            {"notice", window().frameView().notice().toStdString()},
            {"drag", std::to_string(window().input().stylus().dragging)},
            {"route", std::to_string(s.route.count)},
            {"sel", std::to_string(f.selectedRoutePoint)},
            {"stepping", std::to_string(f.routeStepping)},
            {"trip", strprintf("%g", s.gps.tripDistance)},
            {"fmt", std::to_string(s.display.coordFormat)},
            {"colour", std::to_string(s.settings.iGpsBKColor)},
            {"guide", std::to_string(s.guidance.targetLineOff)},
            {"speedMax", std::to_string(s.gps.speedMax)},
            {"altMax", std::to_string(s.gps.altitudeMax)},
            {"elapsed", std::string(s.gps.elapsedText.view())},
            {"trace", std::to_string(s.trace.next)},
            {"pos", std::to_string(s.trace.replayPos)},
            {"screen", strprintf("%d%d%d", f.bAutoScreenOn.load(), f.bManualScreenOff.load(), screen().blank())},
            {"act", s.gps.lastActivityTick.load() == s.clock.tickCount() ? "now" : "before"},
            {"timers", timers},
            {"hkorr", std::to_string(s.settings.iHKorrektur)},
            {"debug", std::to_string(s.diagnostics.debugMode)},
            {"nmea", nmea},
            {"msg", messages().empty() ? "" : messages().back()},
            {"menu", menu_},
            {"beeps", std::to_string(window().ui().beeps())},
            {"active", std::to_string(f.active)},
            {"window", std::to_string(window().isVisible())}};
        for (int i = 0; i < std::min(s.route.count, 3); ++i) {
            const TrackPoint& p = s.route.points[static_cast<std::size_t>(i)];
            const int kind = static_cast<int>(p.lineKind);
            fields.emplace_back(strprintf("r%d", i), rel(p.gridX, p.gridY) + strprintf(" %.2f kind%d", p.lat, kind));
        }
        return fields;
    }
    // The fields that differ from `before`, or "-".
    std::string changes(const std::vector<std::pair<std::string, std::string>>& before) {
        std::string out;
        for (const auto& [name, value] : snapshot()) {
            const auto was = std::find_if(before.begin(), before.end(), [&](const auto& f) { return f.first == name; });
            if (was == before.end() || was->second != value) out += (out.empty() ? "" : " ") + name + "=" + value;
        }
        return out.empty() ? "-" : out;
    }
    // Runs a script of "; "-separated events ("N*event" repeats one), the fields it changed
    // after each "." and at the end, joined by " | ".
    std::string play(const std::string& script) {
        std::vector<std::string> events = split(script, "; ");
        const bool oldKeys = !events.empty() && events.front() == "old";
        if (oldKeys) events.erase(events.begin());
        maps_ = !events.empty() && events.front() == "maps";
        if (maps_) events.erase(events.begin());
        if (!events.empty() && events.front().starts_with("hardware key 1 ")) {
            storage().writeString("sHardwareKey1", events.front().substr(15));
            events.erase(events.begin());
        }
        pick_ = 0;
        menu_.clear();
        MainWindow& w = openAtCentre(oldKeys);
        WindowInput& input = w.input();
        const auto before = snapshot();
        std::string out;
        for (std::string event : events) {
            int times = 1;
            if (const auto star = event.find('*'); star != std::string::npos && star < 3) {
                times = std::stoi(event.substr(0, star));
                event = event.substr(star + 1);
            }
            const std::vector<std::string> a = split(event, " ");
            const auto n = [&](std::size_t i) { return std::stoi(a.at(i)); };
            const auto at = [&] { return QPoint(n(1), n(2)); };
            const auto key = [&](int i) { return QKeySequence::fromString(QString::fromStdString(a.at(i)))[0]; };
            const std::string& verb = a.at(0);
            const std::map<std::string, int> commands = {{"karte", cmd::KarteView}, {"move", cmd::MoveView},
                                                         {"gps", cmd::GpsView},     {"nmea", cmd::NmeaView},
                                                         {"movestep", cmd::MoveStep}, {"routes", cmd::ShowRoutePoints}};
            const GpsViewLayout gps = gpsViewLayout({240, 320});
            const std::map<std::string, QRect> areas = {
                {"picture", gps.pictureArea()},   {"speed", gps.speedProfileArea()},
                {"trip", gps.tripArea()},         {"altitude", gps.altitudeProfileArea()},
                {"coords", gps.coordinateLine()}, {"guidance", gps.guidanceToggle()}};
            for (int t = 0; t < times; ++t) {
                if (verb == ".") out += (out.empty() ? "" : " | ") + changes(before);
                else if (commands.contains(verb)) run(commands.at(verb));
                else if (verb == "click") QTest::mouseClick(&screen(), Qt::LeftButton, {}, at());
                else if (verb == "rclick") QTest::mouseClick(&screen(), Qt::RightButton, {}, at());
                else if (verb == "area") QTest::mouseClick(&screen(), Qt::LeftButton, {}, areas.at(a.at(1)).center());
                else if (verb == "press") mouse(QEvent::MouseButtonPress, at());
                else if (verb == "to") mouse(QEvent::MouseMove, at());
                else if (verb == "release") mouse(QEvent::MouseButtonRelease, at());
                else if (verb == "hold") {
                    mouse(QEvent::MouseButtonPress, at());
                    EXPECT_TRUE(waitFor([&] { return input.stylus().dragging == 0; }, 3000)) << script;
                    mouse(QEvent::MouseButtonRelease, at());
                } else if (verb == "key" && a.at(1).size() == 1) QTest::keyClick(&w, a.at(1)[0]);
                else if (verb == "key") QTest::keyClick(&w, key(1).key(), key(1).keyboardModifiers());
                else if (verb == "down") QTest::keyPress(&w, key(1).key());
                else if (verb == "up") QTest::keyRelease(&w, key(1).key());
                else if (verb == "char") input.characterKey(a.at(1)[0]);
                else if (verb == "hw" || verb == "hwlong") {  // "hwlong": held until the long press acts
                    input.hardwareKey(n(1), true);
                    const auto fired = [&] { return verb == "hw" || !input.hardwareKeys().timerActive(n(1)); };
                    EXPECT_TRUE(waitFor(fired, 5000));
                    manualClock_.advance(static_cast<std::uint32_t>(n(2)));
                    input.hardwareKey(n(1), false);
                } else if (verb == "wheel") {
                    QWheelEvent wheel(QPointF(100, 100), screen().mapToGlobal(QPointF(100, 100)), {}, QPoint(0, n(1)),
                                      Qt::NoButton, {}, Qt::NoScrollPhase, false);
                    QApplication::sendEvent(&screen(), &wheel);
                } else if (verb == "trace") makeTrace(n(1));
                else if (verb == "route") makeRoute(n(1));
                else if (verb == "centre") state().frame.viewCentre = TrackPoint{kCentreX + n(1), kCentreY + n(2)};
                else if (verb == "heights") {
                    for (std::size_t i = 1; i < a.size(); ++i) state().route.points[i - 1].altitude = n(i);
                } else if (verb == "plate") state().grid.PlateCarreeGrid = true;
                else if (verb == "fmt") state().display.coordFormat = n(1);
                else if (verb == "off") state().frame.bManualScreenOff = true;
                else if (verb == "dark") state().frame.bAutoScreenOn = false;
                else if (verb == "error") ReportApiError(state().diagnostics, "ReadFile", 5, "COM1:");
                else if (verb == "pick") pick_ = n(1);
                else if (verb == "profiles") {
                    GpsState& g = state().gps;
                    g.speedProfile[10] = 42;
                    g.altitudeProfile[20] = 310;
                    g.speedMax = g.altitudeMax = 999;
                    g.tripDistance = 1234.0;
                    g.elapsedText.assign("01:02:03");
                } else if (verb == "reopen") openAtCentre(oldKeys);
                else ADD_FAILURE() << "unknown event " << event;
                settle();
            }
        }
        return out + (out.empty() ? "" : " | ") + changes(before);
    }
};

TEST_F(StylusTest, ScriptsOfTapsDragsAndKeysChangeWhatTheirRecordsSay) {
    const auto record = [&](const std::string& script) { return play(script); };
    EXPECT_GT(compareGoldenFile(sourceDir() / "tests/data/window_input.txt", record), 40);
}

// The window loses the focus in the middle of a drag: the drag ends there.
TEST_F(StylusTest, ADragEndsWhenTheWindowLosesTheFocus) {
    MainWindow& w = openAtCentre();
    makeRoute(1);
    run(cmd::KarteView);
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QWidget other;
    mouse(QEvent::MouseButtonPress, QPoint(120, 160));
    mouse(QEvent::MouseMove, QPoint(130, 170));
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(w.input().stylus().dragging, 0);
    mouse(QEvent::MouseMove, QPoint(140, 180));
    EXPECT_DOUBLE_EQ(state().route.points[0].gridX, kCentreX + 50.0);
}

TEST_F(StylusTest, APoiOfTheDefaultVolumeIsStoredWhereItWasDroppedOthersStay) {
    MainWindow& w = openAtCentre();
    SqliteDbStore store;
    DbContext db{store, state().diagnostics, w.ui()};
    ASSERT_TRUE(addPoi(db, state().poiDb, state().pois, state().grid, "Turm", {}, {kCentreX, kCentreY}));
    PoiTable& pois = state().pois;
    if (pois.capacity() < 2) pois.records.resize(2);
    pois.records[1] = PoiRecord{"Fremd", kDatumWgs84, 9.0, 49.6, 0.0, kCentreX + 200.0, kCentreY, 7,
                                (dir_ / "fremd.cdb").string()};
    pois.count = 2;
    run(cmd::KarteView);
    for (const auto& [from, to] : {std::pair(QPoint(120, 160), QPoint(100, 160)), {{160, 160}, {160, 180}}}) {
        mouse(QEvent::MouseButtonPress, from);  // 100 m west; the other volume's POI: neither it nor the view moves
        mouse(QEvent::MouseMove, to);
        mouse(QEvent::MouseButtonRelease, to);
    }
    EXPECT_EQ(std::pair(state().frame.lastShown.gridX, pois.records[1].gridX), std::pair(kCentreX, kCentreX + 200.0));
    run(cmd::PoiDbReset);  // read the default volume afresh: stored as degrees
    const PoiRecord& turm = pois.records[pois.records[0].name == "Turm" ? 0 : 1];
    EXPECT_EQ(turm.name, "Turm");
    EXPECT_NEAR(turm.gridX, kCentreX - 100.0, 1.0);
    EXPECT_NEAR(turm.gridY, kCentreY, 1.0);
}

// In the GPS view Right plays the trace, Down pauses and resumes it, Left stops it; without a
// replay Down steps the trace one entry and shows it.
TEST_F(StylusTest, GpsViewKeysPlayPauseStopAndStepTheTrace) {
    // 400 entries at 100 ms: the replay outlasts the keys on a busy machine.
    MainWindow& w = openAtCentre(false, std::chrono::milliseconds(100));
    makeTrace(400);
    state().trace.wrapped = true;
    run(cmd::GpsView);
    QTest::keyClick(&w, Qt::Key_Down);
    EXPECT_EQ(state().trace.replayPos, 0);
    EXPECT_NE(std::string(state().gps.gridText.view()).find(" 500000 5500000"), std::string::npos);
    ReplayThread& thread = w.replay().replayThread();
    std::vector<bool> states;
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Down}) {
        QTest::keyClick(&w, key);
        states.push_back(replayRuns() && !thread.paused());
    }
    EXPECT_EQ(states, (std::vector<bool>{true, false, true}));
    QTest::keyClick(&w, Qt::Key_Left);
    EXPECT_TRUE(waitFor([&] { return !replayRuns(); }));
    EXPECT_NE(thread.position(), 398);  // stopped before its last entry
}

// The NMEA replay's speed: 20× on a first start, then as chosen from the menu or by holding a
// replay button, and kept for the next start.
TEST_F(StylusTest, ReplaySpeedIsChosenFromTheMenuOrAHeldReplayButtonAndKept) {
    replaySpeed_.reset();
    MainWindow& w = openAtCentre();
    EXPECT_EQ(w.session().pace.speed(), 20);
    pick_ = 2;
    run(cmd::ReplaySpeed);
    EXPECT_EQ(menu_, "1-fach/5-fach/20-fach */100-fach/so schnell wie möglich");
    EXPECT_EQ(w.session().pace.speed(), 5);
    makeTrace(40);
    run(cmd::MoveView);
    pick_ = 5;
    const QPoint step = replayButtonLayout(240, 320)[ReplayButton::TraceStep].center();
    mouse(QEvent::MouseButtonPress, step);
    EXPECT_TRUE(waitFor([&] { return w.session().pace.speed() == kReplaySpeedMax; }, 3000));
    mouse(QEvent::MouseButtonRelease, step);
    EXPECT_EQ(openAtCentre().session().pace.speed(), kReplaySpeedMax);
}

// The buttons are drawn where the taps find them: a trace and a route of more than one point
// show fast, start and step; pause only while that replay runs.
TEST_F(StylusTest, ReplayButtonsShowWhereTapsFindThemAndDriveTheReplay) {
    MainWindow& w = openAtCentre(false, std::chrono::milliseconds(5));
    makeTrace(40);
    makeRoute(4);
    run(cmd::MoveView);
    const ReplayButtonLayout layout = replayButtonLayout(240, 320);
    std::string drawn;
    for (const QRect& r : layout.rects) {
        const QColor c = screen().image().pixelColor(r.left() + 2, r.center().y());
        const bool coloured = std::max(c.red(), c.blue()) > 120 && c.green() < 90 && std::min(c.red(), c.blue()) < 90;
        drawn += coloured ? '1' : '0';
    }
    EXPECT_EQ(drawn, "11101110");  // fast, start, step, no pause; trace then route

    // Start plays the trace; its pause button holds it, fast makes it jump and skip.
    tapButton(ReplayButton::TraceStart);
    ASSERT_TRUE(replayRuns());
    EXPECT_FALSE(state().replay.playingRoute);
    tapButton(ReplayButton::TracePause);
    EXPECT_TRUE(w.replay().replayThread().paused());
    tapButton(ReplayButton::TraceFast);
    tapButton(ReplayButton::TraceFast);
    EXPECT_EQ(std::tuple(state().replay.traceJumpMode, state().replay.traceStepCount, state().display.infoPage),
              std::tuple(true, 2, 0));  // no tap went through to the screen thirds
    // Step stops the replay and leaves the view on the entry played last, not on the one after.
    tapButton(ReplayButton::TraceStep);
    ASSERT_TRUE(waitFor([&] { return !replayRuns(); }));
    EXPECT_DOUBLE_EQ(state().frame.viewCentre.gridY, kCentreY + 100.0 * w.replay().replayThread().position());

    // The route: start plays it to its end.
    tapButton(ReplayButton::RouteStart);
    ASSERT_TRUE(replayRuns());
    EXPECT_EQ(std::pair(state().replay.playingRoute, state().replay.routeStepCount), std::pair(true, 1));
    ASSERT_TRUE(waitFor([&] { return !replayRuns(); }));
    EXPECT_NEAR(state().gps.tripDistance, 900.0, 1e-6);
}

// Stepping the route turns the north-up Move view to the leg ahead: the eastward route runs
// up the screen, until the display mode changes.
TEST_F(StylusTest, SteppingTheRouteTurnsTheMoveView) {
    MainWindow& w = openAtCentre();
    makeRoute(4);
    state().frame.viewCentre = state().route.points[1];
    const auto routeUpright = [&] {
        settle();
        const QImage& image = screen().image();
        int balance = 0;  // route pixels above and below the centre, less those left and right
        for (int d = 25; d < 100; ++d)
            for (int sign : {-1, 1})
                balance += (image.pixelColor(120, 160 + sign * d) != image.pixelColor(5, 5)) -
                           (image.pixelColor(120 + sign * d, 160) != image.pixelColor(5, 5));
        return balance > 0;
    };
    run(cmd::MoveView);
    EXPECT_FALSE(routeUpright());
    QTest::keyClick(&w, Qt::Key_Right);
    EXPECT_TRUE(routeUpright());
}

}  // namespace
}  // namespace vexa::testing
