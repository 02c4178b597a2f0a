// The Move view's replay buttons: for the trace and for the route a fast button, a start
// button, a step button and, while that replay runs, a pause button. One layout serves the
// drawing and the taps, so that a button is hit where it is seen.
#pragma once

#include <array>
#include <optional>

#include <QPoint>
#include <QRect>

class QPainter;

namespace vexa {

struct ReplayControl;
struct RouteTable;
struct TraceTable;

enum class ReplayButton { TraceFast, TraceStart, TraceStep, TracePause, RouteFast, RouteStart, RouteStep, RoutePause };
inline constexpr int kReplayButtonCount = 8;

// Rectangles in screen pixels, indexed by `ReplayButton`: the route's column at the left edge,
// the trace's beside it, in the middle of the screen's height.
struct ReplayButtonLayout {
    std::array<QRect, kReplayButtonCount> rects;
    const QRect& operator[](ReplayButton b) const { return rects[static_cast<std::size_t>(b)]; }
};
ReplayButtonLayout replayButtonLayout(int screenWidth, int screenHeight);

// Which buttons show: a kind's buttons when it has more than one point, its pause button only
// while a replay of that kind runs. The caller holds the state the records belong to.
struct ReplayButtonsShown {
    bool trace = false;
    bool route = false;
    bool tracePause = false;
    bool routePause = false;
    bool shows(ReplayButton b) const;
};
ReplayButtonsShown replayButtonsShown(const TraceTable& trace, const RouteTable& route, const ReplayControl& replay);

// The shown button at `p`, or none.
std::optional<ReplayButton> replayButtonAt(const ReplayButtonLayout& layout, const ReplayButtonsShown& shown, QPoint p);

void drawReplayButtons(QPainter& painter, const ReplayButtonLayout& layout, const ReplayButtonsShown& shown);

}  // namespace vexa
