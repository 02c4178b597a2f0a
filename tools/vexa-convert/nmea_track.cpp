// An NMEA log as a track: the log replayed without a window, each trace point the replay
// records collected as it is stored.
#include <algorithm>
#include <mutex>
#include <vector>

#include "exchange/route_import.h"
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
    const auto capacity = static_cast<std::size_t>(kRouteCapacity);
    route.count = static_cast<int>(std::min(track.size(), capacity));
    for (std::size_t k = 0; k < static_cast<std::size_t>(route.count); ++k)
        route.points[k] = track[evenlySpreadIndex(k, track.size(), capacity)];
    return true;
}

}  // namespace vexa
