#include "geo/sun_times.h"

#include <cmath>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "util/diagnostic_text.h"
#include "platform/testing/manual_clock.h"

namespace vexa {
namespace {

DateTime at(int year, int month, int day, int hour = 12, int minute = 0) { return {year, month, day, hour, minute}; }

TEST(DayOfYear, LocalDateWithGregorianLeapYears) {
    const std::tuple<DateTime, int, int> cases[] = {  // UTC, offset in seconds, day
        {at(2023, 1, 1), 0, 1},        {at(2023, 3, 1), 0, 60},     {at(2024, 2, 29), 0, 60},
        {at(2024, 3, 1), 0, 61},       {at(2000, 3, 1), 0, 61},     {at(2100, 3, 1), 0, 60},
        {at(2024, 12, 31), 0, 366},    {at(2023, 12, 31), 0, 365},  {at(2023, 7, 15), 0, 196},
        {at(2023, 12, 31, 23, 30), 3600, 1},  // already 1 January locally
        {at(2024, 3, 1, 0, 30), -3600, 60},   // still 29 February locally
    };
    ManualClock clock;
    for (const auto& [utc, offsetSeconds, day] : cases) {
        clock.setUtc(utc);
        clock.setUtcOffsetSeconds(offsetSeconds);
        EXPECT_EQ(JulianFromGregorian(clock), day) << utc.year << "-" << utc.month << "-" << utc.day;
    }
}

TEST(TimeZoneHours, SettingOrWholeHourOffsetAcrossMidnight) {
    const std::tuple<DateTime, int, int, int> cases[] = {  // UTC, offset in seconds, setting, hours
        {at(2024, 7, 15), 7200, 0, 0},  // a setting wins over the clock
        {at(2024, 7, 15), 7200, -5, -5},
        {at(2024, 7, 15, 23, 30), 7200, kTimeZoneAutomatic, 2},      // local time is already tomorrow
        {at(2024, 1, 1, 1, 0), -5 * 3600, kTimeZoneAutomatic, -5},   // local time is still yesterday
        {at(2024, 12, 31, 20, 0), 13 * 3600, kTimeZoneAutomatic, 13},
        {at(2024, 1, 15, 12), 19800, kTimeZoneAutomatic, 5},         // +5:30
        {at(2024, 1, 15, 22, 0), -12600, kTimeZoneAutomatic, -3},    // -3:30
    };
    ManualClock clock;
    for (const auto& [utc, offsetSeconds, setting, hours] : cases) {
        clock.setUtc(utc);
        clock.setUtcOffsetSeconds(offsetSeconds);
        EXPECT_EQ(TimeZoneHours(clock, setting), hours) << offsetSeconds << " " << setting;
    }
}

class SunriseTest : public ::testing::Test {
protected:
    // Rise and set in minutes after midnight.
    std::pair<int, int> sunTimes(double lat, double lon, DateTime utc, int zone) {
        const std::string text = sunText(lat, lon, utc, zone);
        int rh = -1, rm = -1, sh = -1, sm = -1;
        EXPECT_EQ(std::sscanf(text.c_str(), "%2d:%2d-%2d:%2d", &rh, &rm, &sh, &sm), 4) << text;
        EXPECT_EQ(text.size(), 11u) << text;
        return {rh * 60 + rm, sh * 60 + sm};
    }
    std::string sunText(double lat, double lon, DateTime utc, int zone) {
        clock.setUtc(utc);
        return CalcSunrise(lat, lon, clock, zone, diagnostics);
    }

    ManualClock clock;
    DiagnosticText diagnostics;
};

TEST_F(SunriseTest, EquinoxAndShiftsByLongitudeAndZone) {
    // 21 March on the meridian of UTC+1 at 50° N: about twelve hours of day around a noon that
    // the equation of time (about −7 min) moves to about 12:07.
    const auto [rise, set] = sunTimes(50.0, 15.0, at(2023, 3, 21), 1);
    EXPECT_NEAR((rise + set) / 2, 12 * 60 + 7, 4);
    EXPECT_NEAR(set - rise, 12 * 60 + 10, 10);

    // 15° further west the sun comes an hour later; so it does one zone further east.
    const auto [westRise, westSet] = sunTimes(50.0, 0.0, at(2023, 3, 21), 1);
    for (const int later : {westRise - rise, westSet - set, sunTimes(50.0, 15.0, at(2023, 3, 21), 2).first - rise}) EXPECT_NEAR(later, 60, 1);

    // The automatic setting takes the clock's offset.
    clock.setUtcOffsetSeconds(7200);
    EXPECT_EQ(sunText(48.0, 15.0, at(2023, 8, 10), kTimeZoneAutomatic),
              sunText(48.0, 15.0, at(2023, 8, 10), 2));
}

TEST_F(SunriseTest, PolarNightAndMidnightSun) {
    // No sunrise: the half day is 0 and rise and set coincide at noon.
    const auto [rise, set] = sunTimes(80.0, 15.0, at(2023, 12, 21), 1);
    EXPECT_TRUE(rise == set && std::abs(rise - 12 * 60) <= 10) << rise << " " << set;
    // No sunset: the half day is 12 hours; the set runs past 24:00 and wraps, so both read
    // just after midnight.
    EXPECT_EQ(sunText(80.0, 15.0, at(2023, 6, 21), 1), "00:01-00:01");
}

TEST_F(SunriseTest, TimesBeforeMidnightWrapAndHalfHourZonesKeepTheirHalfHour) {
    // 150° E on UTC: the sun rises about 20:00 UTC of the evening before.
    const auto [rise, set] = sunTimes(0.0, 150.0, at(2023, 3, 21), 0);
    EXPECT_NEAR(rise, 20 * 60 - 7 + 7, 15);
    EXPECT_NEAR(set, 8 * 60 + 7, 15);

    clock.setUtcOffsetSeconds(5 * 3600 + 1800);  // India, +5:30
    const int halfHourZone = sunTimes(20.0, 82.5, at(2023, 3, 21), kTimeZoneAutomatic).first;
    EXPECT_NEAR(halfHourZone - sunTimes(20.0, 82.5, at(2023, 3, 21), 5).first, 30, 1);
}

TEST_F(SunriseTest, APositionOffTheGlobeStillGivesAClockTime) {
    // Longitudes from damaged sentences: the hours are far beyond the range of int.
    for (const double longitude : {-9.4e14, 3e10, std::nan("")})
        EXPECT_EQ(sunText(52.0, longitude, at(2023, 3, 20), 1).size(), 11u) << longitude;
}

TEST_F(SunriseTest, DebugModeLogsTimeZoneLines) {
    clock.setTimeZoneState(TimeZoneState::Daylight);
    clock.setUtcOffsetSeconds(7200);
    sunText(50.0, 9.0, at(2023, 7, 1), kTimeZoneAutomatic);
    EXPECT_EQ(diagnostics.text(), "");
    diagnostics.debugMode = true;
    sunText(50.0, 9.0, at(2023, 7, 1), kTimeZoneAutomatic);
    EXPECT_EQ(diagnostics.text(),
              "GradTZ = <30>, iStunden = <2>\r\nGetTimeZoneInformation return = <2>\r\n");
}

}  // namespace
}  // namespace vexa
