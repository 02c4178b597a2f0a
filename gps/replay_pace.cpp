#include "gps/replay_pace.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "gps/nmea_fields.h"
#include "gps/nmea_talker.h"
#include "gps/position_sentences.h"

namespace vexa {

namespace {

constexpr double kDaySeconds = 86400.0;
// Further behind its clock than this, a replay (slow drawing, a pause) is not made to catch up.
constexpr std::chrono::seconds kMaxLag{1};

}  // namespace

bool isReplaySpeed(int speed) { return std::ranges::find(kReplaySpeeds, speed) != kReplaySpeeds.end(); }

std::optional<LogTime> logTimeOf(std::string_view line) {
    const std::string_view sentence = sentenceIn(line);
    const SentenceType type = sentenceTag(sentence).type;
    if (type != SentenceType::Rmc && type != SentenceType::Gga) return std::nullopt;
    const PositionSentence s =
        type == SentenceType::Rmc ? PositionSentence(readRmc(sentence)) : PositionSentence(readGga(sentence));
    const std::string_view time = s.time;
    if (time.size() < 6 || !std::all_of(time.begin(), time.begin() + 6, [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        }))
        return std::nullopt;
    const double fraction = time.size() > 6 && time[6] == '.' ? parseDouble(time.substr(6)) : 0.0;
    return LogTime{s.secondOfDay + fraction, type == SentenceType::Rmc};
}

void LogClock::restart() {
    rmcSeen_ = false;
    lastSecond_.reset();
}

std::optional<double> LogClock::step(std::string_view line) {
    const std::optional<LogTime> time = logTimeOf(line);
    if (!time) return std::nullopt;
    if (time->rmc) rmcSeen_ = true;
    else if (rmcSeen_) return std::nullopt;
    const std::optional<double> last = std::exchange(lastSecond_, time->second);
    if (!last) return 0.0;
    double step = time->second - *last;
    if (step < -kDaySeconds / 2) step += kDaySeconds;  // past midnight
    return std::max(step, 0.0);
}

void ReplayPace::restart() {
    std::lock_guard lock(mutex_);
    clock_.restart();
    lastDue_.reset();
}

void ReplayPace::setSpeed(int speed) {
    {
        std::lock_guard lock(mutex_);
        speed_ = speed;
        ++wakeups_;
    }
    cv_.notify_all();
}

int ReplayPace::speed() const {
    std::lock_guard lock(mutex_);
    return speed_;
}

void ReplayPace::wake() {
    {
        std::lock_guard lock(mutex_);
        ++wakeups_;
    }
    cv_.notify_all();
}

void ReplayPace::waitForLine(std::string_view line, const std::function<bool()>& interrupted) {
    std::unique_lock lock(mutex_);
    const std::optional<double> step = clock_.step(line);
    if (!step) return;
    const auto now = std::chrono::steady_clock::now();
    if (!lastDue_) {
        lastDue_ = now;
        return;
    }
    auto due = now;
    for (;;) {
        if (speed_ == kReplaySpeedMax || interrupted()) break;
        const auto wait = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(*step / speed_));
        due = *lastDue_ + std::min<std::chrono::steady_clock::duration>(wait, kMaxReplayWait);
        const unsigned seen = wakeups_;
        if (!cv_.wait_until(lock, due, [&] { return wakeups_ != seen; })) break;
    }
    const auto after = std::chrono::steady_clock::now();
    lastDue_ = after - due > kMaxLag ? after : std::max(due, *lastDue_);
}

}  // namespace vexa
