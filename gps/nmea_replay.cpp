#include "gps/nmea_replay.h"

#include <mutex>

#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/nmea_log.h"
#include "routes/trace_table.h"

namespace vexa {

void StartReplay(GpsInput& in) {
    std::lock_guard lock(in.stateMutex);
    resetForRun(in);
    in.last.latitude = 0.0;
    in.last.longitude = 0.0;
    in.gps.tripStartSecond = 0;
    in.gps.averageSpeed = 0.0;
}

long ReplayNmeaText(GpsInput& in, LogTimers& timers, std::string_view text,
                    const std::function<bool()>& beforeLine) {
    long lines = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) break;
        if (beforeLine && !beforeLine()) break;
        std::string_view line = text.substr(start, end - start);
        // Each line is a zero-terminated text: a NUL byte ends it.
        line = line.substr(0, line.find('\0'));
        ProcessReplaySentence(in, timers, line);
        ++lines;
        start = end + 1;
    }
    return lines;
}

void FinishReplay(GpsInput& in) {
    if (in.log.active.load()) CloseLogFile(in.log);
    AddNmeaListLine(in.diagnostics, "Thread ProcessEmul ended");
    std::lock_guard lock(in.stateMutex);
    in.frame.replaying.store(false);
    in.trace.replayPos = in.trace.next;
}

}  // namespace vexa
