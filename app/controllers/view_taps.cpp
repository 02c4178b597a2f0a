// The taps in the Move view (its thirds, the replay buttons, a calibration tap) and in the GPS
// view (its buttons and areas).
#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/controllers/map_controller.h"
#include "app/controllers/replay_controller.h"
#include "app/controllers/window_input.h"
#include "app/qt_gps_views.h"
#include "app/state_lock.h"
#include "display/gps_layout.h"
#include "frame/move_display.h"
#include "frame/settings_store.h"
#include "maps/map_file_name.h"
#include "util/text.h"

namespace vexa {

namespace {
constexpr int kTaskBarHeight = 26;  // the Move view's thirds are cut from the height below it
constexpr int kGpsColours = 5;      // the GPS view's background colours 0..4
}  // namespace

// The Move view in thirds of the height below the task bar: the top third shows the next info
// page (left) or the previous Move display mode (right), the middle third the GPS view, the
// bottom third the next Move display mode (left) or full screen on or off (right).
void WindowInput::moveTap(int x, int y) {
    if (replay_.replayButtonTap(x, y)) return;
    const int third = (c_.state.frame.screen.height - kTaskBarHeight) / 3;
    const bool left = x < c_.state.frame.screen.width / 2;
    if (y < third && left) {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        c_.state.display.infoPage = (c_.state.display.infoPage + 1) % kInfoPages;
        if (c_.idle()) c_.views.composeMapView(c_.state.frame.viewCentre);
    } else if (y < third) {
        {
            // One back: the step to the next mode adds one again.
            StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
            int& mode = c_.state.frame.moveDisplayMode;
            mode = mode == 0 ? 7 : mode - 2;
        }
        c_.window.command(cmd::MoveStep);
    } else if (y < 2 * third) {
        c_.window.command(cmd::GpsView);
    } else if (left) {
        c_.window.command(cmd::MoveStep);
    } else {
        if (c_.window.fullScreen()) c_.window.fullscreenOff();
        else c_.window.fullscreenOn();
        if (c_.idle()) c_.refreshWindow();
    }
}

// A tap in the north-up Move view while calibrating: the current map is to be moved by the
// tap's distance from the centre; the menu says whether for good, for now or not at all.
void WindowInput::moveCalibrationTap(int x, int y) {
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        const auto& rows = c_.state.maps.rows;
        const int row = c_.state.mapView.CurrentRow;
        if (c_.state.frame.lastMapIndex < 0 || row < 0 || row >= static_cast<int>(rows.size())) return;
        const MapEntry& map = rows[static_cast<std::size_t>(row)];
        const int scale = map.resolution > 0 ? map.resolution : 200;
        c_.state.frame.mapScale = scale;
        const double zoom = c_.state.frame.zoomFactor;
        const auto east = static_cast<float>((x - c_.state.frame.screen.width / 2) * zoom * 1000.0 / scale);
        const auto north = static_cast<float>((y - c_.state.frame.screen.height / 2) * zoom * (-1000.0) / scale);
        maps_.calibrationTapped(row, east, north);
        const std::string zone(splitMapFileName(map.fileName())[1]);
        AddDebugLine(c_.state.diagnostics,
                     strprintf("Karte_%s_%6.0f_%7.0f_%d_%d_%d.%s", zone.c_str(), map.left - east, map.top - north,
                               scale, map.widthPx, map.heightPx,
                               std::string(map.extension()).c_str()));
    }
    tapMenu({{cmd::PermanentCalibration, "permanente Kalibrierung"},
             {cmd::TemporaryCalibration, "temporäre Kalbrierung"},
             {cmd::CancelCalibration, "Cancel Kalibrierung"}},
            x, y - 20);
}

// The GPS view's buttons, where the view draws them; in landscape or upside down any tap goes
// back to the Move view.
void WindowInput::gpsTap(int x, int y, bool idleNow) {
    bool turned = false;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        turned = orientationOf(c_.state.frame.moveDisplayMode) != Orientation::Normal;
    }
    if (turned) {
        c_.window.command(cmd::MoveView);
        return;
    }
    const GpsViewLayout layout = gpsViewLayout(c_.state.frame.screen);
    const QPoint p(x, y);
    if (layout.satellitePanel().contains(p)) {
        if (idleNow) {
            {
                StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
                c_.state.frame.logOpenedByKey = true;
            }
            c_.ui.sendCommand(cmd::GpsStart);
        } else if (gpsRunning()) {
            c_.ui.sendCommand(cmd::GpsStop);
        }
        return;
    }
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        GpsViewRequests& requests = c_.views.gpsViewRequests();
        if (layout.guidanceToggle().contains(p)) {
            c_.state.guidance.targetLineOff = !c_.state.guidance.targetLineOff;
        } else if (layout.pictureArea().contains(p)) {
            AddDebugLine(c_.state.diagnostics, "WM_LBUTTONDOWN testRectFarben");
            int& colour = c_.state.settings.iGpsBKColor;
            colour = colour + 1 > kGpsColours - 1 ? 0 : colour + 1;
            RegCreateGpsBKColor(c_.store, static_cast<std::uint32_t>(colour));  // kept for the next start
        } else if (layout.speedProfileArea().contains(p)) {
            requests.recomputeSpeedMax = true;
        } else if (layout.altitudeProfileArea().contains(p)) {
            requests.recomputeAltitudeMax = true;
        } else if (layout.tripArea().contains(p)) {
            requests.resetTrip = true;
        } else if (layout.coordinateLine().contains(p)) {
            int& format = c_.state.display.coordFormat;
            format = (format + 1) % 3;
            if (format == 0 && c_.state.grid.PlateCarreeGrid) format = 1;
        } else {
            return;
        }
    }
    if (idleNow) c_.refreshWindow();
}

}  // namespace vexa
