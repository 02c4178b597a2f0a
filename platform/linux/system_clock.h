// The machine's clocks: steady_clock for the tick, the C library's time zone for local time,
// clock_settime for setting the time (needs CAP_SYS_TIME; otherwise the error is returned).
#pragma once

#include "platform/clock.h"

namespace vexa {

class SystemClock : public Clock {
public:
    std::uint32_t tickCount() const override;
    DateTime utcNow() const override;
    DateTime localNow() const override;
    WallTime wallNow() const override;
    int utcOffsetSeconds() const override;
    TimeZoneState timeZoneState() const override;
    int setSystemTimeUtc(const DateTime& utc) override;
};

}  // namespace vexa
