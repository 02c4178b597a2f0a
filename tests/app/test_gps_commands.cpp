// GPS reception over a virtual receiver, log replay and imports, and the refusals of both.
#include "app/command_ids.h"
#include "app/state_lock.h"
#include "display/replay_thread.h"
#include "tests/app/app_fixture.h"
#include "platform/testing/device_simulator.h"

namespace vexa::testing {
namespace {

// The receiver simulator on a pseudo-terminal, driving north through Hannover.
DeviceSimulator receiverSimulator() {
    return DeviceSimulator(VEXA_GPSSIM, {"--route", "9.74,52.37,40;9.74,52.44,70", "--rate", "4"});
}

// The first replay starts while the start-up route still plays (as `--replay` does), the next
// after it: each is the whole drive, as vexa-nmea replays it, and nothing else moves the position.
TEST_F(AppTest, ReplayOfTheDemoLogRunsToItsEndInTheMoveViewTheSameEachTime) {
    startupAnimation_ = true;
    MainWindow& w = openWithMaps(demoMaps(), false, std::chrono::milliseconds(40));
    ASSERT_TRUE(state().replay.replayDrawing.load()) << "the start-up route plays";
    for (int pass = 0; pass < 2; ++pass) {
        files_.push_back(demoLog());
        run(cmd::EmulateStart);
        ASSERT_TRUE(waitFor([&] { return !w.session().workerRunning.load(); }, 180000));
        JoinFinishedWorker(w.session());
        settle();
        EXPECT_NEAR(state().gps.tripDistance, 36559.6, 0.1) << pass;
        EXPECT_NEAR(state().last.latitude, 52.376598, 1e-6) << pass;
        EXPECT_NEAR(state().last.longitude, 9.741000, 1e-6) << pass;
    }
    EXPECT_EQ(std::pair(view(), state().frame.replaying.load()), std::pair(DisplayMode::Move, false));
    EXPECT_GT(state().trace.next, 50);
    EXPECT_TRUE(messages().empty());
}

// A route shows in the map view from its first point; waypoints leave the route; what cannot
// be read is told.
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
    EXPECT_EQ(view(), DisplayMode::Karte);
    EXPECT_EQ(std::pair(state().frame.viewCentre.gridX, state().frame.viewCentre.gridY),
              std::pair(state().route.points[0].gridX, state().route.points[0].gridY));
    const int poisBefore = state().pois.count;
    import("punkte.gpx", "<gpx><wpt lat=\"52.4\" lon=\"9.7\"><name>Turm</name></wpt></gpx>");
    EXPECT_EQ(std::pair(state().route.count, state().pois.count), std::pair(2, poisBefore + 1));

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

// A trace or route replay started while the GPS reader runs (the title names the receiver): both
// work on the route, trace and GPS records and draw frames while the fonts change. They are stopped in either order, the
// replay once paused first, and each stop ends its thread within its bound.
TEST_F(AppTest, ReplayBesideTheGpsReaderStopsInEitherOrder) {
    const DeviceSimulator receiver = receiverSimulator();
    MainWindow& w = open({.maps = demoMaps(), .port = receiver.device()}, false, std::chrono::milliseconds(1));
    bool held = false;
    {
        StateLock lock(state().stateMutex, held);
        for (int i = 0; i < 40; ++i) state().route.points[static_cast<std::size_t>(i)] = TrackPoint{550000.0 + 300.0 * i, 5805000.0 + 200.0 * (i % 3)};
        state().route.count = 40;
    }
    for (const bool route : {true, false}) {
        SCOPED_TRACE(route ? "route replay stopped first, paused" : "GPS reader stopped first");
        run(cmd::GpsStart);
        EXPECT_EQ(w.windowTitle().toStdString(), "GPS an " + receiver.device());
        ASSERT_TRUE(waitFor([&] {
            StateLock lock(state().stateMutex, held);
            return state().trace.next >= 2;  // the reader records while the replay reads
        }, 60000));
        ASSERT_TRUE(route ? w.replay().StartProcess_ShowIrcRoute() : w.replay().StartProcess_ShowIrcTrace());
        // One drawing replay at a time; held, the first cannot end before the second is asked.
        w.replay().pauseDrawingReplay(true);
        if (w.replay().replayThread().running()) {
            EXPECT_FALSE(w.replay().StartProcess_ShowIrcTrace());
        }
        w.replay().pauseDrawingReplay(false);
        ASSERT_TRUE(waitFor([&] { return w.replay().replayThread().position() >= 0 || !w.replay().replayThread().running(); }));
        w.input().characterKey('f');  // a new font set while both threads draw
        w.replay().pauseDrawingReplay(route);
        const auto stopReplay = [&] {
            EXPECT_TRUE(w.replay().stopDrawingReplay(std::chrono::seconds(10)));  // joined within the bound
            EXPECT_FALSE(state().replay.replayDrawing.load());
        };
        if (route) stopReplay();
        run(cmd::GpsStop);
        EXPECT_FALSE(state().port.isOpen());
        ASSERT_TRUE(waitFor([&] { return !w.session().workerRunning.load(); }));
        JoinFinishedWorker(w.session());
        if (!route) stopReplay();
        EXPECT_TRUE(contains(state().diagnostics.text(), route ? "Process_ShowIrcTrack End" : "Process_ShowIrcTrace End"));
    }
}

}  // namespace
}  // namespace vexa::testing
