#include "platform/testing/manual_clock.h"

#include <chrono>

namespace vexa {

DateTime addMilliseconds(const DateTime& time, long long milliseconds) {
    using namespace std::chrono;
    const sys_days day = year_month_day{year{time.year}, month{static_cast<unsigned>(time.month)},
                                        std::chrono::day{static_cast<unsigned>(time.day)}};
    const auto start = day + hours{time.hour} + minutes{time.minute} + seconds{time.second} +
                       std::chrono::milliseconds{time.millisecond};
    const auto moved = start + std::chrono::milliseconds{milliseconds};
    const auto movedDay = floor<days>(moved);
    const year_month_day ymd{movedDay};
    const hh_mm_ss hms{floor<std::chrono::milliseconds>(moved - movedDay)};
    DateTime out;
    out.year = static_cast<int>(ymd.year());
    out.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    out.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    out.hour = static_cast<int>(hms.hours().count());
    out.minute = static_cast<int>(hms.minutes().count());
    out.second = static_cast<int>(hms.seconds().count());
    out.millisecond = static_cast<int>(hms.subseconds().count());
    out.dayOfWeek = static_cast<int>(weekday{movedDay}.c_encoding());
    return out;
}

std::uint32_t ManualClock::tickCount() const {
    std::lock_guard lock(mutex_);
    return tick_;
}

DateTime ManualClock::utcNow() const {
    std::lock_guard lock(mutex_);
    return utc_;
}

DateTime ManualClock::localNow() const {
    std::lock_guard lock(mutex_);
    return addMilliseconds(utc_, offsetSeconds_ * 1000LL);
}

WallTime ManualClock::wallNow() const {
    std::lock_guard lock(mutex_);
    return {utc_, addMilliseconds(utc_, offsetSeconds_ * 1000LL)};
}

int ManualClock::utcOffsetSeconds() const {
    std::lock_guard lock(mutex_);
    return offsetSeconds_;
}

TimeZoneState ManualClock::timeZoneState() const {
    std::lock_guard lock(mutex_);
    return state_;
}

int ManualClock::setSystemTimeUtc(const DateTime& utc) {
    std::lock_guard lock(mutex_);
    ++setTimeCalls_;
    if (setTimeError_ == 0) utc_ = utc;
    return setTimeError_;
}

void ManualClock::setTick(std::uint32_t tick) {
    std::lock_guard lock(mutex_);
    tick_ = tick;
}

void ManualClock::advance(std::uint32_t milliseconds) {
    std::lock_guard lock(mutex_);
    tick_ += milliseconds;
    utc_ = addMilliseconds(utc_, milliseconds);
}

void ManualClock::setUtc(const DateTime& utc) {
    std::lock_guard lock(mutex_);
    utc_ = addMilliseconds(utc, 0);  // normalises the day of the week
}

void ManualClock::setUtcOffsetSeconds(int seconds) {
    std::lock_guard lock(mutex_);
    offsetSeconds_ = seconds;
}

void ManualClock::setTimeZoneState(TimeZoneState state) {
    std::lock_guard lock(mutex_);
    state_ = state;
}

void ManualClock::setSetTimeError(int error) {
    std::lock_guard lock(mutex_);
    setTimeError_ = error;
}

int ManualClock::setTimeCalls() const {
    std::lock_guard lock(mutex_);
    return setTimeCalls_;
}

}  // namespace vexa
