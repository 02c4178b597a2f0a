// "Send Route to Garmin" in the window: the track name dialog, the upload thread against
// vexa-garminsim on a pseudo-terminal, route edits during the upload, and the GPS reader
// before and after it.
#include <QLineEdit>

#include <cerrno>
#include <system_error>

#include "app/command_ids.h"
#include "app/route_name_dialog.h"
#include "app/state_lock.h"
#include "geo/grid.h"
#include "tests/app/app_fixture.h"
#include "tests/support/device_simulator.h"
#include "tests/support/garmin_record.h"

namespace vexa::testing {
namespace {

struct GarminCommandTest : AppTest {
    std::filesystem::path record_ = dir_ / "track.txt";

    std::unique_ptr<DeviceSimulator> garmin(const std::vector<std::string>& faults = {}) {
        std::vector<std::string> arguments{"--output", record_.string()};
        arguments.insert(arguments.end(), faults.begin(), faults.end());
        return std::make_unique<DeviceSimulator>(VEXA_GARMINSIM, arguments);
    }
    // A route of n points going north-east from Hannover on the window's grid.
    void makeRoute(int n) {
        std::lock_guard lock(state().stateMutex);
        for (int i = 0; i < n; ++i) {
            const GridPoint g = llh2utm(9.7 + i * 0.001, 52.3 + i * 0.001, 1, state().grid);
            state().route.points[static_cast<std::size_t>(i)].gridX = g.easting;
            state().route.points[static_cast<std::size_t>(i)].gridY = g.northing;
        }
        state().route.count = n;
    }
    // Answers the track name dialog with `text` (nullopt: Cancel).
    void answerName(std::optional<QString> text) {
        answer<RouteNameDialog>([text](RouteNameDialog& d) {
            if (!text) return static_cast<int>(QDialog::Rejected);
            d.nameField()->setText(*text);
            return static_cast<int>(QDialog::Accepted);
        });
    }
    bool uploadEnded() {
        return waitFor([&] { return !window().garminTransfer().running(); }, 60000);
    }
    std::vector<std::string> received() const { return garminRecord(record_); }
};

// A running reader is stopped before the upload opens the port; the named track arrives, the
// text view shows the progress, and "GPS Start" afterwards opens the receiver again. Cancel in
// the name dialog sends the track without a name.
TEST_F(GarminCommandTest, TheNamedTrackArrivesAndGpsStartWorksAgainAfterwards) {
    DeviceSimulator receiver(VEXA_GPSSIM, {"--route", "9.74,52.37,40;9.74,52.44,70", "--rate", "4"});
    const auto sim = garmin();
    WindowOptions options;
    options.port = receiver.device();
    open(options);
    auto setPort = [&](const std::string& device) {
        std::lock_guard lock(state().stateMutex);
        state().frame.portName = device;
    };
    auto receiving = [&] { return contains(state().diagnostics.text(), "$GPRMC"); };
    files_.push_back(std::nullopt);
    run(cmd::GpsStart);
    ASSERT_TRUE(waitFor(receiving, 20000));

    makeRoute(5);
    setPort(sim->device());
    answerName(QString("Harz-Rundweg über den Brocken"));
    run(cmd::SendRouteToGarmin);
    ASSERT_TRUE(uploadEnded());
    settle();
    EXPECT_FALSE(window().session().workerRunning.load());
    EXPECT_EQ(state().garmin.trackName, "Harz-Rundweg \xFC" "b");
    auto track = received();
    ASSERT_EQ(track.size(), 9u);
    EXPECT_EQ(track[1], "records 6");
    EXPECT_EQ(view(), DisplayMode::Nmea);
    EXPECT_TRUE(contains(state().diagnostics.text(), "Send 004: breite=52.304"));
    EXPECT_TRUE(contains(state().diagnostics.text(), "Track mit 5 Punkten übertragen"));
    EXPECT_FALSE(state().port.isOpen());
    EXPECT_TRUE(messages().empty());

    const auto another = garmin();  // the simulator takes one upload
    setPort(another->device());
    answerName(std::nullopt);
    run(cmd::SendRouteToGarmin);
    ASSERT_TRUE(uploadEnded());
    EXPECT_EQ(state().garmin.trackName, "");
    track = received();
    ASSERT_EQ(track.size(), 8u);
    EXPECT_EQ(track[1], "records 5");

    setPort(receiver.device());
    state().diagnostics.setText("");
    files_.push_back(std::nullopt);
    run(cmd::GpsStart);
    EXPECT_TRUE(state().port.isOpen());
    EXPECT_TRUE(waitFor(receiving, 20000));
    run(cmd::GpsStop);
}

// The upload reads its own copy: the route may be reversed, moved and cleared meanwhile
// (ThreadSanitizer watches the two threads).
TEST_F(GarminCommandTest, EditingTheRouteDuringTheUploadChangesNothingSent) {
    const auto sim = garmin({"--slow", "20"});  // long enough for several edits on a sanitizer build
    WindowOptions options;
    options.port = sim->device();
    open(options);
    makeRoute(200);
    answerName(QString("Tour"));
    run(cmd::SendRouteToGarmin);
    int edits = 0;
    while (window().garminTransfer().running()) {
        run(edits % 2 ? kCmdRouteReverse : kCmdRouteReduce);
        {
            std::lock_guard lock(state().stateMutex);
            state().route.points[0].gridX += 1.0;
        }
        ++edits;
    }
    ASSERT_TRUE(uploadEnded());
    EXPECT_GT(edits, 2);
    const auto track = received();
    ASSERT_EQ(track.size(), 200u + 4);
    expectPointsInOrder(track, 3, 200, [](int i) { return std::pair{52.3 + i * 0.001, 9.7 + i * 0.001}; }, 1e-5);
}

TEST_F(GarminCommandTest, AThreadTheSystemRefusesIsReported) {
    open();
    makeRoute(2);
    answerName(QString("X"));
    window().garminTransfer().setThreadStarter([](std::function<void()>) -> std::thread {
        throw std::system_error(EAGAIN, std::generic_category());
    });
    run(cmd::SendRouteToGarmin);
    ASSERT_FALSE(messages().empty());
    EXPECT_EQ(messages().back(), "Unable to create the Write thread, \r\nlasterror=11");
    EXPECT_FALSE(window().garminTransfer().running());
}

}  // namespace
}  // namespace vexa::testing
