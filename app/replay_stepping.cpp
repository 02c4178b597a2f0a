// The Move view's replay buttons and the stepping keys: trace and route played continuously
// from a button, or one point per tap or key on the UI thread.
#include <algorithm>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/state_lock.h"
#include "display/replay_buttons.h"
#include "display/replay_thread.h"
#include "display/trace_replay.h"

namespace vexa {

namespace {
// A stop from a step button waits this long for the point being shown to end.
constexpr std::chrono::milliseconds kStepStopWait{2000};
}  // namespace

bool MainWindow::drawingReplayRuns() { return state_.replay.replayDrawing.load() || replay_->running(); }

// A tap on a shown replay button; false when the tap is on none.
bool MainWindow::replayButtonTap(int x, int y) {
    std::optional<ReplayButton> button;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        const ReplayButtonsShown shown = replayButtonsShown(state_.trace, state_.route, state_.replay);
        button = replayButtonAt(replayButtonLayout(state_.frame.screen.width, state_.frame.screen.height), shown, {x, y});
        if (!button) return false;
        ReplayControl& control = state_.replay;
        switch (*button) {
        case ReplayButton::TraceFast:
            control.traceStepCount = control.traceJumpMode ? control.traceStepCount + 1 : 1;
            control.traceJumpMode = true;
            break;
        case ReplayButton::RouteFast:
            control.routeStepCount = control.routeJumpMode ? control.routeStepCount + 1 : 1;
            control.routeJumpMode = true;
            break;
        case ReplayButton::TraceStart:
            control.traceJumpMode = false;
            control.traceStepCount = 1;
            break;
        case ReplayButton::RouteStart:
            control.routeJumpMode = false;
            control.routeStepCount = 1;
            break;
        default: break;
        }
    }
    switch (*button) {
    case ReplayButton::TraceStart:
        if (!drawingReplayRuns()) StartProcess_ShowIrcTrace();
        break;
    case ReplayButton::RouteStart:
        if (idle() && !drawingReplayRuns()) StartProcess_ShowIrcRoute();
        break;
    case ReplayButton::TraceStep:
    case ReplayButton::RouteStep: {
        const bool trace = *button == ReplayButton::TraceStep;
        if (!drawingReplayRuns()) {
            if (trace) stepTrace(1);
            else stepRoute(1);
            break;
        }
        // A running replay stops; the trace's leaves the view on the entry it played last.
        stopDrawingReplay(kStepStopWait);
        const int at = replay_->position();
        StateLock lock(state_.stateMutex, uiHoldsState_);
        if (!trace) {
            state_.replay.routeStepPos = -1;
        } else if (!state_.replay.playingRoute && at >= 0 && at < kTraceReplaySlots) {
            state_.frame.viewCentre.gridX = state_.trace.points[static_cast<std::size_t>(at)].gridX;
            state_.frame.viewCentre.gridY = state_.trace.points[static_cast<std::size_t>(at)].gridY;
        }
        break;
    }
    case ReplayButton::TracePause:
    case ReplayButton::RoutePause:
        if (drawingReplayRuns()) pauseDrawingReplay(!replay_->paused());
        break;
    default: break;
    }
    return true;
}

// One trace entry forwards (back to 1 at the end, as the digit keys) or backwards (below 1 to
// the last entry that has a successor); a wrap starts the accumulated distance again.
void MainWindow::stepTrace(int direction) {
    int index = 0;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        TraceTable& trace = state_.trace;
        if (direction > 0) {
            index = stepTraceReplayPos(trace, state_.gps, 1);
        } else {
            index = trace.replayPos - 1;
            if (index < 1) {
                index = std::max(trace.next - 2, kTraceReplaySlots * (trace.wrapped ? 1 : 0) - 2);
                state_.gps.tripDistance = 0.0;
            }
            trace.replayPos = index;
        }
    }
    showTraceStep(index);
}

// One route point forwards, animated along the leg ahead, or backwards, the leg just travelled
// taken off the distance; past either end to the other (the last point is never a start). The
// north-up Move view turns to the leg's course while the route is stepped.
void MainWindow::stepRoute(int direction) {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    const RouteTable& route = state_.route;
    if (route.count <= 1) return;
    int& pos = state_.replay.routeStepPos;
    const int last = route.count - 2;
    const bool wrap = direction > 0 ? pos >= last : pos <= 0;
    pos = wrap ? (direction > 0 ? 0 : last) : pos + direction;
    if (wrap) state_.gps.tripDistance = 0.0;
    state_.frame.routeStepping = true;
    state_.frame.selectedRoutePoint = pos;
    ReplayRecords records{state_.frame, state_.gps, state_.route, state_.trace, state_.grid, state_.replay, views_};
    if (direction > 0) {
        ShowIrcRoute(records, pos, 1);
        return;
    }
    const TrackPoint& from = route.points[static_cast<std::size_t>(pos)];
    const TrackPoint& to = route.points[static_cast<std::size_t>(pos + 1)];
    const double de = to.gridX - from.gridX;
    const double dn = to.gridY - from.gridY;
    if (!wrap) state_.gps.tripDistance = std::max(0.0, state_.gps.tripDistance - legLength(state_.grid, from, de, dn));
    TrackPoint shown;
    shown.gridX = from.gridX;
    shown.gridY = from.gridY;
    views_.composeAt(ReplayFrame{shown, legCourse(de, dn, 1.0), state_.gps.speed, static_cast<int>(state_.gps.altitude),
                                 state_.gps.tripDistance, std::string(state_.gps.elapsedText.view())});
}

}  // namespace vexa
