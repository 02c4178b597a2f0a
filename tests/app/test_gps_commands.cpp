// GPS reception over a virtual receiver, log replay and the refusals of both.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <fstream>

#include "app/command_ids.h"
#include "app/frame_view.h"
#include "app/state_lock.h"
#include "display/replay_thread.h"
#include "tests/app/app_fixture.h"

namespace vexa::testing {
namespace {

// The receiver simulator on a pseudo-terminal; its device path is the first line it prints.
// Started with posix_spawn rather than fork, which the thread sanitizer cannot follow once
// threads exist.
class Receiver {
public:
    Receiver() {
        int out[2];
        if (::pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const char* argv[] = {VEXA_GPSSIM, "--route", "9.74,52.37,40;9.74,52.44,70", "--rate", "4",
                              "--quiet", nullptr};
        const int failed = posix_spawn(&pid_, VEXA_GPSSIM, &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        if (failed) pid_ = 0;
        std::FILE* stream = ::fdopen(out[0], "r");
        char line[512] = {};
        if (stream && std::fgets(line, sizeof line, stream)) device_ = line;
        while (!device_.empty() && std::isspace(static_cast<unsigned char>(device_.back()))) device_.pop_back();
        stream_ = stream;
    }
    ~Receiver() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        if (stream_) std::fclose(stream_);
    }
    const std::string& device() const { return device_; }

private:
    pid_t pid_ = 0;
    std::FILE* stream_ = nullptr;
    std::string device_;
};

TEST_F(AppTest, GpsStartReceivesFromTheReceiverLogsAndGpsStopEndsIt) {
    Receiver receiver;
    ASSERT_FALSE(receiver.device().empty());
    WindowOptions options;
    options.maps = demoMaps();
    options.port = receiver.device();
    MainWindow& w = open(options);
    const auto log = home_ / "vexa" / "NmeaLog_test.txt";
    files_.push_back(log);

    run(cmd::GpsStart);
    EXPECT_EQ(w.windowTitle().toStdString(), "GPS an " + receiver.device());
    ASSERT_TRUE(state().port.isOpen());
    // Positions arrive and are logged; the log is flushed after every 1000 characters.
    const auto logSize = [&] {
        std::error_code ec;
        const auto size = std::filesystem::file_size(log, ec);
        return ec ? 0 : size;
    };
    ASSERT_TRUE(waitFor([&] { return logSize() > 1100; }, 60000));
    // The window stays responsive while positions arrive: views switch and draw.
    run(cmd::KarteView);
    EXPECT_EQ(view(), DisplayMode::Karte);
    run(cmd::MoveView);

    run(cmd::GpsStart);
    EXPECT_EQ(messages().back(), "NMEA ist bereits gestartet");
    run(cmd::EmulateStart);
    EXPECT_EQ(messages().back(), "NMEA ist gestartet");

    run(cmd::GpsStop);
    EXPECT_FALSE(state().port.isOpen());
    ASSERT_TRUE(waitFor([&] { return !w.session().workerRunning.load(); }));
    JoinFinishedWorker(w.session());
    EXPECT_GE(state().trace.next, 3);  // the trace grew
    std::ifstream file(log);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(contains(text, "$GPRMC,")) << text.substr(0, 200);
    EXPECT_TRUE(contains(text, "$GPGGA,"));
}

TEST_F(AppTest, GpsStartOnAMissingDeviceSaysSo) {
    WindowOptions options;
    options.port = (dir_ / "no-such-device").string();
    open(options);
    files_.push_back(std::nullopt);  // no log
    run(cmd::GpsStart);
    EXPECT_EQ(messages().back(), "Fehler bei Open GPS-Port");
    EXPECT_FALSE(state().port.isOpen());
    EXPECT_EQ(window().windowTitle(), "VEXA");
}

TEST_F(AppTest, ReplayOfTheDemoLogRunsToItsEndInTheMoveView) {
    WindowOptions options;
    options.maps = demoMaps();
    MainWindow& w = open(options);
    files_.push_back(demoLog());
    run(cmd::EmulateStart);
    ASSERT_TRUE(waitFor([&] { return !w.session().workerRunning.load(); }, 180000));
    JoinFinishedWorker(w.session());
    settle();
    EXPECT_EQ(view(), DisplayMode::Move);
    EXPECT_FALSE(state().frame.replaying);
    // The drive ends in Hannover.
    EXPECT_NEAR(state().last.latitude, 52.37, 0.1);
    EXPECT_NEAR(state().last.longitude, 9.74, 0.1);
    EXPECT_GT(state().trace.next, 100);
    EXPECT_EQ(w.frameView().image().size(), QSize(240, 320));
    EXPECT_TRUE(messages().empty());
}

TEST_F(AppTest, ReplayStopsOnEmulateStop) {
    WindowOptions options;
    options.maps = demoMaps();
    // Paced frames, so that the stop comes long before the end of the drive.
    open(options, false, std::chrono::milliseconds(20));
    files_.push_back(demoLog());
    run(cmd::EmulateStart);
    ASSERT_TRUE(waitFor([&] { return contains(state().diagnostics.text(), "$GPRMC"); }));
    run(cmd::EmulateStop);
    ASSERT_TRUE(waitFor([&] { return !window().session().workerRunning.load(); }, 20000));
    JoinFinishedWorker(window().session());
    EXPECT_FALSE(state().frame.replaying);
    EXPECT_LT(state().trace.next, 200);  // the whole drive records far more points
}

TEST_F(AppTest, ImportsThatDoNotExistYetAreRefused) {
    open();
    for (const char* name : {"route.kml", "punkte.CSV", "karte.ovl", "bild.jpg"}) {
        writeFile(dir_ / name, "x");
        files_.push_back(dir_ / name);
        run(cmd::EmulateStart);
        EXPECT_FALSE(state().frame.replaying) << name;
    }
    const auto shown = messages();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_TRUE(contains(shown[0], "Der Import von kml-Dateien"));
    EXPECT_TRUE(contains(shown[1], "Der Import von csv-Dateien"));
    EXPECT_TRUE(contains(shown[3], "kein NMEA-Log"));
}

}  // namespace
}  // namespace vexa::testing

namespace vexa::testing {
namespace {

// A route replay beside a running GPS reader: both work on the route, trace and GPS records;
// they are stopped in either order, and each stop ends its thread.
TEST_F(AppTest, RouteReplayBesideTheGpsReaderStopsInEitherOrder) {
    Receiver receiver;
    ASSERT_FALSE(receiver.device().empty());
    WindowOptions options;
    options.maps = demoMaps();
    options.port = receiver.device();
    MainWindow& w = open(options, false, std::chrono::milliseconds(1));
    for (bool replayFirst : {true, false}) {
        run(cmd::GpsStart);
        ASSERT_TRUE(state().port.isOpen());
        bool held = false;
        ASSERT_TRUE(waitFor([&] {
            StateLock lock(state().stateMutex, held);
            return state().trace.next >= 2;
        }, 60000));
        {
            StateLock lock(state().stateMutex, held);
            RouteTable& route = state().route;
            route.count = 0;
            for (int i = 0; i < 40; ++i) {
                route.points[static_cast<std::size_t>(i)].gridX = 550000.0 + 300.0 * i;
                route.points[static_cast<std::size_t>(i)].gridY = 5805000.0 + 200.0 * (i % 3);
            }
            route.count = 40;
        }
        ASSERT_TRUE(w.StartProcess_ShowIrcRoute());
        EXPECT_FALSE(w.StartProcess_ShowIrcTrace());  // one drawing replay at a time
        ASSERT_TRUE(waitFor([&] { return w.replayThread().position() >= 2; }));
        const auto stopReplay = [&] {
            EXPECT_TRUE(w.stopDrawingReplay(std::chrono::seconds(10)));
            EXPECT_FALSE(state().replay.replayDrawing.load());
        };
        if (replayFirst) stopReplay();
        run(cmd::GpsStop);
        ASSERT_TRUE(waitFor([&] { return !w.session().workerRunning.load(); }));
        JoinFinishedWorker(w.session());
        if (!replayFirst) stopReplay();
        EXPECT_GT(state().gps.tripDistance, 0.0);
    }
    const std::string text = state().diagnostics.text();
    EXPECT_TRUE(contains(text, "Process_ShowIrcTrack Start"));
    EXPECT_TRUE(contains(text, "Process_ShowIrcTrack End"));
}

}  // namespace
}  // namespace vexa::testing
