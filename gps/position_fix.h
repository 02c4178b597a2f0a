// The steps that apply a position fix of RMC or GGA to the GPS state, in their order: the
// start of a fix (title, trip time, clock, time text), the position in the grid's datum and
// the distance from the previous fix, then one place that moves the GPS state to the fix
// (trip figures, profiles, last position, grid, trace, map). Beside them the bad-reception
// path and the refresh of the views. The caller holds the state mutex.
#pragma once

#include <optional>
#include <string_view>

#include "geo/grid.h"

namespace vexa {

struct GpsInput;
struct GpsState;
struct PositionSentence;

inline constexpr std::string_view kBadReceptionTitle = "Empfang schlecht";
inline constexpr std::string_view kBadReceptionText = "Keine Positionsanzeige, schlechter Empfang";

// A fix's position in the datum of the current grid.
struct Position {
    double lon = 0.0;
    double lat = 0.0;
};

// What a sentence contributes to the move to its fix.
struct FixStep {
    Position position;
    // The distance added to the trip (with the average speed recomputed); none leaves both.
    std::optional<double> tripStep;
    double distance = 0.0;  // from the previous fix of this sentence type, 0 without one
    float speed = 0.0f;     // km/h
    // None: the course is taken from the grid step since the newest trace point.
    std::optional<float> course;
    int source = 1;     // the trace point's source code: 1 RMC, 2 GGA
    double mark = 0.0;  // this sentence type's distance since the last mark
};

// A sentence whose time or coordinate fields are too short is bad reception: the title
// says so and false is returned. Otherwise the trip time, the fix flag, the title "GPS an
// <port>" (unless replaying), the clock (TimeSetting with `date`, empty for GGA) and the
// fix time text in local time.
bool beginFix(GpsInput& in, const PositionSentence& s, std::string_view date);
// The sentence's WGS84 position, shifted into the datum of the current grid when that grid
// uses a local datum.
Position fixPosition(const GpsInput& in, const PositionSentence& s);
// The distance from the previous fix of a sentence type, when there is one that was valid;
// the previous fix becomes this one.
std::optional<double> stepFromPrevious(double& previousLat, double& previousLon, bool previousValid,
                                       const Position& position);
// Trip figures, speed and course, the speed profile, the last position and the hemispheres,
// the grid position, the trace rule (or the screen auto-off) and the Move view.
void applyFix(GpsInput& in, const PositionSentence& s, const FixStep& step, bool refreshMapFlag);

// Trip start on the first fix, elapsed seconds (across midnight) and their text.
void updateElapsed(GpsState& gps, int second);
// The window title "GPS an <port>".
void setGpsOnTitle(GpsInput& in);

// Records a trace point when the position moved far enough (and, live, the trace interval
// has passed), and always for the first fix after start or a fix loss. `source` is 1 for
// RMC, 2 for GGA. Returns whether a point was recorded.
bool applyTraceRule(GpsInput& in, int source, double d, double mark, GridPoint grid,
                    const Position& pos);
// Live reception without a recorded point: the screen goes dark after a minute standing still.
void applyScreenAutoOff(GpsInput& in);
// The trace rule; live reception without a recorded point lets the screen go dark.
void traceOrScreenAutoOff(GpsInput& in, int source, double d, double mark, GridPoint grid,
                          const Position& pos);

// Move view frame at the fix, the on-map flag and the grid text.
void refreshMap(GpsInput& in, GridPoint grid, bool refreshFlag);
// GPS graphic: sun times at the last position and a redraw.
void refreshGpsView(GpsInput& in, bool refreshFlag);

// The bad-reception path shared by both sentences. `tag` is the sentence's tag ("$GNRMC");
// `drawViews` is false for a GGA that leaves the views to RMC; `timeTexts` says whether
// the fix time and date texts are rebuilt for the GPS view. The Move view is drawn once per
// loss of the fix, not for every sentence while the receiver searches.
void badReception(GpsInput& in, std::string_view sentence, std::string_view tag, bool drawViews,
                  bool timeTexts);

}  // namespace vexa
