#include <gtest/gtest.h>

#include <fstream>
#include <utility>

#include "display/battery.h"
#include "display/gps_panels.h"
#include "display/gps_view.h"
#include "tests/display/view_fixture.h"
#include "tests/maps/map_fixture.h"
#include "tests/support/temp_dir.h"

namespace vexa::testing {
namespace {

// Every reading of the tick moves it on: each redraw looks slow.
class SlowClock : public ManualClock {
public:
    std::uint32_t tickCount() const override { return ticks += 800; }
    mutable std::uint32_t ticks = 0;
};

class GpsView : public ::testing::Test, public ViewWorld {
protected:
    TempDir temp;
    TestLink link;
    RecordingPresenter presenter;
    GpsViewState state;

    GpsViewContext context(const Clock& c) {
        return GpsViewContext{gps,   last,    satellites, settings, grid,      maps,
                              route, guidance, frame,    display,  texts,     log,
                              c,     link,    presenter, "05:12-21:30", temp.path() / "power_supply",
                              size.width, size.height};
    }
    ScreenSize size{240, 320};
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
    int barColumns(QRgb colour) const {
        // Bar pixels on the row just above the base line of the panel.
        return countColour(state.picture, QRect(kSatsPanel.left() + 1, kSatsPanel.top() + 55, kSatsPanel.width() - 2, 1),
                           colour);
    }
};

TEST_F(GpsView, NumbersChangeTheirFormatAtOneHundredAndThePositionLineItsCoordinates) {
    gps.gridText.assign("32 512345 5812345");
    last.longitude = 9.5;
    last.latitude = 52.25;
    gps.eastWest.assign("E");
    gps.northSouth.assign("N");
    gps.altitude = 245.6f;
    const struct {
        float speed;
        double trip;
        int coordFormat;
        std::vector<const char*> texts;
    } cases[] = {{99.94f, 12345.0, 0, {"99.9", "12.35", "246", "UTM 32 512345 5812345", "05:12-21:30"}},
                 {100.0f, 123456.0, 1, {"100", "123.5", "km", "GEO E 9.50000° N 52.25000°"}}};
    for (const auto& c : cases) {
        gps.speed = c.speed;
        gps.tripDistance = c.trip;
        display.coordFormat = c.coordFormat;
        show();
        for (const char* text : c.texts) EXPECT_TRUE(drawn.has(text)) << text;
    }
    EXPECT_FALSE(drawn.has("100.0"));
}

TEST_F(GpsView, TwelveSatellitesGiveElevenBarsBlackWhenUsed) {
    link.open = true;
    gps.gsaSeen = gps.gsvSeen = true;
    settings.LGsaLogTime = 1;
    satellites.inViewCount = 12;
    for (int i = 0; i < 12; ++i) {
        satellites.inView[static_cast<std::size_t>(i)].prn = i + 1;
        satellites.inView[static_cast<std::size_t>(i)].snr = 40;
        satellites.inView[static_cast<std::size_t>(i)].used = i < 4 ? 1 : 0;
    }
    satellites.fixMode.assign("3");
    show();
    EXPECT_EQ(barColumns(kBlack), 4 * 6);
    EXPECT_EQ(barColumns(kGreyLine), 7 * 6);
    EXPECT_TRUE(drawn.has("3d"));
    EXPECT_TRUE(drawn.has("1")) << "PRN 01 written digit above digit";

    // Many systems: each satellite once, the eleven strongest get the bars.
    satellites.inViewCount = 40;
    for (int i = 0; i < 40; ++i) {
        SatelliteEntry& e = satellites.inView[static_cast<std::size_t>(i)];
        e.prn = i % 20 + 1;   // entries 20..39 are the same satellites on a second signal
        e.system = 1 + i % 20 / 10;
        e.snr = i < 20 ? i : i - 20 + (i == 39 ? 5 : 0);
        e.used = i % 2 == 0;
    }
    show();
    EXPECT_EQ(barColumns(kBlack), 5 * 6) << "the used ones among SNR 9 to 19";
    EXPECT_EQ(barColumns(kGreyLine), 6 * 6);
}

// Without satellite data the panel shows the fix, or asks for position sentences; a replay
// waits for nothing, a closed port says so.
TEST_F(GpsView, WithoutSatelliteDataThePanelSaysWhatIsMissing) {
    settings.LGsaLogTime = -1;
    clock.setUtc(DateTime{2026, 6, 1, 10, 0, 3});
    gps.satellitesUsedText.assign("07");
    const struct {
        bool open, replaying, fix;
        std::vector<const char*> shown, hidden;
    } cases[] = {{true, false, true, {"Positions Fix", "07 Satelliten"}, {"Warte auf Fix"}},
                 {true, false, false, {"Warte auf Fix", "RMC/GGA aktivieren"}, {}},
                 {false, true, false, {}, {"Warte auf Fix", "RMC/GGA aktivieren", "GPS nicht aktiv"}},
                 {false, false, false, {"GPS nicht aktiv"}, {}}};
    for (const auto& c : cases) {
        link.open = c.open;
        frame.replaying = c.replaying;
        gps.fixValid = gps.ggaSeen = c.fix;
        show();
        for (const char* text : c.shown) EXPECT_TRUE(drawn.has(text)) << text;
        for (const char* text : c.hidden) EXPECT_FALSE(drawn.has(text)) << text;
    }
    EXPECT_TRUE(logHas("$GPRMC oder $GPGGA aktivieren"));
}

TEST_F(GpsView, BatteryFromThePowerSupplyFolder) {
    show();
    EXPECT_TRUE(logHas("Could not get power status"));
    EXPECT_FALSE(state.onAcPower);

    supply({{"AC/type", "Mains"}, {"AC/online", "1"}, {"BAT0/type", "Battery"}, {"BAT0/capacity", "57"}});
    show();
    EXPECT_TRUE(state.onAcPower);
    EXPECT_TRUE(drawn.has("57"));
    EXPECT_TRUE(drawn.has("+"));

    supply({{"AC/online", "0"}, {"BAT0/capacity", "100"}});
    show();
    EXPECT_FALSE(state.onAcPower);
    EXPECT_TRUE(drawn.has("99"));
    EXPECT_FALSE(drawn.has("+"));
}

TEST_F(GpsView, ResetRequestsAreServedAtTheNextRedraw) {
    gps.speedProfile.fill(10);
    gps.speedProfile[170] = 90;  // beyond the 170 entries searched
    gps.speedProfile[3] = 42;
    gps.speedMax = 300;
    gps.tripDistance = 5000.0;
    gps.tripStartSecond = 100;
    gps.elapsedText.assign("01:00:00");
    state.requests.recomputeSpeedMax = true;
    state.requests.resetTrip = true;
    show();
    EXPECT_EQ(gps.speedMax, 42);
    EXPECT_EQ(gps.tripDistance, 0.0);
    EXPECT_EQ(gps.tripStartSecond, 0);
    EXPECT_EQ(std::string(gps.elapsedText.view()), "00:00:00");
    EXPECT_FALSE(state.requests.recomputeSpeedMax || state.requests.resetTrip);
}

TEST_F(GpsView, ASlowRedrawWithAnOpenPortPurgesIt) {
    SlowClock slow;
    GpsViewContext ctx = context(slow);
    ShowGps(ctx, state);
    EXPECT_EQ(link.purges, 0) << "no port to purge";
    link.open = true;
    ShowGps(ctx, state);
    EXPECT_EQ(link.purges, 1);
    EXPECT_EQ(link.restarts, 1);
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
    frame.moveDisplayMode = 4;  // a quarter turn anticlockwise
    show();
    EXPECT_EQ(presenter.shown, upright.transformed(QTransform().rotate(-90)));
    frame.moveDisplayMode = 7;
    show();
    EXPECT_EQ(presenter.shown, upright.mirrored(true, true));
}

TEST_F(GpsView, ProfilesScaleToTheMaximumNewestAtTheRight) {
    const auto draw = [&] {
        image.fill(Qt::white);
        QPainter painter(&image);
        DrawHProfile(painter, gps, QRect(10, 10, 173, 42));
    };
    gps.altitudeProfileNext = 5;
    gps.altitudeProfile[4] = 100;  // newest
    gps.altitudeProfile[3] = 50;
    gps.altitudeMax = 100;
    draw();
    // Frame inner height 40: newest line 40 pixels high at x 181, the one before 20 at x 180.
    EXPECT_EQ(countColour(image, QRect(181, 11, 1, 40), kBlack), 40);
    EXPECT_EQ(countColour(image, QRect(180, 11, 1, 40), kBlack), 20);
    EXPECT_EQ(countColour(image, QRect(100, 11, 1, 40), kBlack), 0);
    gps.altitudeMax = 0;
    draw();
    EXPECT_EQ(countColour(image, QRect(11, 11, 171, 40), kBlack), 0);
}

}  // namespace
}  // namespace vexa::testing
