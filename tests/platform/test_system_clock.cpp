#include "platform/linux/system_clock.h"

#include <gtest/gtest.h>

#include <ctime>

#include "tests/support/temp_dir.h"

namespace vexa {
namespace {

long long minutesOfDay(const DateTime& t) { return t.hour * 60 + t.minute; }

TEST(SystemClock, LocalTimeIsUtcPlusTheZoneOffset) {
    testing::ScopedEnv tz("TZ", "XST-5:30");  // a zone half an hour off the full hour
    tzset();
    SystemClock clock;
    EXPECT_EQ(clock.utcOffsetSeconds(), 5 * 3600 + 1800);
    const DateTime utc = clock.utcNow();
    const DateTime local = clock.localNow();
    const long long diff = (minutesOfDay(local) - minutesOfDay(utc) + 24 * 60) % (24 * 60);
    EXPECT_TRUE(diff == 330 || diff == 331) << diff;  // a minute may pass between the reads
    EXPECT_EQ(clock.timeZoneState(), TimeZoneState::Standard);
    tzset();
}

TEST(SystemClock, TickAdvancesInMilliseconds) {
    SystemClock clock;
    const std::uint32_t first = clock.tickCount();
    timespec pause{0, 20'000'000};
    nanosleep(&pause, nullptr);
    const std::uint32_t elapsed = clock.tickCount() - first;
    EXPECT_GE(elapsed, 20u);
    EXPECT_LT(elapsed, 5000u);
}

}  // namespace
}  // namespace vexa
