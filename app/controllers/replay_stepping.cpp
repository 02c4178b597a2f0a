// The Move view's replay buttons and the stepping keys: trace and route played continuously
// from a button, or one point per tap or key on the UI thread; the NMEA replay's speed, chosen
// in the menu or on a held replay button and kept for the next start.
#include <algorithm>

#include <QMenu>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/controllers/replay_controller.h"
#include "app/frame_view.h"
#include "app/qt_gps_views.h"
#include "display/replay_buttons.h"
#include "display/replay_thread.h"
#include "display/trace_replay.h"
#include "frame/settings_store.h"
#include "gps/gps_session.h"

namespace vexa {

namespace {

QString speedText(int speed) {
    return speed == kReplaySpeedMax ? QStringLiteral("so schnell wie möglich") : QStringLiteral("%1-fach").arg(speed);
}

// A stop from a step button waits this long for the point being shown to end.
constexpr std::chrono::milliseconds kStepStopWait{2000};
}  // namespace

bool ReplayController::drawingReplayRuns() { return c_.state.replay.replayDrawing.load() || replay_->running(); }

// A tap on a shown replay button; false when the tap is on none.
bool ReplayController::replayButtonTap(int x, int y) {
    std::optional<ReplayButton> button;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        const ReplayButtonsShown shown = replayButtonsShown(c_.state.trace, c_.state.route, c_.state.replay);
        button = replayButtonAt(replayButtonLayout(c_.state.frame.screen.width, c_.state.frame.screen.height), shown,
                                {x, y});
        if (!button) return false;
        ReplayControl& control = c_.state.replay;
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
        if (c_.idle() && !drawingReplayRuns()) StartProcess_ShowIrcRoute();
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
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        if (!trace) {
            c_.state.replay.routeStepPos = -1;
        } else if (!c_.state.replay.playingRoute && at >= 0 && at < kTraceReplaySlots) {
            c_.state.frame.viewCentre.gridX = c_.state.trace.points[static_cast<std::size_t>(at)].gridX;
            c_.state.frame.viewCentre.gridY = c_.state.trace.points[static_cast<std::size_t>(at)].gridY;
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
void ReplayController::stepTrace(int direction) {
    int index = 0;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        TraceTable& trace = c_.state.trace;
        if (direction > 0) {
            index = stepTraceReplayPos(trace, c_.state.gps, 1);
        } else {
            index = trace.replayPos - 1;
            if (index < 1) {
                index = std::max(trace.next - 2, kTraceReplaySlots * (trace.wrapped ? 1 : 0) - 2);
                c_.state.gps.tripDistance = 0.0;
            }
            trace.replayPos = index;
        }
    }
    showTraceStep(index);
}

// One route point forwards, animated along the leg ahead, or backwards, the leg just travelled
// taken off the distance; past either end to the other (the last point is never a start). The
// north-up Move view turns to the leg's course while the route is stepped.
void ReplayController::stepRoute(int direction) {
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    const RouteTable& route = c_.state.route;
    if (route.count <= 1) return;
    int& pos = c_.state.replay.routeStepPos;
    const int last = route.count - 2;
    const bool wrap = direction > 0 ? pos >= last : pos <= 0;
    pos = wrap ? (direction > 0 ? 0 : last) : pos + direction;
    if (wrap) c_.state.gps.tripDistance = 0.0;
    c_.state.frame.routeStepping = true;
    c_.state.frame.selectedRoutePoint = pos;
    ReplayRecords records{c_.state.frame, c_.state.gps,    c_.state.route, c_.state.trace,
                          c_.state.grid,  c_.state.replay, c_.views};
    if (direction > 0) {
        ShowIrcRoute(records, pos, 1);
        return;
    }
    const TrackPoint& from = route.points[static_cast<std::size_t>(pos)];
    const TrackPoint& to = route.points[static_cast<std::size_t>(pos + 1)];
    const double de = to.gridX - from.gridX;
    const double dn = to.gridY - from.gridY;
    if (!wrap)
        c_.state.gps.tripDistance = std::max(0.0, c_.state.gps.tripDistance - legLength(c_.state.grid, from, de, dn));
    TrackPoint shown;
    shown.gridX = from.gridX;
    shown.gridY = from.gridY;
    c_.views.composeAt(ReplayFrame{shown, legCourse(de, dn, 1.0), c_.state.gps.speed,
                                   static_cast<int>(c_.state.gps.altitude), c_.state.gps.tripDistance,
                                   std::string(c_.state.gps.elapsedText.view())});
}

void ReplayController::chooseReplaySpeed(QPoint at) {
    QMenu menu(c_.window.dialogParent());
    menu.setTitle(QStringLiteral("Abspieltempo"));
    const int current = c_.session.pace.speed();
    for (std::size_t i = 0; i < kReplaySpeeds.size(); ++i) {
        QAction* action = menu.addAction(speedText(kReplaySpeeds[i]));
        action->setData(static_cast<int>(i) + 1);
        action->setCheckable(true);
        action->setChecked(kReplaySpeeds[i] == current);
    }
    const int chosen = c_.window.popupMenu(menu, at);
    if (chosen < 1 || chosen > static_cast<int>(kReplaySpeeds.size())) return;
    const int speed = kReplaySpeeds[static_cast<std::size_t>(chosen - 1)];
    c_.session.pace.setSpeed(speed);
    RegCreateReplaySpeed(c_.store, static_cast<std::uint32_t>(speed));
}

bool ReplayController::replayButtonHold(int x, int y) {
    if (c_.currentView() != DisplayMode::Move) return false;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        const ReplayButtonsShown shown = replayButtonsShown(c_.state.trace, c_.state.route, c_.state.replay);
        if (!replayButtonAt(replayButtonLayout(c_.state.frame.screen.width, c_.state.frame.screen.height), shown,
                            {x, y}))
            return false;
    }
    chooseReplaySpeed(c_.window.frameView().mapToGlobal(QPoint(x, y) * c_.window.frameView().scale()));
    return true;
}

// The GPS view's replay keys: Left stops a replay, Right plays the trace, Down starts
// reception on an empty trace, steps the trace one entry, or pauses and resumes a replay.
void ReplayController::gpsReplayKey(int key) {
    const bool replayRuns = drawingReplayRuns() || c_.state.frame.replaying.load();
    if (key == Qt::Key_Left) {
        if (replayRuns) c_.window.command(cmd::EmulateStop);
        return;
    }
    if (c_.gpsRunning()) return;
    bool empty = true;
    bool steps = false;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        empty = c_.state.trace.empty();
        steps = c_.state.trace.wrapped || c_.state.trace.next > 1;
    }
    if (key == Qt::Key_Right) {
        if (!replayRuns && !empty) StartProcess_ShowIrcTrace();
        return;
    }
    if (key != Qt::Key_Down) return;
    if (replayRuns) {
        if (drawingReplayRuns()) {
            pauseDrawingReplay(!replay_->paused());
        } else {
            PauseReplay(c_.session, !c_.state.frame.replayPaused.load());
        }
        return;
    }
    if (empty) c_.ui.sendCommand(cmd::GpsStart);
    if (!steps) return;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        stepTraceReplayPos(c_.state.trace, c_.state.gps, 1);
    }
    digitKey(1);
}

}  // namespace vexa
