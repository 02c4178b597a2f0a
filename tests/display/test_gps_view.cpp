#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <tuple>

#include "display/gps_panels.h"
#include "display/gps_view.h"
#include "tests/display/view_fixture.h"
#include "tests/maps/map_fixture.h"
#include "tests/support/golden_file.h"

namespace vexa::testing {
namespace {

// Every reading of the tick moves it on: each redraw looks slow.
class SlowClock : public ManualClock {
public:
    std::uint32_t tickCount() const override { return ticks += 800; }
    mutable std::uint32_t ticks = 0;
};

struct GpsScreen : ViewWorld {
    TempDir temp;
    TestLink link;
    RecordingPresenter presenter;
    GpsViewState state;

    QSize screen{240, 320};

    GpsViewContext context(const Clock& c) {
        return GpsViewContext{gps, last, satellites, settings, grid, maps, route, guidance, frame, display, texts, log, c, link,
                              presenter, "05:12-21:30", temp.path() / "power_supply", screen.width(), screen.height()};
    }
    void show() {
        drawn.clear();
        GpsViewContext ctx = context(clock);
        ShowGps(ctx, state);
    }
    // Writes files under the power supply folder, as the kernel shows them.
    void supply(std::initializer_list<std::pair<const char*, const char*>> files) {
        for (const auto& [name, text] : files) {
            const auto file = temp.path() / "power_supply" / name;
            std::filesystem::create_directories(file.parent_path());
            std::ofstream(file) << text << "\n";
        }
    }
    void satellitesInView(int count, const std::function<void(int, SatelliteEntry&)>& set) {
        link.open = gps.gsaSeen = gps.gsvSeen = true;
        settings.LGsaLogTime = 1;
        satellites.inViewCount = count;
        for (int i = 0; i < count; ++i) set(i, satellites.inView[static_cast<std::size_t>(i)]);
    }
};

// The GPS view of gps_views.txt's named states; the record is what it draws and logs.
const std::map<std::string, std::function<void(GpsScreen&)>> kGpsStates = {
    {"speed below 100, UTM", [](GpsScreen& v) { v.gps.speed = 99.94f, v.gps.tripDistance = 12345.0; }},
    {"speed of 100, degrees", [](GpsScreen& v) { v.gps.speed = 100.0f, v.gps.tripDistance = 123456.0, v.display.coordFormat = 1; }},
    {"twelve satellites, four used", [](GpsScreen& v) {
         v.satellitesInView(12, [](int i, SatelliteEntry& e) { e.prn = i + 1, e.snr = 40, e.used = i < 4; }), v.satellites.fixMode.assign("3");
     }},
    // Entries 20..39 are the same satellites on a second signal: each is shown once, the eleven
    // strongest (SNR 9 to 19) get the bars.
    {"two systems on two signals", [](GpsScreen& v) {
         v.satellitesInView(40, [](int i, SatelliteEntry& e) {
             e.prn = i % 20 + 1, e.system = 1 + i % 20 / 10, e.snr = i < 20 ? i : i - 20 + (i == 39 ? 5 : 0), e.used = i % 2 == 0;
         });
     }},
    {"fix without satellite data", [](GpsScreen& v) { v.link.open = v.gps.fixValid = v.gps.ggaSeen = true; }},
    {"no fix yet", [](GpsScreen& v) { v.link.open = true; }},
    {"replaying", [](GpsScreen& v) { v.frame.replaying = true; }},
    {"on mains, battery at 57",
     [](GpsScreen& v) { v.supply({{"AC/type", "Mains"}, {"AC/online", "1"}, {"BAT0/type", "Battery"}, {"BAT0/capacity", "57"}}); }},
    {"battery full", [](GpsScreen& v) { v.supply({{"BAT0/type", "Battery"}, {"BAT0/capacity", "100"}}); }},
    // A desktop screen: two columns, drawn at twice the size.
    {"1280 × 800, trip of 100 km", [](GpsScreen& v) { v.screen = {1280, 800}, v.gps.tripDistance = 100000.0; }},
};

std::string gpsViewRecord(const std::string& name) {
    GpsScreen v;
    v.gps.gridText.assign("32 512345 5812345");
    v.last.longitude = 9.5, v.last.latitude = 52.25;
    v.gps.eastWest.assign("E"), v.gps.northSouth.assign("N");
    v.gps.altitude = 245.6f;
    v.gps.satellitesUsedText.assign("07");
    v.settings.LGsaLogTime = -1;
    v.clock.setUtc(DateTime{2026, 6, 1, 10, 0, 3});
    kGpsStates.at(name)(v);
    v.show();
    std::string out = viewRecord(v.presenter.shown, v.drawn) + (v.state.onAcPower ? "on mains" : "on battery");
    std::istringstream log(v.log.text());
    for (std::string line; std::getline(log, line);) out += "; " + line.substr(0, line.find('\r'));
    return out;
}

TEST(GpsViews, StatesGiveTheRecordsOfTheGoldenFile) {
    EXPECT_EQ(compareGoldenFile(VEXA_TEST_DATA "/gps_views.txt", gpsViewRecord), static_cast<int>(kGpsStates.size()));
}

class GpsView : public ::testing::Test, public GpsScreen {};

TEST_F(GpsView, ResetRequestsAreServedAtTheNextRedraw) {
    gps.speedProfile.fill(10);
    gps.speedProfile[170] = 90;  // beyond the 170 entries searched
    gps.speedProfile[3] = 42;
    gps.speedMax = 300, gps.tripDistance = 5000.0, gps.tripStartSecond = 100;
    gps.elapsedText.assign("01:00:00");
    state.requests.recomputeSpeedMax = state.requests.resetTrip = true;
    show();
    EXPECT_EQ(std::tuple(gps.speedMax, gps.tripDistance, gps.tripStartSecond, std::string(gps.elapsedText.view())),
              std::tuple(42, 0.0, 0, "00:00:00"));
    EXPECT_FALSE(state.requests.recomputeSpeedMax || state.requests.resetTrip);
}

TEST_F(GpsView, ASlowRedrawWithAnOpenPortPurgesIt) {
    SlowClock slow;
    GpsViewContext ctx = context(slow);
    ShowGps(ctx, state);
    EXPECT_EQ(link.purges, 0) << "no port to purge";
    link.open = true;
    ShowGps(ctx, state);
    EXPECT_EQ(std::pair(link.purges, link.restarts), std::pair(1, 1));
    EXPECT_TRUE(logHas("ShowGps PurgeComm wegen Zeitüberschreitung"));
    EXPECT_FALSE(logHas("ShowGps End Tick Count")) << "timing lines only in debug mode";
    log.debugMode = true;
    ShowGps(ctx, state);
    EXPECT_TRUE(logHas("ShowGps End Tick Count = <"));
}

TEST_F(GpsView, OnMapMarkTurnedAndMirroredByTheDisplayMode) {
    show();
    const QImage offMap = presenter.shown;
    gps.onMap = true;
    show();
    const QImage upright = presenter.shown;
    ASSERT_EQ(upright.size(), QSize(240, 320));
    EXPECT_NE(upright, offMap);
    screen = {320, 240};
    show();
    const QImage across = presenter.shown;
    screen = {240, 320};
    // Landscape: the view laid out for the screen held across, turned a quarter anticlockwise
    // onto the whole screen; upside down.
    for (const auto& [mode, turned] :
         {std::pair{4, across.transformed(QTransform().rotate(-90))}, {7, upright.mirrored(true, true)}}) {
        frame.moveDisplayMode = mode;
        show();
        ASSERT_EQ(presenter.shown.size(), QSize(240, 320)) << mode;
        EXPECT_EQ(presenter.shown, turned) << mode;
    }
}

// Inside a frame of inner height 40 the newest value (100, the maximum) is a line of 40 pixels at
// the right, the one before (50) one of 20 beside it; without a maximum nothing is drawn.
TEST_F(GpsView, ProfilesScaleToTheMaximumNewestAtTheRight) {
    gps.altitudeProfileNext = 5;
    gps.altitudeProfile[4] = 100, gps.altitudeProfile[3] = 50;
    for (const auto& [max, inside] : {std::pair{100, "black 169,0-170,39 60; "}, {0, ""}}) {
        gps.altitudeMax = max;
        image.fill(Qt::white);
        QPainter painter(&image);
        DrawHProfile(painter, gps, QRect(10, 10, 173, 42));
        EXPECT_EQ(viewRecord(image.copy(11, 11, 171, 40), drawn), inside) << max;
    }
}

}  // namespace
}  // namespace vexa::testing
