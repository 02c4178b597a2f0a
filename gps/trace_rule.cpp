#include <algorithm>

#include "frame/frame_state.h"
#include "frame/settings.h"
#include "geo/datum_code.h"
#include "gps/fix_texts.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/position_fix.h"
#include "platform/clock.h"
#include "routes/trace_table.h"

namespace vexa {

[[gnu::hot]] bool applyTraceRule(GpsInput& in, int source, double d, double mark, GridPoint grid,
                    const Position& pos) {
    GpsState& gps = in.gps;
    const bool replaying = in.frame.replaying.load();
    const bool far = mark + d > static_cast<double>(in.settings.imindist);
    const bool due = in.settings.LTraceTime != 0 &&
                     gps.traceTimer >= static_cast<float>(in.settings.LTraceTime);
    const bool first = gps.traceFirstFix && (replaying || in.settings.LTraceTime != 0);
    if (!first && (!far || (!replaying && !due))) return false;
    gps.traceFirstFix = false;

    TraceTable& trace = in.trace;
    // The slot keeps the satellites text that the last GGA wrote into it (for a GGA point,
    // this very sentence).
    TracePoint p = trace.points[static_cast<std::size_t>(std::clamp(trace.next, 0, kTraceSlots - 1))];
    p.gridX = grid.easting;
    p.gridY = grid.northing;
    p.segmentStart = gps.traceSegmentStart ? 1 : 0;
    gps.traceSegmentStart = false;
    p.source = source;
    p.speed = gps.speed;
    p.course = gps.course;
    p.altitude = gps.altitude;
    p.distance = gps.tripDistance;
    p.elapsedSeconds = gps.elapsedSeconds;
    p.timeText = gps.fixTimeText;
    p.elapsedText = gps.elapsedText;
    // A GGA carries no date: live, its point is dated today.
    if (source != 1 && !replaying) setTodayText(in, gps.fixDateText);
    p.dateText = gps.fixDateText;
    p.datumCode = datumCodeFor(in.grid);
    p.lon = pos.lon;
    p.ewText = gps.eastWest;
    p.lat = pos.lat;
    p.nsText = gps.northSouth;

    if (source == 1) {
        in.last.dateText = gps.fixDateText;
        in.last.elapsedText = gps.elapsedText;
        in.last.timeText = gps.fixTimeText;
    }
    gps.traceTimer = 0.0f;
    storeTracePoint(trace, p, in.settings.itracemax);

    gps.lastActivityTick.store(in.clock.tickCount());
    if (!in.frame.bAutoScreenOn.load() || in.frame.bManualScreenOff.load()) {
        in.views.DisplayOnOff(false);
        in.frame.bAutoScreenOn.store(true);
        in.frame.bManualScreenOff.store(false);
    }
    return true;
}

[[gnu::hot]] void traceOrScreenAutoOff(GpsInput& in, int source, double d, double mark, GridPoint grid,
                          const Position& pos) {
    if (!applyTraceRule(in, source, d, mark, grid, pos) && !in.frame.replaying.load())
        applyScreenAutoOff(in);
}

}  // namespace vexa
