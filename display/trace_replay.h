// Playing the recorded trace and the route back on the map views: the view moves from point
// to point, turned to each leg's course and animated in sub-steps of about ten screen pixels,
// while the Move view's statistics follow the played point.
//
// `ShowIrcTrace` and `ShowIrcRoute` show one point; the replay thread (display/replay_thread.h)
// and the stepping keys call them with the application's state mutex held.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "geo/track_point.h"

namespace vexa {

struct FrameState;
struct GpsState;
struct GridContext;
struct RouteTable;
struct TracePoint;
struct TraceTable;

inline constexpr int kTraceReplaySlots = 2000;  // the replay plays the first 2000 slots
inline constexpr int kTraceSubStepsMax = 20;
inline constexpr int kRouteSubStepsMax = 10;

// The replay's own state.
struct ReplayControl {
    int routeStepPos = 0;        // route point last shown by stepping
    int traceStepCount = 1;      // trace entries per replay step (the fast button raises it)
    int routeStepCount = 1;      // route points per replay step
    bool traceJumpMode = false;  // one frame per trace entry, no sub-steps
    bool routeJumpMode = false;  // one frame per route point, no sub-steps
    bool playingRoute = false;   // the running replay plays the route, not the trace
    std::atomic<bool> replayDrawing{false};  // a trace or route replay thread runs
};

// One composed frame of the replay.
struct ReplayFrame {
    TrackPoint position;
    float course = 0.0f;       // the view's turning angle, degrees
    double speed = 0.0;        // km/h
    int altitude = 0;          // m
    double tripDistance = 0.0; // m
    std::string elapsedText;
};

// Where the replay draws: the application composes the map view or the GPS view.
class ReplayScreen {
public:
    virtual ~ReplayScreen() = default;
    virtual void composeAt(const ReplayFrame& frame) = 0;
    // The GPS view at a trace entry's grid position (geographic texts, map check, sun times).
    virtual void showGpsAt(const TracePoint& entry) = 0;
};

struct ReplayRecords {
    FrameState& frame;
    GpsState& gps;
    RouteTable& route;
    TraceTable& trace;
    const GridContext& grid;
    ReplayControl& control;
    ReplayScreen& screen;
};

// Leg length in metres: the grid distance, shortened by cos(latitude) on Mercator maps; the
// spherical distance on plate carrée maps (coordinates in 1/10000 degree).
double legLength(const GridContext& grid, const TrackPoint& from, double de, double dn);
// Leg course in degrees: 0 north, 90 east, 180 south, −90 west (northings stretched by the
// vertical ratio).
float legCourse(double de, double dn, double verticalRatio);
// Sub-steps for a leg: one per 10 screen pixels, at least 1, at most `maxSteps`.
int legSubSteps(int mapScale, double length, double zoomFactor, int maxSteps);

// The trace indices a continuous replay shows: the older part of a wrapped ring first
// (count + 1 … 1999), then 0 … count − 2, every `step`-th.
std::vector<int> traceReplayOrder(int count, bool wrapped, int step);
// The route indices: 0 … count − 2, every `step`-th.
std::vector<int> routeReplayOrder(int count, int step);

// Shows route point `index` and animates towards the point `steps` ahead; adds the legs to
// the trip distance.
void ShowIrcRoute(ReplayRecords& r, int index, int steps);
// Shows trace entry `index` with its statistics and animates the leg to the next entry.
// A negative index shows the first entry only; indices from 2000 on are ignored.
void ShowIrcTrace(ReplayRecords& r, int index);

// The digit keys: "0" steps the trace replay back by 10, "1".."9" forward by the digit,
// wrapping as the keys do. Returns the position to show.
int traceKeyStep(const TraceTable& trace, int digit);

// Moves the replay position as `traceKeyStep` says and returns it; a wrap forward to the start
// begins the accumulated distance again.
int stepTraceReplayPos(TraceTable& trace, GpsState& gps, int digit);

}  // namespace vexa
