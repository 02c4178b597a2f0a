// The cursor keys and Enter in each view, and the mouse wheel in the map views.
#include <cstdlib>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/controllers/map_controller.h"
#include "app/controllers/replay_controller.h"
#include "app/controllers/window_input.h"
#include "app/qt_gps_views.h"
#include "app/state_lock.h"
#include "maps/map_selection.h"

namespace vexa {

namespace {
constexpr int kKeyStepMax = 50;
constexpr int kKeyStepGrowth = 5;
}  // namespace

void WindowInput::cursorKey(int key) {
    if (!c_.state.frame.bAutoScreenOn.load() || c_.state.frame.bManualScreenOff.load()) return;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    switch (currentView()) {
    case DisplayMode::Karte: {
        if (enter) {
            karteEnter();
            return;
        }
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        FrameState& frame = c_.state.frame;
        const int step = stylus_.keyStep * 1000 / takeMapScale();
        if (key == Qt::Key_Left) frame.lastShown.gridX += step;
        if (key == Qt::Key_Right) frame.lastShown.gridX -= step;
        if (key == Qt::Key_Up) frame.lastShown.gridY -= step;
        if (key == Qt::Key_Down) frame.lastShown.gridY += step;
        c_.views.composeMapView(frame.lastShown);
        if (stylus_.keyStep < kKeyStepMax) stylus_.keyStep += kKeyStepGrowth;
        return;
    }
    case DisplayMode::Move:
        if (receiving() || replay_.drawingReplayRuns()) return;
        if (enter) {
            if (calibrating()) return;
            {
                StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
                c_.state.display.infoPage = (c_.state.display.infoPage + 1) % kInfoPages;
            }
            c_.window.command(cmd::MoveView);
        } else if (key == Qt::Key_Left || key == Qt::Key_Right) {
            // Through the trace, or without one through the route.
            const int direction = key == Qt::Key_Right ? 1 : -1;
            bool trace = false;
            {
                StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
                trace = c_.state.trace.wrapped || c_.state.trace.next > 1;
            }
            if (trace) replay_.stepTrace(direction);
            else replay_.stepRoute(direction);
        }
        return;
    case DisplayMode::Gps:
        if (enter) {
            {
                StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
                c_.state.guidance.targetLineOff = !c_.state.guidance.targetLineOff;
            }
            if (c_.idle()) c_.refreshWindow();
        } else {
            replay_.gpsReplayKey(key);
        }
        return;
    case DisplayMode::Nmea:
        if (key == Qt::Key_Down && !gpsRunning()) {
            {
                StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
                c_.state.frame.logOpenedByKey = true;
            }
            c_.ui.sendCommand(cmd::GpsStart);
        }
        return;
    }
}

// Enter in the map view: the map under the view centre becomes the map to calibrate; Enter
// again ends the calibration, asking for the new name when the map was dragged.
void WindowInput::karteEnter() {
    bool renameMoved = false;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        FrameState& frame = c_.state.frame;
        MapView& view = c_.state.mapView;
        if (frame.overview || frame.lastMapIndex < 0) return;
        if (view.CalibrationRow < 0) {
            const GridPoint centre{frame.viewCentre.gridX, frame.viewCentre.gridY};
            const auto& rows = c_.state.maps.rows;
            // The most detailed map under the centre (the table runs by resolution ascending).
            for (int i = static_cast<int>(rows.size()) - 1; i >= 0; --i) {
                if (!rowContainsPoint(rows[static_cast<std::size_t>(i)], centre)) continue;
                startCalibration(view, i, rows[static_cast<std::size_t>(i)].resolution);
                break;
            }
            c_.views.composeMapView(frame.viewCentre);
            return;
        }
        if (view.CalibrationRow >= static_cast<int>(c_.state.maps.rows.size())) {
            endCalibration(view);
            return;
        }
        MapEntry& row = c_.state.maps.rows[static_cast<std::size_t>(view.CalibrationRow)];
        renameMoved = row.moved != 0;
        row.moved = 0;
    }
    if (renameMoved) maps_.DlgKalib();
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    endCalibration(c_.state.mapView);
    c_.views.composeMapView(c_.state.frame.viewCentre);
}

void WindowInput::wheel(int steps) {
    const DisplayMode view = currentView();
    if (view != DisplayMode::Karte && view != DisplayMode::Move) return;
    for (int i = 0; i < std::abs(steps); ++i) c_.window.command(steps > 0 ? cmd::ZoomIn : cmd::ZoomOut);
}

}  // namespace vexa
