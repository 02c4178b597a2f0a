// The trace: a ring of recorded GPS positions, filled by the position parsers.
#pragma once

#include <array>
#include <cstdint>

#include "util/fixed_text.h"
#include "geo/track_point.h"

namespace vexa {

inline constexpr int kTraceSlots = 2001;

struct TracePoint {
    double gridX = 0.0;
    double gridY = 0.0;
    std::int32_t segmentStart = 0;  // 1: the point starts a new piece of trace
    std::int32_t source = 0;        // 1 RMC, 2 GGA
    double speed = 0.0;             // km/h
    double course = 0.0;            // degrees
    double altitude = 0.0;          // metres
    double distance = 0.0;          // trip distance at this point, metres
    std::int32_t elapsedSeconds = 0;
    FixedText<8> timeText;
    FixedText<8> elapsedText;
    FixedText<8> dateText;
    char datumCode = kDatumWgs84;
    double lon = 0.0;
    FixedText<1> ewText;
    double lat = 0.0;
    FixedText<1> nsText;
    FixedText<5> satellitesText{"0"};
};

struct TraceTable {
    std::array<TracePoint, kTraceSlots> points{};
    int next = 0;            // write position
    bool wrapped = false;
    int replayPos = -1;      // entry last shown by the trace replay

    bool empty() const { return next == 0 && !wrapped; }
    // The newest stored point, or nullptr when there is none.
    const TracePoint* newest(long itracemax) const;
};

// The route point a trace point becomes: position, geographic coordinates, whole metres of
// altitude, datum; the leg drawn blue.
TrackPoint trackPointOf(const TracePoint& point);

// Stores `point` at the write position and advances it; the ring wraps after index
// `itracemax` (at most 2000). The slot after the newest point is prepared for the next fix.
void storeTracePoint(TraceTable& trace, const TracePoint& point, long itracemax);

// "Trace löschen": empties the ring; the command restarts the trip beside it (RestartTrip).
void ClearTrace(TraceTable& trace, long itracemax);

}  // namespace vexa
