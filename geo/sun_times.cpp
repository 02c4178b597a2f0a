#include "geo/sun_times.h"

#include <cmath>

#include "util/diagnostic_text.h"
#include "geo/datum.h"
#include "platform/clock.h"
#include "util/text.h"

namespace vexa {

namespace {

constexpr int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool isGregorianLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// A time in hours as whole hours and the truncated minutes of the fraction. Only a position
// off the globe (from a damaged sentence) puts it more than a day either way; such a time is
// taken modulo 24 hours, so that its conversion to whole numbers stays defined.
void splitClockTime(double hours, int& wholeHours, int& minutes) {
    if (!std::isfinite(hours)) hours = 0.0;
    if (std::fabs(hours) >= 48.0) {
        hours = std::fmod(hours, 24.0);
        if (hours < 0.0) hours += 24.0;
    }
    wholeHours = static_cast<int>(hours);
    minutes = static_cast<int>((hours - wholeHours) * 60.0);
}

}  // namespace

int JulianFromGregorian(const Clock& clock) {
    const DateTime local = clock.localNow();
    int day = local.day;
    for (int m = 1; m < local.month && m <= 12; ++m) day += kMonthDays[m - 1];
    if (local.month > 2 && isGregorianLeapYear(local.year)) ++day;
    return day;
}

int TimeZoneHours(const Clock& clock, int timeZoneSetting) {
    if (timeZoneSetting != kTimeZoneAutomatic) return timeZoneSetting;
    // The difference of the local and UTC hour fields is off by 24 whenever the two lie on
    // different calendar days (late evening west of Greenwich, early morning east of it).
    // The clock's own offset has no such jump; whole hours, truncated toward zero, keep a
    // half-hour zone such as +5:30 at 5.
    return clock.utcOffsetSeconds() / 3600;
}

std::string CalcSunrise(double latitude, double longitude, const Clock& clock,
                        int timeZoneSetting, DiagnosticText& diagnostics) {
    const TimeZoneState state = clock.timeZoneState();
    if (diagnostics.debugMode) {
        AddDebugLine(diagnostics, strprintf("GetTimeZoneInformation return = <%d>",
                                            static_cast<int>(state)));
    }
    const int zoneHours = TimeZoneHours(clock, timeZoneSetting);
    if (diagnostics.debugMode) {
        AddDebugLine(diagnostics,
                     strprintf("GradTZ = <%d>, iStunden = <%d>", 15 * zoneHours, zoneHours));
    }

    const double day = JulianFromGregorian(clock);
    const double phi = latitude * kDegToRad;

    // Equation of time in hours and the sun's declination in radians.
    const double equationOfTime =
        -0.1752 * std::sin(0.03343 * day + 0.5474) - 0.134 * std::sin(0.018234 * day - 0.1939);
    const double declination = 0.40954 * std::sin(0.0172 * (day - 79.35));

    // Hour angle at which the sun's centre stands 0.0145 rad below the horizon.
    const double h0 = -0.0145;
    const double cosH = (std::sin(h0) - std::sin(phi) * std::sin(declination)) /
                        (std::cos(phi) * std::cos(declination));
    double halfDay;  // hours
    if (std::fabs(cosH) <= 1.0) {
        halfDay = std::acos(cosH) * 3.8197186342054796;
    } else {
        halfDay = cosH < 0.0 ? 12.0 : 0.0;  // midnight sun, or polar night
    }

    // The zone in hours with its fraction: a half-hour zone such as +5:30 keeps its half hour.
    const double zone = timeZoneSetting != kTimeZoneAutomatic ? timeZoneSetting
                                                              : clock.utcOffsetSeconds() / 3600.0;
    const double offset = (15.0 * zone - longitude) * 0.06666666666666667;
    // Times before midnight or after it belong to the clock face of the day: wrap by 24 h.
    const auto wrap = [](double hours) { return hours - 24.0 * std::floor(hours / 24.0); };
    const double rise = wrap(12.0 - halfDay - equationOfTime + offset);
    const double set = wrap(12.0 + halfDay - equationOfTime + offset);

    int riseHours, riseMinutes, setHours, setMinutes;
    splitClockTime(rise, riseHours, riseMinutes);
    splitClockTime(set, setHours, setMinutes);
    return strprintf("%02d:%02d-%02d:%02d", riseHours, riseMinutes, setHours, setMinutes);
}

}  // namespace vexa
