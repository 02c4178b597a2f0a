// Replay throughput: a whole day's log through the replay sequence with drawing off, as
// "EmulateStart/Import" plays it.
#include <benchmark/benchmark.h>

#include <cmath>

#include "gps/gps_records.h"
#include "gps/gps_views.h"
#include "gps/nmea_replay.h"
#include "platform/testing/manual_clock.h"
#include "platform/testing/scripted_ui.h"
#include "tools/gpssim/nmea_sentences.h"

namespace {

using namespace vexa;

// 24 hours at 1 Hz of a receiver circling Hannover: RMC, GGA, GSA and three GSV a second,
// about 520 000 lines.
const std::string& dayLog() {
    static const std::string text = [] {
        std::string out;
        gpssim::Fix fix;
        for (int s = 0; s < 86400; ++s) {
            fix.second = s;
            fix.lon = 9.73 + 0.05 * std::cos(s / 900.0);
            fix.lat = 52.37 + 0.03 * std::sin(s / 900.0);
            fix.speedKmh = 45.0;
            fix.courseDeg = std::fmod(s / 900.0 * 57.3 + 90.0, 360.0);
            fix.altitude = 60.0;
            for (const auto& sentence : gpssim::sentencesForFix(fix, gpssim::UtcTime{2026, 6, 1, 0, 0, 0}))
                out += sentence;
        }
        return out;
    }();
    return text;
}

void ReplayDay(benchmark::State& state) {
    const std::string& text = dayLog();
    long lines = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto records = std::make_unique<GpsRecords>();
        records->settings.LGsaLogTime = 1;
        records->frame.displayMode = DisplayMode::Karte;  // no drawing
        records->frame.replaying = true;
        ScriptedUi ui;
        ManualClock clock;
        NoGpsViews views;
        GpsInput input = records->input(ui, clock, views);
        StartReplay(input);
        LogTimers timers;
        state.ResumeTiming();
        lines = ReplayNmeaText(input, timers, text);
        benchmark::DoNotOptimize(records->gps.tripDistance);
    }
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["lines_per_s"] =
        benchmark::Counter(static_cast<double>(lines) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(ReplayDay)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
