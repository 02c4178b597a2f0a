// The current GPS state that the parsers fill and every view reads.
//
// It is written by the GPS worker thread while it holds the application's state
// mutex (one lock per sentence) and read by the UI thread under the same mutex.
// `lastActivityTick` is also touched by keys and error reports, so it is atomic.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "frame/last_position.h"
#include "util/fixed_text.h"

namespace vexa {

inline constexpr int kProfileSize = 171;   // entries of the speed and altitude profiles

struct GpsState {
    bool fixValid = false;
    bool rmcSeen = false, ggaSeen = false, gsaSeen = false, gsvSeen = false;
    bool rmcPrevValid = false, ggaPrevValid = false;
    double rmcPrevLat = 0.0, rmcPrevLon = 0.0;   // previous fixes, in the grid's datum
    double ggaPrevLat = 0.0, ggaPrevLon = 0.0;

    double tripDistance = 0.0;    // metres since start-up or the last reset
    double averageSpeed = 0.0;    // km/h
    int tripStartSecond = 0;      // second of the UTC day of the first fix; 0 = not yet
    int elapsedSeconds = 0;
    FixedText<8> elapsedText;     // "hh:mm:ss"
    float lastGgaSecond = 0.0f;   // for the speed of a receiver that sends no RMC

    float speed = 0.0f;           // km/h
    float course = 0.0f;          // degrees 0..360
    float altitude = 0.0f;        // metres, never below 0

    int speedProfileNext = 0;
    int altitudeProfileNext = 0;
    int speedMax = 0;
    int altitudeMax = 0;

    FixedText<8> fixTimeText;         // local time of the fix, "hh:mm:ss"
    FixedText<8> fixDateText;         // "dd.mm.yy"
    FixedText<7> satellitesUsedText;  // GGA field 7 as received
    FixedText<1> northSouth;
    FixedText<1> eastWest;
    FixedText<63> gridText;           // "<zone> <easting> <northing>"
    bool onMap = false;

    float traceTimer = 0.0f;          // seconds since the last trace point
    bool traceSegmentStart = true;
    bool traceFirstFix = true;        // the next fix is a trace point (start, fix loss, cleared trace)
    bool noFixShown = false;          // the Move view shows the bad-reception text already
    bool badReceptionTitled = false;  // the window title says so
    bool clockSetRefused = false;     // the system refused the GPS time; not asked again this run
    double rmcDistanceSinceMark = 0.0;
    double ggaDistanceSinceMark = 0.0;
    std::atomic<std::uint32_t> lastActivityTick{0};

    // Last, after the fields every fix reads and writes, so that those share a few cache lines.
    std::array<int, kProfileSize> speedProfile{};
    std::array<int, kProfileSize> altitudeProfile{};
};

}  // namespace vexa
