// The pace of an NMEA log replay: the log's own clock (the time field of RMC, or of GGA in a
// log without RMC) sped up by a chosen factor, or no pace at all.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string_view>

namespace vexa {

// Replay speeds as factors of the log's time; 0 plays as fast as the lines are processed.
inline constexpr int kReplaySpeedMax = 0;
inline constexpr std::array<int, 5> kReplaySpeeds{1, 5, 20, 100, kReplaySpeedMax};
inline constexpr int kDefaultReplaySpeed = 20;
// One step of the log clock never waits longer than this, whatever the gap in the log.
inline constexpr std::chrono::milliseconds kMaxReplayWait{2000};

bool isReplaySpeed(int speed);

// The time of an RMC or GGA line in seconds of the day (with its fraction); none for other
// sentences and for a time field that is not hhmmss.
struct LogTime {
    double second = 0.0;
    bool rmc = false;
};
std::optional<LogTime> logTimeOf(std::string_view line);

// The log's own clock: how many seconds of log time lie between the previous timed line and
// this one. GGA keeps the clock only in a log without RMC (both carry the same second);
// midnight counts as one day on; a time that runs backwards is no step at all.
class LogClock {
public:
    void restart();
    // None for a line that carries no time for the clock; 0 for the first one that does.
    std::optional<double> step(std::string_view line);

private:
    bool rmcSeen_ = false;
    std::optional<double> lastSecond_;
};

class ReplayPace {
public:
    // A new replay: the first timed line sets the clock.
    void restart();
    // Takes effect at once, also in a wait that has begun.
    void setSpeed(int speed);
    int speed() const;
    // Ends a running wait early (stop and pause requests); `interrupted` says whether to.
    void wake();

    // Waits until the line is due by the log's clock at the speed, at most kMaxReplayWait.
    // Returns early when `interrupted()` turns true; it is checked after each wake().
    void waitForLine(std::string_view line, const std::function<bool()>& interrupted);

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    int speed_ = kReplaySpeedMax;  // tools and tests; the window sets its own
    unsigned wakeups_ = 0;
    LogClock clock_;
    std::optional<std::chrono::steady_clock::time_point> lastDue_;  // none before the first timed line
};

}  // namespace vexa
