// The steps that $GPRMC and $GPGGA share: time of day and trip time, the local datum shift,
// the profiles, the trace rule, the screen auto-off, the refresh of the views and the
// bad-reception path.
#pragma once

#include <span>
#include <string_view>

#include "geo/grid.h"
#include "util/fixed_text.h"

namespace vexa {

struct GpsInput;
struct GpsState;

inline constexpr std::string_view kBadReceptionTitle = "Empfang schlecht";
inline constexpr std::string_view kBadReceptionText = "Keine Positionsanzeige, schlechter Empfang";

// A field copied into a bounded, writable buffer (TimeSetting rewrites the hour in place).
struct FieldBuffer {
    char data[128] = {};
    std::size_t size = 0;

    explicit FieldBuffer(std::string_view field);
    std::string_view view() const { return {data, size}; }
    std::span<char> span() { return {data, size}; }
};

// The time and both coordinate fields are long enough for a fix (ddmm.mm with 2 to 4+
// decimals of minutes).
bool plausibleFix(std::string_view time, std::string_view lat, std::string_view lon);
// The window title "GPS an <port>".
void setGpsOnTitle(GpsInput& in);

// Second of the day from hhmmss.
int secondOfDay(std::string_view time);
// Trip start on the first fix, elapsed seconds (across midnight) and their text.
void updateElapsed(GpsState& gps, int second);
// "hh:mm:ss" from the first six characters of a time field (fewer when it is shorter).
std::size_t buildTimeText(std::string_view time, char (&out)[8]);
void setTimeText(FixedText<8>& text, std::string_view time);
// Today's local date "dd.mm.yy".
void setTodayText(GpsInput& in, FixedText<8>& text);

// Decimal degrees from the coordinate and hemisphere fields, shifted into the datum of the
// current grid when that grid uses a local datum.
struct Position {
    double lon = 0.0;
    double lat = 0.0;
};
Position readPosition(GpsInput& in, std::string_view latField, std::string_view ns,
                      std::string_view lonField, std::string_view ew);

void pushProfile(std::span<int> ring, int& next, int& maximum, float value);

// Records a trace point when the position moved far enough (and, live, the trace interval
// has passed), and always for the first fix after start or a fix loss. `source` is 1 for RMC, 2 for GGA. Returns whether a point was recorded.
bool applyTraceRule(GpsInput& in, int source, double d, double mark, GridPoint grid,
                    const Position& pos);
// The trace rule; live reception without a recorded point lets the screen go dark after a
// minute standing still.
void traceOrScreenAutoOff(GpsInput& in, int source, double d, double mark, GridPoint grid,
                          const Position& pos);
// The fix on the grid: the position texts, the grid point, the last position's grid.
GridPoint placeFix(GpsInput& in, const Position& pos);

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
