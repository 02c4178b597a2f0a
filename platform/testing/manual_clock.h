// A clock the test sets: tick, UTC time, local offset and time-zone state are plain values.
#pragma once

#include <mutex>

#include "platform/clock.h"

namespace vexa {

class ManualClock : public Clock {
public:
    std::uint32_t tickCount() const override;
    DateTime utcNow() const override;
    DateTime localNow() const override;
    WallTime wallNow() const override;
    int utcOffsetSeconds() const override;
    TimeZoneState timeZoneState() const override;
    // Records the time and answers with setTimeError (0 = accepted).
    int setSystemTimeUtc(const DateTime& utc) override;

    void setTick(std::uint32_t tick);
    void advance(std::uint32_t milliseconds);  // moves the tick and the UTC time
    void setUtc(const DateTime& utc);
    void setUtcOffsetSeconds(int seconds);
    void setTimeZoneState(TimeZoneState state);
    void setSetTimeError(int error);
    int setTimeCalls() const;

private:
    mutable std::mutex mutex_;
    std::uint32_t tick_ = 0;
    DateTime utc_{2024, 6, 1, 12, 0, 0, 0, 6};
    int offsetSeconds_ = 0;
    TimeZoneState state_ = TimeZoneState::Unknown;
    int setTimeError_ = 0;
    int setTimeCalls_ = 0;
};

// Calendar arithmetic shared by the clocks: a DateTime moved by a number of milliseconds,
// with the day of the week recomputed.
DateTime addMilliseconds(const DateTime& time, long long milliseconds);

}  // namespace vexa
