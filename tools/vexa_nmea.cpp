// vexa-nmea FILE…
//
// Replays NMEA logs through the replay processing, without a window, and prints per file:
// sentences by type, checksum failures, fixes, trace points, trip distance, time span, and
// the first and last position.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "frame/diagnostics.h"
#include "frame/frame_state.h"
#include "frame/settings.h"
#include "geo/grid_context.h"
#include "gps/gps_input.h"
#include "gps/gps_records.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/nmea_checksum.h"
#include "gps/nmea_log.h"
#include "gps/nmea_replay.h"
#include "gps/satellites.h"
#include "platform/linux/system_clock.h"
#include "routes/trace_table.h"
#include "tools/console_ui.h"

namespace {

using namespace vexa;

struct Summary {
    std::map<std::string, long> byType;
    long checksumFailures = 0;
    long fixes = 0;
    bool haveFirst = false;
    double firstLat = 0, firstLon = 0;
    std::string_view previousLine;
};

// After an RMC sentence (or a GGA from a receiver without RMC) that held a position.
void countFix(Summary& s, const GpsState& gps, const LastPosition& last) {
    const std::string_view line = s.previousLine;
    const bool rmc = line.substr(0, 6) == "$GPRMC" && gps.rmcPrevValid;
    const bool ggaOnly = line.substr(0, 6) == "$GPGGA" && !gps.rmcSeen && gps.ggaPrevValid;
    if (!rmc && !ggaOnly) return;
    ++s.fixes;
    if (!s.haveFirst) {
        s.haveFirst = true;
        s.firstLat = last.latitude;
        s.firstLon = last.longitude;
    }
}

// Counts what the replay sees: the sentence tag, the checksum verdict, and each new fix.
void countLine(Summary& s, std::string_view line) {
    std::string tag = "(other)";
    if (line.size() >= 6 && line[0] == '$') tag = std::string(line.substr(1, 5));
    ++s.byType[tag];
    if (nmeaChecksum(line) == ChecksumResult::Mismatch) ++s.checksumFailures;
}

int replayFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "vexa-nmea: cannot read %s\n", name);
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    GpsRecords records;
    records.settings.LGsaLogTime = 1;                // satellites are part of the picture
    records.frame.displayMode = DisplayMode::Karte;  // no view refresh
    ConsoleUi ui("vexa-nmea");
    SystemClock clock;
    NoGpsViews views;
    GpsInput input = records.input(ui, clock, views);
    GpsState& gps = records.gps;
    LastPosition& last = records.last;
    FrameState& frame = records.frame;
    std::mutex& mutex = records.mutex;
    const TraceTable& trace = *records.trace;

    Summary s;
    std::string_view rest(text);
    frame.replaying = true;
    StartReplay(input);
    LogTimers timers;
    // Runs before each line: the result of the line before, then the line about to come.
    auto step = [&] {
        std::lock_guard lock(mutex);
        countFix(s, gps, last);
        const std::size_t end = rest.find('\n');
        s.previousLine = rest.substr(0, end);
        countLine(s, s.previousLine);
        rest.remove_prefix(end + 1);
        return true;
    };
    const long lines = ReplayNmeaText(input, timers, text, step);
    countFix(s, gps, last);
    FinishReplay(input);

    std::printf("%s\n", name);
    std::printf("  lines replayed      %ld\n", lines);
    for (const auto& [tag, count] : s.byType) std::printf("  %-19s %ld\n", tag.c_str(), count);
    std::printf("  checksum failures   %ld\n", s.checksumFailures);
    std::printf("  fixes               %ld\n", s.fixes);
    std::printf("  trace points        %d%s\n", trace.wrapped ? 2001 : trace.next,
                trace.wrapped ? " (ring full)" : "");
    std::printf("  trip distance       %.1f m\n", gps.tripDistance);
    std::printf("  time span           %s (%d s)\n", gps.elapsedText.c_str(), gps.elapsedSeconds);
    if (s.haveFirst) {
        std::printf("  first position      %.6f %.6f\n", s.firstLat, s.firstLon);
        std::printf("  last position       %.6f %.6f\n", last.latitude, last.longitude);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vexa-nmea FILE...\n  replays NMEA logs and summarises them\n");
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) status |= replayFile(argv[i]);
    return status;
}
