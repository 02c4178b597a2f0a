#include "routes/trace_table.h"

#include <algorithm>

#include "frame/settings.h"
#include "util/trunc_to_int.h"

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

void ClearTrace(TraceTable& trace, long itracemax) {
    trace.next = 0;
    trace.wrapped = false;
    trace.replayPos = -1;
    trace.points[0].satellitesText.assign("0");
    trace.points[0].altitude = 0.0;
    for (int i = 0; i < ringTop(itracemax); ++i) {
        trace.points[static_cast<std::size_t>(i)].gridX = 0.0;
        trace.points[static_cast<std::size_t>(i)].gridY = 0.0;
    }
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
