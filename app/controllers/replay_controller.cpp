// The replay commands (the NMEA replay started and stopped), the trace and route replay on the
// replay thread, and the start-up route animation.
//
// The drawing replay keeps its own flag (`replayDrawing`) beside the NMEA replay's `replaying`,
// so that a GPS reader running at the same time keeps its own trace rule. Each point is worked
// out under the state mutex; its sub-step frames are then composed one by one, each under the
// mutex, with the frame period slept outside it, so that a running reader is never held up for
// a whole animated leg.
#include <cstdio>
#include <mutex>
#include <thread>
#include <utility>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/controllers/replay_controller.h"
#include "app/frame_view.h"
#include "app/qt_gps_views.h"
#include "app/ui_thread.h"
#include "app/window_options.h"
#include "display/replay_thread.h"
#include "display/startup_route.h"
#include "geo/grid_refresh.h"
#include "gps/gps_session.h"
#include "routes/grid_refresh_tables.h"

namespace vexa {

namespace {

// Collects what one replay step would draw, to compose it afterwards frame by frame.
struct FrameCollector : ReplayScreen {
    std::vector<ReplayFrame> frames;
    bool gpsShown = false;
    TracePoint gpsEntry;
    void composeAt(const ReplayFrame& frame) override { frames.push_back(frame); }
    void showGpsAt(const TracePoint& entry) override {
        gpsShown = true;
        gpsEntry = entry;
    }
};

// Composes the frames one by one, each under the state mutex, the frame period slept outside.
void playFrames(AppState& s, QtGpsViews& views, const std::vector<ReplayFrame>& frames,
                std::chrono::milliseconds period) {
    for (const ReplayFrame& frame : frames) {
        {
            std::lock_guard lock(s.stateMutex);
            views.composeAt(frame);
        }
        if (period.count() > 0) std::this_thread::sleep_for(period);
    }
}

// How long a starting NMEA replay waits for the start-up route to end after its current point.
constexpr std::chrono::seconds kStartupStopWait{10};

ReplayRecords recordsOf(AppState& s, ReplayScreen& screen) {
    return {s.frame, s.gps, s.route, s.trace, s.grid, s.replay, screen};
}

}  // namespace

ReplayController::ReplayController(WindowContext& context)
    : c_(context), replay_(std::make_unique<ReplayThread>()) {}

ReplayController::~ReplayController() = default;

bool ReplayController::handles(int id) const {
    return id == cmd::EmulateStart || id == cmd::EmulateStop || id == cmd::ReplaySpeed;
}

void ReplayController::run(int id) {
    switch (id) {
    case cmd::EmulateStart:
        c_.window.fullscreenOff();  // no input panel to hide on a desktop
        EmulateStart(c_.session);
        break;
    case cmd::EmulateStop:
        EmulateStop(c_.session);
        stopDrawingReplay(std::chrono::milliseconds(0));  // ends after the current point
        break;
    case cmd::ReplaySpeed: {
        FrameView& view = c_.window.frameView();
        chooseReplaySpeed(view.mapToGlobal(view.rect().center()));
        break;
    }
    }
}

bool ReplayController::StartProcess_ShowIrcTrace() {
    std::vector<int> order;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        order = traceReplayOrder(c_.state.trace.next, c_.state.trace.wrapped, 1);
    }
    return startDrawingReplay(false, std::move(order));
}

bool ReplayController::StartProcess_ShowIrcRoute() {
    std::vector<int> order;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        order = routeReplayOrder(c_.state.route.count, 1);
    }
    return startDrawingReplay(true, std::move(order));
}

bool ReplayController::startDrawingReplay(bool route, std::vector<int> indices) {
    if (c_.state.replay.replayDrawing.load() || replay_->running()) return false;
    startupAnimating_ = false;
    const char* name = route ? "Process_ShowIrcTrack" : "Process_ShowIrcTrace";
    AddNmeaListLine(c_.state.diagnostics, std::string(name) + " Start");
    if (c_.session.holdBacklight) c_.session.holdBacklight(true);
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        c_.state.gps.tripDistance = 0.0;
        c_.state.replay.replayDrawing = true;
        c_.state.replay.playingRoute = route;
    }
    ReplayThread::Steps steps;
    steps.indices = std::move(indices);
    // The fast buttons raise the step count while the replay runs.
    steps.stride = [this, route] {
        std::lock_guard lock(c_.state.stateMutex);
        return route ? c_.state.replay.routeStepCount : c_.state.replay.traceStepCount;
    };
    steps.showStep = [this, route, name](int index) {
        FrameCollector collected;
        {
            std::lock_guard lock(c_.state.stateMutex);
            char operation[64];
            std::snprintf(operation, sizeof operation, "%s %d\n", name, index);
            c_.state.diagnostics.setCurrentOperation(operation);
            ReplayRecords records = recordsOf(c_.state, collected);
            if (route) ShowIrcRoute(records, index, c_.state.replay.routeStepCount);
            else ShowIrcTrace(records, index);
        }
        playFrames(c_.state, c_.views, collected.frames, c_.options.replayFramePeriod);
        if (collected.gpsShown) {
            {
                std::lock_guard lock(c_.state.stateMutex);
                c_.views.showGpsAt(collected.gpsEntry);
            }
            // The GPS view shows each point for a frame too, or the replay would be over at once.
            if (collected.frames.empty()) std::this_thread::sleep_for(c_.options.replayFramePeriod);
        }
    };
    steps.finished = [this, route, name] {
        AddNmeaListLine(c_.state.diagnostics, std::string(name) + " End");
        if (c_.session.holdBacklight) c_.session.holdBacklight(false);
        {
            std::lock_guard lock(c_.state.stateMutex);
            ReplayControl& control = c_.state.replay;
            (route ? control.routeJumpMode : control.traceJumpMode) = false;
            if (route) control.routeStepPos = 0;
            control.replayDrawing = false;
        }
        postToUi(c_.window.dialogParent(), [this] { c_.refreshWindow(); });
    };
    if (replay_->start(std::move(steps))) return true;
    char text[96];
    std::snprintf(text, sizeof text, "Unable to create Process_test thread, \r\nlasterror=%d",
                  replay_->startError());
    c_.ui.messageBox(text, "Error", MessageButtons::Ok, MessageIcon::Error);
    c_.state.replay.replayDrawing = false;
    if (c_.session.holdBacklight) c_.session.holdBacklight(false);
    return false;
}

void ReplayController::pauseDrawingReplay(bool paused) { replay_->setPaused(paused); }

bool ReplayController::stopDrawingReplay(std::chrono::milliseconds wait) { return replay_->stop(wait); }

void ReplayController::showTraceStep(int index) {
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    ReplayRecords records = recordsOf(c_.state, c_.views);
    ShowIrcTrace(records, index);
}

// Digit keys: "0" ten trace entries back, "1".."9" that many forward (Karte and Move); in the
// GPS view the entry at the current replay position.
void ReplayController::digitKey(int digit) {
    const DisplayMode view = c_.currentView();
    int index = 0;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        if (view == DisplayMode::Gps) {
            if (digit == 0) return;
            index = c_.state.trace.replayPos;
        } else if (view == DisplayMode::Karte || view == DisplayMode::Move) {
            index = stepTraceReplayPos(c_.state.trace, c_.state.gps, digit);
        } else {
            return;
        }
    }
    showTraceStep(index);
}

void ReplayController::showReplayView() {
    int lastMapIndex = -1;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        lastMapIndex = c_.state.frame.lastMapIndex;
    }
    c_.ui.sendCommand(lastMapIndex < 1 ? cmd::GpsView : cmd::MoveView);
}

// The built-in route is played once on the replay thread, then the route is cleared again,
// unless the user has put a route of his own into the table meanwhile.
void ReplayController::startupRouteAnimation() {
    const std::vector<TrackPoint> points = parseStartupRoute(startupRouteText());
    if (static_cast<int>(points.size()) <= kStartupRoutePlayed) return;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        for (std::size_t i = 0; i < points.size(); ++i) c_.state.route.points[i] = points[i];
        c_.state.route.count = kStartupRoutePlayed;
        track_utm_Anpassen(c_.state.route, c_.state.grid);
        c_.state.gps.tripDistance = 0.0;
    }
    std::vector<int> order(kStartupRoutePlayed);
    for (int i = 0; i < kStartupRoutePlayed; ++i) order[static_cast<std::size_t>(i)] = i;
    const TrackPoint first = points.front();
    ReplayThread::Steps steps;
    steps.indices = std::move(order);
    steps.showStep = [this](int index) {
        FrameCollector collected;
        {
            std::lock_guard lock(c_.state.stateMutex);
            ReplayRecords records = recordsOf(c_.state, collected);
            ShowIrcRoute(records, index, 1);
        }
        playFrames(c_.state, c_.views, collected.frames, c_.options.replayFramePeriod);
    };
    steps.finished = [this, first] {
        {
            std::lock_guard lock(c_.state.stateMutex);
            RouteTable& route = c_.state.route;
            if (route.count == kStartupRoutePlayed && route.points[0].lon == first.lon &&
                route.points[0].lat == first.lat) {
                // Cut short by a replay, the view stays with the replay's position.
                if (!startupCut_) c_.state.frame.viewCentre = route.points[kStartupRoutePlayed - 1];
                route = RouteTable{};
                c_.state.gps.tripDistance = 0.0;
            }
            c_.state.replay.replayDrawing = false;
        }
        if (!startupCut_) c_.ui.sendCommand(cmd::KarteView);
    };
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        c_.state.replay.replayDrawing = true;
        c_.state.replay.playingRoute = true;
    }
    if (replay_->start(std::move(steps))) startupAnimating_ = true;
    else c_.state.replay.replayDrawing = false;
}

void ReplayController::endStartupAnimation() {
    if (!std::exchange(startupAnimating_, false)) return;
    startupCut_ = true;
    stopDrawingReplay(kStartupStopWait);
}

}  // namespace vexa
