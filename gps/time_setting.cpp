#include "gps/time_setting.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "frame/settings.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/nmea_fields.h"
#include "platform/clock.h"
#include "util/text.h"

namespace vexa {

namespace {

int twoDigits(std::span<const char> text, std::size_t at) {
    if (at >= text.size()) return 0;
    return parseInt(std::string_view(text.data() + at, std::min<std::size_t>(2, text.size() - at)));
}

// GPS hour moved by the device's local offset, brought into 0..23, written over the first
// two characters.
void writeLocalHour(std::span<char> text, int gpsHour, int localMinusUtcHours) {
    if (text.size() < 2) return;
    const int local = (((gpsHour + localMinusUtcHours) % 24) + 24) % 24;
    text[0] = static_cast<char>('0' + local / 10);
    text[1] = static_cast<char>('0' + local % 10);
}

bool plausible(const DateTime& t) {
    return t.hour <= 23 && t.minute <= 59 && t.second <= 59 && t.day >= 1 && t.day <= 31 &&
           t.month >= 1 && t.month <= 12;
}

// The system clock set to the GPS time, and said in the list; true when it was set. Out of the
// way of every fix: once the clock agrees, or was refused, this no longer runs.
[[gnu::cold]] [[gnu::noinline]] bool setSystemClock(GpsInput& in, const DateTime& gps, std::span<char> timeField,
                                                    std::string_view dateField) {
    const int error = in.clock.setSystemTimeUtc(gps);
    const std::string time(timeField.data(), timeField.size());
    if (error != 0) {
        // Said once: a system that refuses (no permission) refuses every second.
        in.gps.clockSetRefused = true;
        ReportApiError(in.diagnostics, "SetSystemTime", error, in.frame.portName);
        return false;
    }
    const std::string line = dateField.empty()
                                 ? strprintf("Time Set %s", time.c_str())
                                 : strprintf("Time Set %s %s", std::string(dateField).c_str(), time.c_str());
    AddNmeaListLine(in.diagnostics, latin1ToUtf8(line));
    return true;
}

}  // namespace

[[gnu::hot]] void TimeSetting(GpsInput& in, std::span<char> timeField, std::string_view dateField) {
    const auto [utc, local] = in.clock.wallNow();

    DateTime gps = utc;
    gps.hour = twoDigits(timeField, 0);
    gps.minute = twoDigits(timeField, 2);
    gps.second = twoDigits(timeField, 4);
    gps.millisecond = 0;
    if (!dateField.empty()) {
        gps.day = twoDigits(dateField, 0);
        gps.month = twoDigits(dateField, 2);
        gps.year = twoDigits(dateField, 4) + 2000;
    }

    int utcHour = utc.hour;
    if (in.settings.iZeitsync == 1 && !in.gps.clockSetRefused && in.gps.fixValid &&
        !in.frame.replaying.load() && plausible(gps)) {
        const bool differs = utc.hour != gps.hour || utc.minute != gps.minute ||
                             utc.day != gps.day || utc.month != gps.month ||
                             utc.year != gps.year || std::abs(utc.second - gps.second) > 10;
        if (differs && setSystemClock(in, gps, timeField, dateField)) utcHour = gps.hour;
    }
    writeLocalHour(timeField, gps.hour, local.hour - utcHour);
}

void AdjustTime(const Clock& clock, std::span<char> timeText) {
    const WallTime now = clock.wallNow();
    const int offset = now.local.hour - now.utc.hour;
    writeLocalHour(timeText, twoDigits(timeText, 0), offset);
}

}  // namespace vexa
