#include "routes/trace_table.h"

#include <algorithm>

#include "frame/settings.h"
#include "gps/gps_state.h"
#include "gps/nmea_fields.h"

namespace vexa {

namespace {

int ringTop(long itracemax) {
    return static_cast<int>(std::clamp<long>(itracemax, 0, kTraceMaxLimit));
}

}  // namespace

const TracePoint* TraceTable::newest(long itracemax) const {
    if (next > 0) return &points[static_cast<std::size_t>(next - 1)];
    if (wrapped) return &points[static_cast<std::size_t>(ringTop(itracemax))];
    return nullptr;
}

void storeTracePoint(TraceTable& trace, const TracePoint& point, long itracemax) {
    const int top = ringTop(itracemax);
    // A ring shrunk below the write position starts over at 0 rather than writing past it.
    if (trace.next > top) trace.next = top;
    trace.points[static_cast<std::size_t>(trace.next)] = point;
    if (trace.next >= top) {
        trace.next = 0;
        trace.wrapped = true;
    } else {
        ++trace.next;
    }
    TracePoint& following = trace.points[static_cast<std::size_t>(trace.next)];
    following.altitude = 0.0;
    following.satellitesText.assign("0");
}

void ClearTrace(TraceTable& trace, GpsState& gps, LastPosition& last, long itracemax) {
    trace.next = 0;
    trace.wrapped = false;
    trace.replayPos = -1;
    trace.points[0].satellitesText.assign("0");
    trace.points[0].altitude = 0.0;
    for (int i = 0; i < ringTop(itracemax); ++i) {
        trace.points[static_cast<std::size_t>(i)].gridX = 0.0;
        trace.points[static_cast<std::size_t>(i)].gridY = 0.0;
    }
    gps.speedProfile.fill(0);
    gps.altitudeProfile.fill(0);
    gps.speedProfileNext = gps.altitudeProfileNext = 0;
    gps.speedMax = gps.altitudeMax = 0;
    gps.tripDistance = 0.0;
    gps.tripStartSecond = 0;
    gps.speed = 0.0f;
    gps.course = 0.0f;
    gps.altitude = 0.0f;
    last.timeText.assign(" ");
    last.elapsedText.assign(" ");
    last.dateText.assign(" ");
    gps.elapsedText.assign("00:00:00");
    // No distance is taken to a fix from before the clearing; the next fix starts the trace.
    gps.rmcPrevValid = gps.ggaPrevValid = false;
    gps.rmcPrevLat = gps.ggaPrevLat = 0.0;
    gps.traceSegmentStart = true;
    gps.traceFirstFix = true;
}

TrackPoint trackPointOf(const TracePoint& point) {
    TrackPoint p;
    p.gridX = point.gridX;
    p.gridY = point.gridY;
    p.lon = point.lon;
    p.lat = point.lat;
    p.altitude = truncToInt(point.altitude);
    p.datumCode = point.datumCode;
    return p;
}

}  // namespace vexa
