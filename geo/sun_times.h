// Day of the year, the time-zone offset and today's sunrise and sunset.
#pragma once

#include <string>

namespace vexa {

class Clock;
class DiagnosticText;

inline constexpr int kTimeZoneAutomatic = -99;

// Day of the year (1..366) of the clock's local date.
int JulianFromGregorian(const Clock& clock);
// Hours from UTC to local time: the setting, or with kTimeZoneAutomatic the clock's own offset.
int TimeZoneHours(const Clock& clock, int timeZoneSetting);
// Sunrise and sunset today as "hh:mm-hh:mm" (the SunTimesText).
std::string CalcSunrise(double latitude, double longitude, const Clock& clock,
                        int timeZoneSetting, DiagnosticText& diagnostics);

}  // namespace vexa
