// The cursor keys and Enter in each view, and the mouse wheel in the map views.
#include <cstdlib>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/state_lock.h"
#include "display/replay_thread.h"
#include "display/trace_replay.h"
#include "maps/map_selection.h"

namespace vexa {

namespace {
constexpr int kKeyStepMax = 50;
constexpr int kKeyStepGrowth = 5;
constexpr int kInfoPages = 8;
}  // namespace

void MainWindow::cursorKey(int key) {
    if (!state_.frame.bAutoScreenOn.load() || state_.frame.bManualScreenOff.load()) return;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    switch (currentView()) {
    case DisplayMode::Karte: {
        if (enter) {
            karteEnter();
            return;
        }
        StateLock lock(state_.stateMutex, uiHoldsState_);
        FrameState& frame = state_.frame;
        const int step = stylus_.keyStep * 1000 / takeMapScale();
        if (key == Qt::Key_Left) frame.lastShown.gridX += step;
        if (key == Qt::Key_Right) frame.lastShown.gridX -= step;
        if (key == Qt::Key_Up) frame.lastShown.gridY -= step;
        if (key == Qt::Key_Down) frame.lastShown.gridY += step;
        views_.composeMapView(frame.lastShown);
        if (stylus_.keyStep < kKeyStepMax) stylus_.keyStep += kKeyStepGrowth;
        return;
    }
    case DisplayMode::Move:
        if (receiving() || drawingReplayRuns()) return;
        if (enter) {
            if (calibrating()) return;
            {
                StateLock lock(state_.stateMutex, uiHoldsState_);
                state_.display.infoPage = (state_.display.infoPage + 1) % kInfoPages;
            }
            command(cmd::MoveView);
        } else if (key == Qt::Key_Left || key == Qt::Key_Right) {
            // Through the trace, or without one through the route.
            const int direction = key == Qt::Key_Right ? 1 : -1;
            bool trace = false;
            {
                StateLock lock(state_.stateMutex, uiHoldsState_);
                trace = state_.trace.wrapped || state_.trace.next > 1;
            }
            if (trace) stepTrace(direction);
            else stepRoute(direction);
        }
        return;
    case DisplayMode::Gps:
        if (enter) {
            {
                StateLock lock(state_.stateMutex, uiHoldsState_);
                state_.guidance.targetLineOff = !state_.guidance.targetLineOff;
            }
            if (idle()) RefreshWindow();
        } else {
            gpsReplayKey(key);
        }
        return;
    case DisplayMode::Nmea:
        if (key == Qt::Key_Down && !gpsRunning()) {
            {
                StateLock lock(state_.stateMutex, uiHoldsState_);
                state_.frame.logOpenedByKey = true;
            }
            ui_.sendCommand(cmd::GpsStart);
        }
        return;
    }
}

// Enter in the map view: the map under the view centre becomes the map to calibrate; Enter
// again ends the calibration, asking for the new name when the map was dragged.
void MainWindow::karteEnter() {
    bool renameMoved = false;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        FrameState& frame = state_.frame;
        MapView& view = state_.mapView;
        if (frame.overview || frame.lastMapIndex < 0) return;
        if (view.CalibrationRow < 0) {
            const GridPoint centre{frame.viewCentre.gridX, frame.viewCentre.gridY};
            const auto& rows = state_.maps.rows;
            // The most detailed map under the centre (the table runs by resolution ascending).
            for (int i = static_cast<int>(rows.size()) - 1; i >= 0; --i) {
                if (!rowContainsPoint(rows[static_cast<std::size_t>(i)], centre)) continue;
                startCalibration(view, i, rows[static_cast<std::size_t>(i)].resolution);
                break;
            }
            views_.composeMapView(frame.viewCentre);
            return;
        }
        if (view.CalibrationRow >= static_cast<int>(state_.maps.rows.size())) {
            endCalibration(view);
            return;
        }
        MapEntry& row = state_.maps.rows[static_cast<std::size_t>(view.CalibrationRow)];
        renameMoved = row.moved != 0;
        row.moved = 0;
    }
    if (renameMoved) DlgKalib();
    StateLock lock(state_.stateMutex, uiHoldsState_);
    endCalibration(state_.mapView);
    views_.composeMapView(state_.frame.viewCentre);
}

// The GPS view's replay keys: Left stops a replay, Right plays the trace, Down starts
// reception on an empty trace, steps the trace one entry, or pauses and resumes a replay.
void MainWindow::gpsReplayKey(int key) {
    const bool replayRuns = drawingReplayRuns() || state_.frame.replaying.load();
    if (key == Qt::Key_Left) {
        if (replayRuns) command(cmd::EmulateStop);
        return;
    }
    if (gpsRunning()) return;
    bool empty = true;
    bool steps = false;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        empty = state_.trace.empty();
        steps = state_.trace.wrapped || state_.trace.next > 1;
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
            PauseReplay(session_, !state_.frame.replayPaused.load());
        }
        return;
    }
    if (empty) ui_.sendCommand(cmd::GpsStart);
    if (!steps) return;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        stepTraceReplayPos(state_.trace, state_.gps, 1);
    }
    characterKey('1');
}

void MainWindow::wheel(int steps) {
    const DisplayMode view = currentView();
    if (view != DisplayMode::Karte && view != DisplayMode::Move) return;
    for (int i = 0; i < std::abs(steps); ++i) command(steps > 0 ? cmd::ZoomIn : cmd::ZoomOut);
}

}  // namespace vexa
