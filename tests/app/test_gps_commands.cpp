// GPS reception over a virtual receiver, log replay and the refusals of both.
#include <QLineEdit>
#include <QPushButton>

#include "app/command_ids.h"
#include "app/frame_view.h"
#include "app/poi_dialogs.h"
#include "app/route_dialogs.h"
#include "app/text_table.h"
#include "app/state_lock.h"
#include "display/replay_thread.h"
#include "tests/app/app_fixture.h"
#include "tests/support/device_simulator.h"

namespace vexa::testing {
namespace {

// The receiver simulator on a pseudo-terminal, driving north through Hannover.
DeviceSimulator receiverSimulator() {
    return DeviceSimulator(VEXA_GPSSIM, {"--route", "9.74,52.37,40;9.74,52.44,70", "--rate", "4"});
}

TEST_F(AppTest, GpsStartReceivesWhileTheViewsSwitchAndGpsStopEndsIt) {
    const DeviceSimulator receiver = receiverSimulator();
    ASSERT_FALSE(receiver.device().empty());
    WindowOptions options;
    options.maps = demoMaps();
    options.port = receiver.device();
    MainWindow& w = open(options);
    files_.push_back(std::nullopt);
    run(cmd::GpsStart);
    EXPECT_EQ(w.windowTitle().toStdString(), "GPS an " + receiver.device());
    ASSERT_TRUE(state().port.isOpen());
    ASSERT_TRUE(waitFor([&] { return contains(state().diagnostics.text(), "$GPGGA,"); }, 60000));
    run(cmd::KarteView);  // the window stays responsive while positions arrive
    EXPECT_EQ(view(), DisplayMode::Karte);
    run(cmd::GpsStop);
    EXPECT_FALSE(state().port.isOpen());
    ASSERT_TRUE(waitFor([&] { return !w.session().workerRunning.load(); }));
    JoinFinishedWorker(w.session());
    EXPECT_GE(state().trace.next, 1);
}

// The first replay starts while the start-up route still plays (as `--replay` does), the others
// after it: each is the whole drive, as vexa-nmea replays it, and nothing else moves the position.
TEST_F(AppTest, ReplayOfTheDemoLogRunsToItsEndInTheMoveViewTheSameEachTime) {
    startupAnimation_ = true;
    MainWindow& w = openWithMaps(demoMaps(), false, std::chrono::milliseconds(40));
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        if (run == 0) {
            ASSERT_TRUE(state().replay.replayDrawing.load()) << "the start-up route plays";
        }
        files_.push_back(demoLog());
        this->run(cmd::EmulateStart);
        ASSERT_TRUE(waitFor([&] { return !w.session().workerRunning.load(); }, 180000));
        JoinFinishedWorker(w.session());
        settle();
        EXPECT_NEAR(state().gps.tripDistance, 36559.6, 0.1);
        EXPECT_NEAR(state().last.latitude, 52.376598, 1e-6);
        EXPECT_NEAR(state().last.longitude, 9.741000, 1e-6);
    }
    EXPECT_EQ(view(), DisplayMode::Move);
    EXPECT_FALSE(state().frame.replaying);
    EXPECT_GT(state().trace.next, 100);
    EXPECT_EQ(w.frameView().image().size(), QSize(240, 320));
    EXPECT_TRUE(messages().empty());
}

TEST_F(AppTest, ImportsRoutesAndWaypointsAndRefusesWhatItCannotRead) {
    open();
    const auto import = [&](const char* name, const std::string& text) {
        writeFile(dir_ / name, text);
        files_.push_back(dir_ / name);
        run(cmd::EmulateStart);
        EXPECT_FALSE(state().frame.replaying) << name;
    };
    import("route.kml", "<kml><Placemark><LineString><coordinates>9.74,52.37,40 9.75,52.38,41"
                        "</coordinates></LineString></Placemark></kml>");
    ASSERT_EQ(state().route.count, 2);
    EXPECT_EQ(state().route.points[1].altitude, 41);
    EXPECT_EQ(view(), DisplayMode::Karte);
    EXPECT_EQ(state().frame.viewCentre.gridX, state().route.points[0].gridX);
    EXPECT_EQ(state().frame.viewCentre.gridY, state().route.points[0].gridY);

    const int poisBefore = state().pois.count;
    import("punkte.gpx", "<gpx><wpt lat=\"52.4\" lon=\"9.7\"><name>Turm</name></wpt></gpx>");
    EXPECT_EQ(state().route.count, 2);  // waypoints only: the route stays
    ASSERT_EQ(state().pois.count, poisBefore + 1);
    EXPECT_EQ(state().pois.records[static_cast<std::size_t>(poisBefore)].name, "Turm");

    for (const char* name : {"karte.ovl", "punkte.CSV"}) import(name, "x");
    std::filesystem::create_directory(dir_ / "ordner.kml");
    files_.push_back(dir_ / "ordner.kml");
    run(cmd::EmulateStart);
    EXPECT_EQ(state().route.count, 0);
    const auto shown = messages();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], "Die Overlay Datei enthält keine Route");
    EXPECT_TRUE(contains(shown[1], "punkte.CSV\nenthält keine lesbare POI Zeile"));  // upper-case extension too
    EXPECT_EQ(shown[2], "Die Datei " + (dir_ / "ordner.kml").string() + " kann nicht gelesen werden: sie ist ein Ordner.");
}

TEST_F(AppTest, RouteExportAndTheExportButtonsOfTheListsWriteIntoTheLogFolder) {
    open({}, true);
    manualClock_.setUtc(DateTime{2007, 5, 12, 9, 30});  // local = UTC here
    state().route.count = 2;
    for (int i = 0; i < 2; ++i) state().route.points[static_cast<std::size_t>(i)] = TrackPoint{550000.0 + i * 100, 5800000.0};
    run(cmd::RouteExport);
    const std::filesystem::path folder = home_ / "vexa";
    for (const char* file : {"Track_20070512_0930.ovl", "Track_20070512_0930.kml", "Track_20070512_0930.gpx"})
        EXPECT_TRUE(std::filesystem::exists(folder / file)) << file;
    answer<RouteSaveDialog>([](RouteSaveDialog& save) {
        save.name()->setText("Harz");
        save.accept();
        return save.result();
    });
    run(cmd::RouteSave);
    state().route.count = 0;
    answer<RouteListDialog>([](RouteListDialog& list) {
        list.list().clickRow(0);
        list.exportButton()->click();
        return QDialog::Rejected;
    });
    run(cmd::RouteListByName);
    for (const char* file : {"Harz.ovl", "Harz.kml", "Harz.gpx"})
        EXPECT_TRUE(std::filesystem::exists(folder / file)) << file;

    AllocPoiTab(state().pois, static_cast<std::size_t>(state().pois.count) + 1);
    state().pois.records[static_cast<std::size_t>(state().pois.count++)] =
        PoiRecord{"Turm", '2', 9.7, 52.4, 0, 550000.0, 5800000.0, 0, ""};
    answer<PoiListDialog>([](PoiListDialog& d) {
        d.exportButton()->click();
        return QDialog::Rejected;
    });
    run(cmd::ListPois);
    EXPECT_NE(readFile(folder / "POI_20070512_0930.csv").find("Turm;2;9.70000;52.40000;0\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(folder / "poi_20070512_0930.kml"));
}

// A trace or route replay started while the GPS reader runs: both work on the route, trace and
// GPS records and draw frames while the fonts change. They are stopped in either order, the
// replay once paused first, and each stop ends its thread within its bound.
TEST_F(AppTest, ReplayBesideTheGpsReaderStopsInEitherOrder) {
    const DeviceSimulator receiver = receiverSimulator();
    ASSERT_FALSE(receiver.device().empty());
    WindowOptions options;
    options.maps = demoMaps();
    options.port = receiver.device();
    MainWindow& w = open(options, false, std::chrono::milliseconds(1));
    bool held = false;
    {
        StateLock lock(state().stateMutex, held);
        for (int i = 0; i < 40; ++i) state().route.points[static_cast<std::size_t>(i)] = TrackPoint{550000.0 + 300.0 * i, 5805000.0 + 200.0 * (i % 3)};
        state().route.count = 40;
    }
    for (const bool route : {true, false}) {
        SCOPED_TRACE(route ? "route replay stopped first, paused" : "GPS reader stopped first");
        run(cmd::GpsStart);
        ASSERT_TRUE(state().port.isOpen());
        ASSERT_TRUE(waitFor([&] {
            StateLock lock(state().stateMutex, held);
            return state().trace.next >= 2;  // the reader records while the replay reads
        }, 60000));
        ASSERT_TRUE(route ? w.StartProcess_ShowIrcRoute() : w.StartProcess_ShowIrcTrace());
        // One drawing replay at a time; held, the first cannot end before the second is asked.
        w.pauseDrawingReplay(true);
        if (w.replayThread().running()) {
            EXPECT_FALSE(w.StartProcess_ShowIrcTrace());
        }
        w.pauseDrawingReplay(false);
        ASSERT_TRUE(waitFor([&] { return w.replayThread().position() >= 0 || !w.replayThread().running(); }));
        w.characterKey('f');  // a new font set while both threads draw
        w.pauseDrawingReplay(route);
        const auto stopReplay = [&] {
            EXPECT_TRUE(w.stopDrawingReplay(std::chrono::seconds(10)));  // joined within the bound
            EXPECT_FALSE(state().replay.replayDrawing.load());
        };
        const auto stopReader = [&] {
            run(cmd::GpsStop);
            ASSERT_TRUE(waitFor([&] { return !w.session().workerRunning.load(); }));
            JoinFinishedWorker(w.session());
        };
        if (route) stopReplay();
        stopReader();
        if (!route) stopReplay();
        EXPECT_TRUE(contains(state().diagnostics.text(), route ? "Process_ShowIrcTrack End" : "Process_ShowIrcTrace End"));
    }
}

}  // namespace
}  // namespace vexa::testing
