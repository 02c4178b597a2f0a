// The stylus on the device screen: taps and double taps.
#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/state_lock.h"

namespace vexa {

namespace {
constexpr int kTaskBarHeight = 26;  // the Move view's thirds are cut from the height below it
constexpr int kInfoPages = 8;
}  // namespace

void MainWindow::tap(int x, int y) {
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.frame.selectedRoutePoint = -1;
    }
    if (currentView() == DisplayMode::Move && !calibrating() && !gpsRunning()) moveTap(x, y);
}

// The Move view in thirds of the height below the task bar: the top third shows the next info
// page (left) or the previous Move display mode (right), the middle third the GPS view, the
// bottom third the next Move display mode (left) or full screen on or off (right).
void MainWindow::moveTap(int x, int y) {
    const int third = (options_.screenHeight - kTaskBarHeight) / 3;
    const bool left = x < options_.screenWidth / 2;
    if (y < third && left) {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.display.infoPage = (state_.display.infoPage + 1) % kInfoPages;
        if (idle()) views_.composeMapView(state_.frame.viewCentre);
    } else if (y < third) {
        {
            // One back: the step to the next mode adds one again.
            StateLock lock(state_.stateMutex, uiHoldsState_);
            int& mode = state_.frame.moveDisplayMode;
            mode = mode == 0 ? 7 : mode - 2;
        }
        command(cmd::MoveStep);
    } else if (y < 2 * third) {
        command(cmd::GpsView);
    } else if (left) {
        command(cmd::MoveStep);
    } else {
        if (fullScreen()) fullscreenOff();
        else fullscreenOn();
        if (idle()) RefreshWindow();
    }
}

void MainWindow::doubleTap(int x, int y) {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    FrameState& frame = state_.frame;
    if (frame.displayMode.load() != DisplayMode::Karte) return;
    const int w = options_.screenWidth;
    const int h = options_.screenHeight;
    TrackPoint centre = frame.viewCentre;
    centre.gridX += static_cast<int>((x - w / 2) * frame.zoomFactor * 1000.0 / frame.mapScale);
    centre.gridY += static_cast<int>((y - h / 2) * frame.zoomFactor * (-1000.0) / frame.mapScale *
                                     (1.0 / frame.verticalRatio));
    frame.viewCentre = centre;
    frame.lastShown = centre;
}

}  // namespace vexa
