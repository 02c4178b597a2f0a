#include "platform/linux/system_clock.h"

#include <cerrno>
#include <chrono>
#include <ctime>

namespace vexa {

namespace {

struct Now {
    std::time_t seconds;
    int millisecond;
};

Now now() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    return {static_cast<std::time_t>(ms / 1000), static_cast<int>(ms % 1000)};
}

DateTime fromTm(const std::tm& tm, int millisecond) {
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
            tm.tm_min,         tm.tm_sec,     millisecond, tm.tm_wday};
}

}  // namespace

std::uint32_t SystemClock::tickCount() const {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

DateTime SystemClock::utcNow() const {
    const Now n = now();
    std::tm tm{};
    gmtime_r(&n.seconds, &tm);
    return fromTm(tm, n.millisecond);
}

DateTime SystemClock::localNow() const {
    const Now n = now();
    std::tm tm{};
    localtime_r(&n.seconds, &tm);
    return fromTm(tm, n.millisecond);
}

WallTime SystemClock::wallNow() const {
    const Now n = now();
    std::tm utc{}, local{};
    gmtime_r(&n.seconds, &utc);
    localtime_r(&n.seconds, &local);
    return {fromTm(utc, n.millisecond), fromTm(local, n.millisecond)};
}

int SystemClock::utcOffsetSeconds() const {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return static_cast<int>(tm.tm_gmtoff);
}

TimeZoneState SystemClock::timeZoneState() const {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    if (tm.tm_isdst > 0) return TimeZoneState::Daylight;
    if (tm.tm_isdst == 0) return TimeZoneState::Standard;
    return TimeZoneState::Unknown;
}

int SystemClock::setSystemTimeUtc(const DateTime& utc) {
    std::tm tm{};
    tm.tm_year = utc.year - 1900;
    tm.tm_mon = utc.month - 1;
    tm.tm_mday = utc.day;
    tm.tm_hour = utc.hour;
    tm.tm_min = utc.minute;
    tm.tm_sec = utc.second;
    const std::time_t seconds = timegm(&tm);
    if (seconds == static_cast<std::time_t>(-1)) return EINVAL;
    const timespec ts{seconds, static_cast<long>(utc.millisecond) * 1000000L};
    return clock_settime(CLOCK_REALTIME, &ts) == 0 ? 0 : errno;
}

}  // namespace vexa
