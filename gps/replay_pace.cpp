#include "gps/replay_pace.h"

#include <algorithm>
#include <cctype>

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

void ReplayPace::restart() {
    std::lock_guard lock(mutex_);
    rmcSeen_ = false;
    lastSecond_.reset();
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
    const std::optional<LogTime> time = logTimeOf(line);
    if (!time) return;
    std::unique_lock lock(mutex_);
    // GGA keeps the clock only in a log without RMC: both carry the same second.
    if (time->rmc) rmcSeen_ = true;
    else if (rmcSeen_) return;
    const auto now = std::chrono::steady_clock::now();
    if (!lastSecond_) {
        lastSecond_ = time->second;
        lastDue_ = now;
        return;
    }
    double step = time->second - *lastSecond_;
    if (step < -kDaySeconds / 2) step += kDaySeconds;  // past midnight
    step = std::max(step, 0.0);
    lastSecond_ = time->second;
    auto due = now;
    for (;;) {
        if (speed_ == kReplaySpeedMax || interrupted()) break;
        const auto wait = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(step / speed_));
        due = lastDue_ + std::min<std::chrono::steady_clock::duration>(wait, kMaxReplayWait);
        const unsigned seen = wakeups_;
        if (!cv_.wait_until(lock, due, [&] { return wakeups_ != seen; })) break;
    }
    const auto after = std::chrono::steady_clock::now();
    lastDue_ = after - due > kMaxLag ? after : std::max(due, lastDue_);
}

}  // namespace vexa
