// Time as the system sees it: a millisecond tick, the UTC and local calendar time, and setting
// the system clock from GPS time.
#pragma once

#include <cstdint>

namespace vexa {

struct DateTime {
    int year = 1970;
    int month = 1;        // 1..12
    int day = 1;          // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int dayOfWeek = 4;    // 0 = Sunday
};

// The UTC and the local calendar time of one moment.
struct WallTime {
    DateTime utc;
    DateTime local;
};

// What the time-zone information says of the current local time.
enum class TimeZoneState { Unknown = 0, Standard = 1, Daylight = 2 };

class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds since an arbitrary start; wraps like a 32-bit tick counter.
    virtual std::uint32_t tickCount() const = 0;
    virtual DateTime utcNow() const = 0;
    virtual DateTime localNow() const = 0;
    // Both from one reading of the clock: their hours differ by the zone's offset even when an
    // hour begins between two separate readings.
    virtual WallTime wallNow() const = 0;
    // Local time minus UTC, in seconds, at this moment.
    virtual int utcOffsetSeconds() const = 0;
    virtual TimeZoneState timeZoneState() const = 0;
    // Sets the system clock to the given UTC time. Returns 0 or the system error number.
    virtual int setSystemTimeUtc(const DateTime& utc) = 0;
};

}  // namespace vexa
