// "Send Route to Garmin" in the window: the track name dialog, the upload thread against
// vexa-garminsim on a pseudo-terminal, route edits during the upload, and the GPS reader
// before and after it. The upload's protocol is the exchange tests'.
#include <QLineEdit>

#include <cerrno>
#include <system_error>

#include "app/command_ids.h"
#include "app/route_name_dialog.h"
#include "geo/grid.h"
#include "tests/app/app_fixture.h"
#include "platform/testing/device_simulator.h"
#include "tests/support/garmin_record.h"

namespace vexa::testing {
namespace {

struct GarminCommandTest : AppTest {
    // A route of n points going north-east from Hannover on the window's grid, and the name
    // the track name dialog is answered with.
    void makeRoute(int n, const QString& name) {
        {
            std::lock_guard lock(state().stateMutex);
            for (int i = 0; i < n; ++i) {
                const GridPoint g = llh2utm(9.7 + i * 0.001, 52.3 + i * 0.001, 1, state().grid);
                state().route.points[static_cast<std::size_t>(i)] = TrackPoint{g.easting, g.northing};
            }
            state().route.count = n;
        }
        answer<RouteNameDialog>([name](RouteNameDialog& d) {
            d.nameField()->setText(name);
            return static_cast<int>(QDialog::Accepted);
        });
    }
};

// A running reader is stopped before the upload opens the port; the named track arrives whole
// although the route is reversed, reduced and moved meanwhile (the upload reads its own copy;
// ThreadSanitizer watches the two threads); the text view shows the progress, and "GPS Start"
// afterwards opens the receiver again.
TEST_F(GarminCommandTest, TheNamedTrackArrivesAsItWasAndGpsStartWorksAgainAfterwards) {
    DeviceSimulator receiver(VEXA_GPSSIM, {"--route", "9.74,52.37,40;9.74,52.44,70", "--rate", "4"});
    const auto record = dir_ / "track.txt";
    DeviceSimulator garmin(VEXA_GARMINSIM, {"--output", record.string(), "--slow", "20"});
    open({.port = receiver.device()});
    const auto receiving = [&] { return contains(state().diagnostics.text(), "$GPRMC"); };
    files_.push_back(std::nullopt);
    run(cmd::GpsStart);
    ASSERT_TRUE(waitFor(receiving, 20000));

    makeRoute(200, "Harz-Rundweg über den Brocken");
    {
        std::lock_guard lock(state().stateMutex);
        state().frame.portName = garmin.device();
    }
    run(cmd::SendRouteToGarmin);
    EXPECT_TRUE(waitFor([&] { return view() == DisplayMode::Nmea; }, 5000));  // asked for by the upload
    int edits = 0;
    for (; window().garminTransfer().running(); ++edits) {
        run(edits % 2 ? kCmdRouteReverse : kCmdRouteReduce);
        std::lock_guard lock(state().stateMutex);
        state().route.points[0].gridX += 1.0;
    }
    ASSERT_TRUE(waitFor([&] { return !window().garminTransfer().running(); }, 60000));
    settle();
    EXPECT_GT(edits, 2);
    EXPECT_FALSE(window().session().workerRunning.load());
    EXPECT_EQ(state().garmin.trackName, "Harz-Rundweg \xFC" "b");
    const auto track = garminRecord(record);
    ASSERT_EQ(track.size(), 200u + 4);
    expectPointsInOrder(track, 3, 200, [](int i) { return std::pair{52.3 + i * 0.001, 9.7 + i * 0.001}; }, 1e-5);
    EXPECT_TRUE(contains(state().diagnostics.text(), "Send 199: breite=52.499"));
    EXPECT_TRUE(contains(state().diagnostics.text(), "Track mit 200 Punkten übertragen"));
    EXPECT_FALSE(state().port.isOpen());
    EXPECT_TRUE(messages().empty());

    {
        std::lock_guard lock(state().stateMutex);
        state().frame.portName = receiver.device();
    }
    state().diagnostics.setText("");
    files_.push_back(std::nullopt);
    run(cmd::GpsStart);
    EXPECT_TRUE(waitFor(receiving, 20000));
    run(cmd::GpsStop);
}

TEST_F(GarminCommandTest, AThreadTheSystemRefusesIsReported) {
    open();
    makeRoute(2, "X");
    window().garminTransfer().setThreadStarter([](std::function<void()>) -> std::thread {
        throw std::system_error(EAGAIN, std::generic_category());
    });
    run(cmd::SendRouteToGarmin);
    EXPECT_EQ(messages(), std::vector<std::string>{"Unable to create the Write thread, \r\nlasterror=11"});
    EXPECT_FALSE(window().garminTransfer().running());
}

}  // namespace
}  // namespace vexa::testing
