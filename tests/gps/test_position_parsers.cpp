// parseRMC and parseGGA put a fix into the GPS state: datum shift, trip figures, clock, trace
// rule, bad reception, the GGA-only receiver and the screen auto-off.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "geo/datum.h"
#include "geo/grid.h"
#include "gps/position_parsers.h"
#include "gps/satellite_parsers.h"
#include "gps/sentence_processing.h"
#include "gps/trip_reset.h"
#include "routes/trace_table.h"
#include "tests/gps/gps_fixture.h"

namespace vexa::testing {
namespace {

const std::string kFix = "4807.0380,N,01131.0000,E";

struct Parsers : ::testing::Test {
    GpsRecords r;
    void SetUp() override {
        resetForRun(r.in);
        r.frame.displayMode = DisplayMode::Gps;
    }
    double rmc(const std::string& body) { return parseRMC(r.in, nmea(body), true, true); }
    double gga(const std::string& body) { return parseGGA(r.in, nmea(body), true, true); }
    // An RMC at kFix with the given time, speed and course empty.
    double rmcAt(const std::string& time) { return rmc("GPRMC," + time + ",A," + kFix + ",,,230394,,"); }
};

TEST_F(Parsers, RmcFixReachesTheStateProfileTitleAndGrid) {
    rmc("GPRMC,120000.00,A,3351.6000,S,07012.0000,W,010.0,271.5,010124,,");
    EXPECT_EQ(std::tuple(r.gps.course, std::round(r.gps.speed * 100), std::round(r.last.latitude * 1e4), std::round(r.last.longitude * 1e4)),
              std::tuple(271.5f, 1852.0f, -338600.0, -702000.0));
    EXPECT_EQ(std::tuple(r.gps.northSouth.view(), r.gps.eastWest.view(), r.gps.fixDateText.view(),
                         r.gps.fixTimeText.view(), r.gps.gridText.view().substr(0, 3)),
              std::tuple("S", "W", "01.01.24", "12:00:00", "32 "));
    // The maximum rounded half up.
    EXPECT_EQ(std::tuple(r.gps.speedProfile[0], r.gps.speedMax, r.gps.fixValid, r.titleCount("GPS an COM1:")), std::tuple(18, 19, true, 1));
    rmc("GPRMC," + std::string(200, '1') + ",A," + kFix + ",,,230394,,");
    EXPECT_EQ(r.gps.fixTimeText.view(), "11:11:11") << "a long time field is cut to its buffer";
}

TEST_F(Parsers, VoidOrImplausibleRmcIsBadReceptionAndKeepsThePosition) {
    r.frame.displayMode = DisplayMode::Move;
    const double start = r.last.latitude;
    EXPECT_EQ(rmc("GPRMC,120000.00,A,4807.0,N,01131.0000,E,,,230394,,"), 0.0) << "short latitude";
    EXPECT_EQ(std::tuple(r.ui.titles().back(), r.last.latitude, r.trace->next), std::tuple("Empfang schlecht", start, 0));

    rmcAt("120000.00");
    const double lat = r.last.latitude;
    EXPECT_EQ(rmc("GPRMC,120001.00,V,4807.0390,N,01131.0000,E,,,230394,,"), 0.0);
    EXPECT_EQ(std::tuple(r.ui.titles().back(), r.gps.fixValid, r.gps.rmcPrevValid, r.last.latitude),
              std::tuple("Empfang schlecht", false, false, lat));
    ASSERT_FALSE(r.views.moveTexts.empty());
    EXPECT_EQ(r.views.moveTexts.back(), "Keine Positionsanzeige, schlechter Empfang");
    EXPECT_EQ(r.views.frames.back().grid.northing, r.last.grid.northing);
    rmc("GPRMC,120002.00,V,,,,,,,,,,N");
    EXPECT_EQ(r.views.frames.size(), 2u) << "drawn once while the receiver searches";
    // A replay names its file again at the next good fix.
    r.frame.replaying = true;
    r.frame.replayTitle = "drive.txt";
    rmcAt("120003.00");
    EXPECT_EQ(r.ui.titles().back(), "drive.txt");
}

TEST_F(Parsers, BadReceptionInGpsViewShowsTheLocalTimeOrNone) {
    r.clock.setUtc({2024, 6, 1, 22, 30, 0, 0, 6});
    r.clock.setUtcOffsetSeconds(2 * 3600);
    rmc("GPRMC,223015.00,V,,,,,,,010624,,");
    // The hour moved to local time across midnight.
    EXPECT_EQ(std::tuple(r.gps.fixTimeText.view(), r.gps.fixDateText.view()), std::tuple("00:30:15", "02.06.24"));
    r.clock.setUtcOffsetSeconds(-5 * 3600);
    rmc("GPRMC,020000.00,V,,,,,,,010624,,");
    EXPECT_EQ(r.gps.fixTimeText.view(), "21:00:00") << "and back across midnight";
    rmc("GPRMC,,V,,,,,,,,,");
    EXPECT_EQ(std::tuple(r.gps.fixTimeText.view(), r.views.gpsRedraws >= 3), std::tuple("", true));

    // UTC and local time come from one reading: a separate local reading here is already the
    // next millisecond, in the next hour.
    struct MovingClock : ManualClock {
        DateTime localNow() const override { return addMilliseconds(ManualClock::localNow(), 1); }
    } moving;
    moving.setUtc({2024, 6, 1, 21, 59, 59, 999, 6});
    moving.setUtcOffsetSeconds(2 * 3600);
    GpsInput in = r.input(r.ui, moving, r.views);
    parseRMC(in, nmea("GPRMC,215959.00,V,,,,,,,010624,,"), true, true);
    EXPECT_EQ(r.gps.fixTimeText.view(), "23:59:59");
}

TEST_F(Parsers, TripFiguresFromSuccessiveFixesAndElapsedTimeAcrossMidnight) {
    EXPECT_EQ(rmc("GPRMC,235959.00,A,4806.0000,N,01131.0000,E,,,230394,,"), 0.0);
    const double first = rmc("GPRMC,235959.00,A,4807.0000,N,01131.0000,E,,,230394,,");
    EXPECT_EQ(r.gps.averageSpeed, 0.0) << "no average within the first second";
    rmc("GPRMC,000000.00,A,4807.0000,N,01131.0000,E,,,240394,,");
    EXPECT_NEAR(r.gps.averageSpeed, first * 3.6, 1e-9) << "one second across midnight";
    const double d = rmc("GPRMC,000059.00,A,4808.0000,N,01131.0000,E,,,240394,,");
    EXPECT_NEAR(d, 1852.0 * 6367000.0 / 6371000.0, 15.0) << "one minute of latitude";
    EXPECT_DOUBLE_EQ(r.gps.tripDistance, first + d);
    EXPECT_EQ(std::tuple(r.gps.elapsedSeconds, r.gps.elapsedText.view()), std::tuple(60, "00:01:00"));
    EXPECT_NEAR(r.gps.averageSpeed, (first + d) * 3.6 / 60.0, 1e-9);
    gga("GPGGA,000101.50,4808.0000,N,01131.0000,E,1,05,1.0,10.0,M,,M,,");
    EXPECT_EQ(r.last.elapsedText.view(), "00:01:02");
}

TEST_F(Parsers, GgaQualityZeroOrNoSatellitesIsBadReceptionAndAltitudeIsCorrected) {
    r.settings.iHKorrektur = 2;
    gga("GPGGA,120000.00," + kFix + ",1,08,0.9,30.0,M,46.9,M,,");
    EXPECT_FLOAT_EQ(r.gps.altitude, 30.0f) << "only the stored value 1 is on";
    r.settings.iHKorrektur = 1;
    gga("GPGGA,120000.00," + kFix + ",1,08,0.9,30.0,M,46.9,M,,");
    EXPECT_FLOAT_EQ(r.gps.altitude, 0.0f) << "the correction never goes below zero";
    const auto time = r.gps.fixTimeText;
    EXPECT_EQ(gga("GPGGA,120001.00," + kFix + ",0,03,0.9,545.4,M,46.9,M,,"), 0.0);
    // Quality 0 leaves the time text.
    EXPECT_EQ(std::tuple(r.gps.fixValid, r.gps.fixTimeText.view(), r.ui.titles().back()), std::tuple(false, time.view(), "Empfang schlecht"));

    gga("GPGGA,120002.00," + kFix + ",1,08,0.9,100.0,M,46.9,M,,");
    // The satellites are carried by the next trace point.
    EXPECT_EQ(std::tuple(r.gps.fixValid, r.gps.altitude, r.gps.altitudeMax, r.gps.satellitesUsedText.view(), r.trace->points[0].satellitesText.view()),
              std::tuple(true, 53.0f, 53, "08", "08"));
    EXPECT_EQ(gga("GPGGA,120003.00,,,,,0,00,,,M,,M,,"), 0.0);
    EXPECT_EQ(std::tuple(r.gps.fixValid, r.gps.ggaPrevValid), std::tuple(false, false));
}

TEST_F(Parsers, WithRmcPresentGgaLeavesPositionSpeedAndTraceAlone) {
    r.gps.rmcSeen = true;
    const double lat = r.last.latitude;
    gga("GPGGA,120000.00," + kFix + ",1,08,0.9,545.4,M,46.9,M,,");
    // The satellites are kept for the point RMC records next.
    EXPECT_EQ(std::tuple(r.last.latitude, r.trace->next, r.trace->points[0].satellitesText.view(), r.gps.altitude),
              std::tuple(lat, 0, "08", 545.4f));
}

TEST_F(Parsers, GgaOnlyReceiverTakesSpeedAndCourseFromItsOwnSteps) {
    r.settings.imindist = 0;
    r.frame.replaying = true;  // trace by distance only
    gga("GPGGA,120000.00,4807.0000,N,00900.0000,E,1,08,0.9,500.0,M,46.9,M,,");
    const double north = gga("GPGGA,120002.00,4807.1000,N,00900.0000,E,1,08,0.9,500.0,M,46.9,M,,");
    EXPECT_NEAR(r.gps.speed, north * 3.6 / 2.0, 1e-3) << "two seconds for the step";
    EXPECT_NEAR(r.gps.course, 0.0, 0.5);
    const std::pair<const char*, double> steps[] = {
        {"4807.1000,N,00900.1000,E", 90.0}, {"4807.0000,N,00900.1000,E", 180.0}, {"4807.0000,N,00900.0000,E", 270.0}};
    for (int i = 0; i < 3; ++i) {
        gga("GPGGA,12000" + std::to_string(3 + i) + ".00," + steps[i].first + ",1,08,0.9,500.0,M,46.9,M,,");
        EXPECT_NEAR(r.gps.course, steps[i].second, 1.0) << steps[i].first;
    }
    EXPECT_EQ(std::tuple(r.trace->next, r.trace->points[1].source, r.gps.tripDistance > 0), std::tuple(5, 2, true));

    // Due east on the grid: no change in northing at all.
    TracePoint& previous = r.trace->points[static_cast<std::size_t>(r.trace->next - 1)];
    previous.gridY = r.last.grid.northing;
    previous.gridX = r.last.grid.easting - 10.0;
    gga("GPGGA,120006.00,4807.0000,N,00900.0000,E,1,08,0.9,500.0,M,46.9,M,,");
    EXPECT_FLOAT_EQ(r.gps.course, 90.0f);
    gga("GPGGA,120006.00,4807.1000,N,00900.0000,E,1,08,0.9,500.0,M,46.9,M,,");
    EXPECT_EQ(r.gps.speed, 0.0f) << "no time step, no speed";
}

TEST_F(Parsers, GaussKruegerGridShiftsThePositionToPotsdam) {
    r.grid.LocalDatumGrid = true;
    r.grid.GkStrip = 3;
    rmc("GPRMC,120000.00,A,5222.5540,N,00943.9200,E,,,230394,,");
    const double lon = 9 + 43.92 / 60, lat = 52 + 22.554 / 60;
    const GeodeticPoint potsdam = wgs84ToLocal(lon, lat, r.grid);
    EXPECT_NEAR(r.last.latitude, potsdam.latitude, 2e-6);
    EXPECT_NEAR(r.last.longitude, potsdam.longitude, 2e-6);
    EXPECT_EQ(std::tuple(r.last.datumTag, r.gps.gridText.view().substr(0, 2)), std::tuple(kDatumPotsdam, "3 "));
    EXPECT_NEAR(r.last.grid.easting, llh2utm(potsdam.longitude, potsdam.latitude, 1, r.grid).easting, 1.0);
}

TEST_F(Parsers, TraceRuleRecordsTheFirstFixAndCopiesItsTexts) {
    r.gps.traceTimer = 1.0f;
    rmc("GPRMC,120000.00,A," + kFix + ",010.0,045.0,230394,,");
    ASSERT_EQ(r.trace->next, 1);
    const TracePoint& p = r.trace->points[0];
    EXPECT_EQ(std::tuple(p.source, p.segmentStart, p.timeText.view(), p.dateText.view(), p.nsText.view()),
              std::tuple(1, 1, "12:00:00", "23.03.94", "N"));
    EXPECT_EQ(std::tuple(std::round(p.speed * 100), r.last.dateText.view(), r.gps.traceTimer, r.gps.traceSegmentStart),
              std::tuple(1852.0, "23.03.94", 0.0f, false));

    // Live, a fix that has not moved records nothing, even with no minimum distance.
    r.gps.traceTimer = 5.0f;
    r.gps.rmcDistanceSinceMark = 0.0;
    r.settings.imindist = 0;
    rmc("GPRMC,120001.00,A," + kFix + ",010.0,045.0,230394,,");
    EXPECT_EQ(r.trace->next, 1);
    // After the fix was lost, by a GSA or a void RMC, the next fix is a point again.
    parseGSA(r.in, nmea("GPGSA,A,1,,,,,,,,,,,,,,,"));
    rmc("GPRMC,120002.00,A,4807.0381,N,01131.0000,E,010.0,045.0,230394,,");
    rmc("GPRMC,120003.00,V,,,,,,,230394,,");
    rmc("GPRMC,120004.00,A,4807.0381,N,01131.0000,E,010.0,045.0,230394,,");
    EXPECT_EQ(r.trace->next, 3);
}

// Only a possible time and date set the clock, and only when it is more than ten seconds off
// (the system clock stands at 12:00:30 on 1 June 2024).
TEST_F(Parsers, ClockIsSetOnlyFromAPossibleTimeThatDiffers) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"235959.00", "311299", 1}, {"000000.00", "010100", 1}, {"240000.00", "010624", 0},
        {"126000.00", "010624", 0}, {"120060.00", "010624", 0}, {"120000.00", "000624", 0},
        {"120000.00", "320624", 0}, {"120000.00", "010024", 0}, {"120000.00", "011324", 0},
        {"120040.00", "010624", 0}, {"120041.00", "010624", 1}, {"120035.00", "010624", 0}};
    r.settings.iZeitsync = 1;
    for (const auto& [time, date, set] : cases) {
        r.clock.setUtc({2024, 6, 1, 12, 0, 30, 0, 6});
        const int before = r.clock.setTimeCalls();
        rmc(std::string("GPRMC,") + time + ",A," + kFix + ",,," + date + ",,");
        EXPECT_EQ(r.clock.setTimeCalls() - before, set) << time << " " << date;
    }
}

TEST_F(Parsers, ClockIsSetFromGpsTimeOnlyWhenAskedAndOff) {
    r.settings.iZeitsync = 1;
    r.clock.setUtc({2024, 6, 1, 12, 0, 0, 0, 6});
    r.clock.setUtcOffsetSeconds(2 * 3600);
    rmc("GPRMC,120005.00,A," + kFix + ",,,010624,,");
    // 5 seconds apart is close enough.
    EXPECT_EQ(std::tuple(r.clock.setTimeCalls(), r.gps.fixTimeText.view()), std::tuple(0, "14:00:05"));

    rmc("GPRMC,101500.00,A," + kFix + ",,,230324,,");
    const DateTime set = r.clock.utcNow();
    EXPECT_EQ(std::tuple(r.clock.setTimeCalls(), set.year, set.month, set.hour), std::tuple(1, 2024, 3, 10));
    EXPECT_TRUE(r.listHas("Time Set 230324 101500.00"));

    r.clock.setSetTimeError(1314);
    int apiErrors = 0;
    r.diagnostics.setApiErrorHook([&] { ++apiErrors; });
    rmc("GPRMC,111500.00,A," + kFix + ",,,230324,,");
    rmc("GPRMC,111501.00,A," + kFix + ",,,230324,,");
    EXPECT_TRUE(r.listHas("COM1: function=SetSystemTime error=1314"));
    // A refusal is said once and switches the screen on once.
    EXPECT_EQ(std::tuple(apiErrors, r.clock.setTimeCalls()), std::tuple(1, 2));
    r.clock.setSetTimeError(0);

    r.frame.replaying = true;
    rmc("GPRMC,031500.00,A," + kFix + ",,,230394,,");
    EXPECT_EQ(r.clock.setTimeCalls(), 2) << "never while replaying";

    // Only the stored value 1 is on.
    r.frame.replaying = false;
    resetForRun(r.in);
    r.settings.iZeitsync = 2;
    rmc("GPRMC,051500.00,A," + kFix + ",,,230394,,");
    EXPECT_EQ(r.clock.setTimeCalls(), 2);
}

TEST_F(Parsers, ScreenGoesDarkAfterAMinuteStandingStillUnlessOnExternalPower) {
    r.settings.iPowerSave = 1;
    r.settings.imindist = 1000;
    r.gps.rmcDistanceSinceMark = 0.0;
    r.gps.traceFirstFix = false;  // standing still after the first fix
    r.clock.setTick(100000);
    r.gps.lastActivityTick = 40000;
    rmcAt("120000.00");
    EXPECT_TRUE(r.views.displaySwitches.empty()) << "exactly 60000 ms is not yet more";
    r.clock.setTick(100001);
    r.views.acPower = true;
    rmcAt("120001.00");
    EXPECT_TRUE(r.views.displaySwitches.empty());
    r.views.acPower = false;
    r.frame.displayMode = DisplayMode::Karte;
    rmcAt("120002.00");
    EXPECT_TRUE(r.views.displaySwitches.empty());
    r.frame.displayMode = DisplayMode::Gps;
    rmcAt("120003.00");
    EXPECT_EQ(std::tuple(r.views.displaySwitches, r.frame.bAutoScreenOn.load()), std::tuple(std::vector<bool>{true}, false));

    // Movement records a point and switches the screen back on, also one switched off by key.
    r.settings.imindist = 0;
    r.gps.traceTimer = 10.0f;
    r.clock.setTick(200000);
    rmc("GPRMC,120004.00,A,4808.0380,N,01131.0000,E,,,230394,,");
    EXPECT_EQ(std::tuple(r.views.displaySwitches, r.frame.bAutoScreenOn.load(), r.gps.lastActivityTick.load()),
              std::tuple(std::vector<bool>{true, false}, true, 200000u));
    r.frame.bManualScreenOff = true;
    r.gps.traceTimer = 10.0f;
    rmc("GPRMC,120005.00,A,4809.0380,N,01131.0000,E,,,230394,,");
    EXPECT_EQ(std::tuple(r.views.displaySwitches, r.frame.bAutoScreenOn.load(), r.frame.bManualScreenOff.load()),
              std::tuple(std::vector<bool>{true, false, false}, true, false));
}

TEST_F(Parsers, TripStartsAtTheFirstFixNotAtASearchingSentence) {
    gga("GPGGA,100000.00,,,,,0,00,,,M,,M,,");
    rmc("GPRMC,100005.00,V,,,,,,,,,,N");
    gga("GPGGA,100030.00," + kFix + ",1,08,0.9,545.4,M,46.9,M,,");
    gga("GPGGA,100100.00," + kFix + ",1,08,0.9,545.4,M,46.9,M,,");
    EXPECT_EQ(r.gps.elapsedSeconds, 30);
}

TEST_F(Parsers, TraceClearedDuringADriveAddsNoLeapToTheTrip) {
    rmc("GPRMC,120000.00,A," + kFix + ",10.0,0.0,230394,,");
    rmc("GPRMC,120001.00,A,4807.0440,N,01131.0000,E,10.0,0.0,230394,,");
    ClearTrace(*r.trace, r.settings.itracemax);
    RestartTrip(r.gps, r.last);
    EXPECT_EQ(std::tuple(r.gps.speedMax, r.last.timeText.view()), std::tuple(0, " ")) << "nothing kept of the drive before";
    rmc("GPRMC,120002.00,A,4807.0500,N,01131.0000,E,10.0,0.0,230394,,");
    // The trip starts again, and the first fix after clearing starts the trace.
    EXPECT_EQ(std::tuple(r.gps.tripDistance < 20.0, r.gps.elapsedText.view(), r.trace->next, r.trace->points[0].segmentStart),
              std::tuple(true, "00:00:00", 1, 1));
}

}  // namespace
}  // namespace vexa::testing
