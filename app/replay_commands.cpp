// Trace and route replay: the replay thread, stepping by keys, the start-up route animation.
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
#include "app/main_window.h"
#include "app/state_lock.h"
#include "app/ui_thread.h"
#include "display/replay_thread.h"
#include "display/startup_route.h"
#include "geo/grid_refresh.h"
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

bool MainWindow::StartProcess_ShowIrcTrace() {
    std::vector<int> order;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        order = traceReplayOrder(state_.trace.next, state_.trace.wrapped, 1);
    }
    return startDrawingReplay(false, std::move(order));
}

bool MainWindow::StartProcess_ShowIrcRoute() {
    std::vector<int> order;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        order = routeReplayOrder(state_.route.count, 1);
    }
    return startDrawingReplay(true, std::move(order));
}

bool MainWindow::startDrawingReplay(bool route, std::vector<int> indices) {
    if (state_.replay.replayDrawing.load() || replay_->running()) return false;
    startupAnimating_ = false;
    const char* name = route ? "Process_ShowIrcTrack" : "Process_ShowIrcTrace";
    AddNmeaListLine(state_.diagnostics, std::string(name) + " Start");
    if (session_.holdBacklight) session_.holdBacklight(true);
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.gps.tripDistance = 0.0;
        state_.replay.replayDrawing = true;
        state_.replay.playingRoute = route;
    }
    ReplayThread::Steps steps;
    steps.indices = std::move(indices);
    // The fast buttons raise the step count while the replay runs.
    steps.stride = [this, route] {
        std::lock_guard lock(state_.stateMutex);
        return route ? state_.replay.routeStepCount : state_.replay.traceStepCount;
    };
    steps.showStep = [this, route, name](int index) {
        FrameCollector collected;
        {
            std::lock_guard lock(state_.stateMutex);
            char operation[64];
            std::snprintf(operation, sizeof operation, "%s %d\n", name, index);
            state_.diagnostics.setCurrentOperation(operation);
            ReplayRecords records = recordsOf(state_, collected);
            if (route) ShowIrcRoute(records, index, state_.replay.routeStepCount);
            else ShowIrcTrace(records, index);
        }
        playFrames(state_, views_, collected.frames, options_.replayFramePeriod);
        if (collected.gpsShown) {
            {
                std::lock_guard lock(state_.stateMutex);
                views_.showGpsAt(collected.gpsEntry);
            }
            // The GPS view shows each point for a frame too, or the replay would be over at once.
            if (collected.frames.empty()) std::this_thread::sleep_for(options_.replayFramePeriod);
        }
    };
    steps.finished = [this, route, name] {
        AddNmeaListLine(state_.diagnostics, std::string(name) + " End");
        if (session_.holdBacklight) session_.holdBacklight(false);
        {
            std::lock_guard lock(state_.stateMutex);
            ReplayControl& control = state_.replay;
            (route ? control.routeJumpMode : control.traceJumpMode) = false;
            if (route) control.routeStepPos = 0;
            control.replayDrawing = false;
        }
        postToUi(this, [this] { RefreshWindow(); });
    };
    if (replay_->start(std::move(steps))) return true;
    char text[96];
    std::snprintf(text, sizeof text, "Unable to create Process_test thread, \r\nlasterror=%d",
                  replay_->startError());
    ui_.messageBox(text, "Error", MessageButtons::Ok, MessageIcon::Error);
    state_.replay.replayDrawing = false;
    if (session_.holdBacklight) session_.holdBacklight(false);
    return false;
}

void MainWindow::pauseDrawingReplay(bool paused) { replay_->setPaused(paused); }

bool MainWindow::stopDrawingReplay(std::chrono::milliseconds wait) { return replay_->stop(wait); }

void MainWindow::showTraceStep(int index) {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    ReplayRecords records = recordsOf(state_, views_);
    ShowIrcTrace(records, index);
}

void MainWindow::showRouteStep(int index, int steps) {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    state_.replay.routeStepPos = index;
    ReplayRecords records = recordsOf(state_, views_);
    ShowIrcRoute(records, index, steps);
}

// Digit keys: "0" ten trace entries back, "1".."9" that many forward (Karte and Move); in the
// GPS view the entry at the current replay position.
void MainWindow::digitKey(int digit) {
    const DisplayMode view = currentView();
    int index = 0;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        if (view == DisplayMode::Gps) {
            if (digit == 0) return;
            index = state_.trace.replayPos;
        } else if (view == DisplayMode::Karte || view == DisplayMode::Move) {
            index = stepTraceReplayPos(state_.trace, state_.gps, digit);
        } else {
            return;
        }
    }
    showTraceStep(index);
}

// The built-in route is played once on the replay thread, then the route is cleared again,
// unless the user has put a route of his own into the table meanwhile.
void MainWindow::startupRouteAnimation() {
    const std::vector<TrackPoint> points = parseStartupRoute(startupRouteText());
    if (static_cast<int>(points.size()) <= kStartupRoutePlayed) return;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        for (std::size_t i = 0; i < points.size(); ++i) state_.route.points[i] = points[i];
        state_.route.count = kStartupRoutePlayed;
        track_utm_Anpassen(state_.route, state_.grid);
        state_.gps.tripDistance = 0.0;
    }
    std::vector<int> order(kStartupRoutePlayed);
    for (int i = 0; i < kStartupRoutePlayed; ++i) order[static_cast<std::size_t>(i)] = i;
    const TrackPoint first = points.front();
    ReplayThread::Steps steps;
    steps.indices = std::move(order);
    steps.showStep = [this](int index) {
        FrameCollector collected;
        {
            std::lock_guard lock(state_.stateMutex);
            ReplayRecords records = recordsOf(state_, collected);
            ShowIrcRoute(records, index, 1);
        }
        playFrames(state_, views_, collected.frames, options_.replayFramePeriod);
    };
    steps.finished = [this, first] {
        {
            std::lock_guard lock(state_.stateMutex);
            RouteTable& route = state_.route;
            if (route.count == kStartupRoutePlayed && route.points[0].lon == first.lon &&
                route.points[0].lat == first.lat) {
                // Cut short by a replay, the view stays with the replay's position.
                if (!startupCut_) state_.frame.viewCentre = route.points[kStartupRoutePlayed - 1];
                route = RouteTable{};
                state_.gps.tripDistance = 0.0;
            }
            state_.replay.replayDrawing = false;
        }
        if (!startupCut_) ui_.sendCommand(cmd::KarteView);
    };
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.replay.replayDrawing = true;
        state_.replay.playingRoute = true;
    }
    if (replay_->start(std::move(steps))) startupAnimating_ = true;
    else state_.replay.replayDrawing = false;
}

void MainWindow::endStartupAnimation() {
    if (!std::exchange(startupAnimating_, false)) return;
    startupCut_ = true;
    stopDrawingReplay(kStartupStopWait);
}

}  // namespace vexa
