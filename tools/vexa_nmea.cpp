// vexa-nmea FILE…
//
// Replays NMEA logs through the replay processing, without a window, streaming each file line
// by line, and prints per file: sentences by type (with lines of junk and stray bytes before a
// tag), checksum failures, fixes (sentences that gave a position), trace points, trip
// distance, time span, and the first and last position.
#include <algorithm>
#include <cstdio>
#include <fstream>
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
#include "gps/nmea_talker.h"
#include "gps/sentence_processing.h"
#include "gps/satellites.h"
#include "platform/linux/system_clock.h"
#include "routes/trace_table.h"
#include "tools/console_ui.h"

namespace {

using namespace vexa;

// Counts the positions the parsers placed on the grid: one per sentence that gave a fix.
class FixCounter : public NoGpsViews {
public:
    long fixes = 0;
    void fillGeomsg(double, double, std::string_view, std::string_view) override { ++fixes; }
};

struct Summary {
    std::map<std::string, long> byType;
    long checksumFailures = 0;
    bool haveFirst = false;
    double firstLat = 0, firstLon = 0;
};

// What the replay sees: the sentence tag, stray bytes before it, the checksum verdict.
void countLine(Summary& s, std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string_view sentence = sentenceIn(line);
    if (sentence.empty()) {
        ++s.byType[line.empty() ? "(empty)" : "(junk)"];
        return;
    }
    if (sentence.size() != line.size())
        ++s.byType[line.substr(0, 2) == "$$" ? "($$ before a tag)" : "(junk before a tag)"];
    const std::size_t tagEnd = std::min(sentence.find_first_of(",*"), sentence.size());
    ++s.byType[tagEnd > 1 ? std::string(sentence.substr(1, tagEnd - 1)) : "(junk)"];
    if (nmeaChecksum(sentence) == ChecksumResult::Mismatch) ++s.checksumFailures;
}

int replayFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "vexa-nmea: cannot read %s\n", name);
        return 1;
    }

    GpsRecords records;
    records.settings.LGsaLogTime = 1;                // satellites are part of the picture
    records.frame.displayMode = DisplayMode::Karte;  // no view refresh
    ConsoleUi ui("vexa-nmea");
    SystemClock clock;
    FixCounter views;
    GpsInput input = records.input(ui, clock, views);
    const GpsState& gps = records.gps;
    const LastPosition& last = records.last;
    const TraceTable& trace = *records.trace;

    Summary s;
    records.frame.replaying = true;
    StartReplay(input);
    LogTimers timers;
    long lines = 0;
    // The log is streamed line by line; a last line without its line feed is not replayed.
    std::string line;
    while (std::getline(in, line) && !in.eof()) {
        const std::string_view text = std::string_view(line).substr(0, line.find('\0'));
        countLine(s, text);
        ProcessReplaySentence(input, timers, text);
        ++lines;
        std::lock_guard lock(records.mutex);
        if (!s.haveFirst && views.fixes > 0) {
            s.haveFirst = true;
            s.firstLat = last.latitude;
            s.firstLon = last.longitude;
        }
    }
    FinishReplay(input);

    std::printf("%s\n", name);
    std::printf("  lines replayed      %ld\n", lines);
    for (const auto& [tag, count] : s.byType) std::printf("  %-19s %ld\n", tag.c_str(), count);
    std::printf("  checksum failures   %ld\n", s.checksumFailures);
    std::printf("  fixes               %ld\n", views.fixes);
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
