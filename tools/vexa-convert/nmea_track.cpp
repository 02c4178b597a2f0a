// An NMEA log as a track: the log replayed without a window, each trace point the replay
// records collected as it is stored.
#include <mutex>
#include <vector>

#include "gps/gps_records.h"
#include "gps/gps_views.h"
#include "gps/log_encoding.h"
#include "gps/nmea_replay.h"
#include "platform/linux/system_clock.h"
#include "routes/trace_table.h"
#include "tools/vexa-convert/conversion.h"

namespace vexa {

bool readNmeaTrack(const std::string& text, Conversion& conversion, Ui& ui) {
    GpsRecords records;
    records.grid = conversion.grid;
    records.frame.displayMode = DisplayMode::Karte;  // no views to refresh
    SystemClock clock;
    NoGpsViews views;
    GpsInput input = records.input(ui, clock, views);
    const TraceTable& trace = *records.trace;
    const long itracemax = records.settings.itracemax;

    // The ring keeps the last 2001 points; each new one is taken as it is stored.
    std::vector<TrackPoint> track;
    int seen = 0;
    const auto collect = [&](std::string_view = {}) {
        std::lock_guard lock(records.mutex);
        if (trace.next != seen) {
            const int newest = trace.next > 0 ? trace.next - 1 : static_cast<int>(itracemax);
            track.push_back(trackPointOf(trace.points[static_cast<std::size_t>(newest)]));
            seen = trace.next;
        }
        return true;
    };
    records.frame.replaying = true;
    StartReplay(input);
    LogTimers timers;
    ReplayNmeaText(input, timers, nmeaLogText(text), collect);
    collect();
    FinishReplay(input);
    if (track.empty()) return false;

    // At most 4000 points, spread evenly over the whole track; the last point always stays.
    RouteTable& route = *conversion.route;
    const double step = std::max(1.0, static_cast<double>(track.size() - 1) / (kRouteCapacity - 1));
    route.count = 0;
    for (double f = 0.0; route.count < kRouteCapacity; f += step) {
        const auto i = std::min(static_cast<std::size_t>(f + 0.5), track.size() - 1);
        route.points[static_cast<std::size_t>(route.count++)] = track[i];
        if (i == track.size() - 1) break;
    }
    return true;
}

}  // namespace vexa
