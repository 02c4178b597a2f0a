// The views, the Move display modes, the help and the screen copies.
#include <QKeySequence>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/controllers/display_controller.h"
#include "app/dialog_flag.h"
#include "app/help_dialog.h"
#include "app/menu_bar.h"
#include "app/nmea_view.h"
#include "app/qt_gps_views.h"
#include "frame/move_display.h"
#include "geo/sun_times.h"
#include "platform/paths.h"

namespace vexa {

bool DisplayController::handles(int id) const {
    switch (id) {
    case cmd::MoveView:
    case cmd::MoveStep:
    case cmd::GpsView:
    case cmd::NmeaView:
    case cmd::KarteView:
    case cmd::DisplaySettings:
    case cmd::Help: return true;
    default: return false;
    }
}

void DisplayController::run(int id) {
    switch (id) {
    case cmd::MoveView: showMoveView(false); break;
    case cmd::MoveStep: showMoveView(true); break;
    case cmd::GpsView: showGpsView(); break;
    case cmd::NmeaView: showNmeaView(); break;
    case cmd::KarteView: showKarteView(); break;
    case cmd::DisplaySettings: openDisplaySettings(); break;
    case cmd::Help: openHelp(); break;
    }
}

void DisplayController::showNmeaView() {
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    c_.state.frame.displayMode = DisplayMode::Nmea;
    c_.window.showNmeaPage(true);
    c_.window.nmeaView().showText(c_.state.diagnostics.text());
}

void DisplayController::showGpsView() {
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    c_.state.frame.displayMode = DisplayMode::Gps;
    c_.window.showNmeaPage(false);
    c_.views.setSunTimes(CalcSunrise(c_.state.last.latitude, c_.state.last.longitude, c_.state.clock,
                                     c_.state.settings.TimeZoneSetting, c_.state.diagnostics));
    c_.views.drawGpsView();
}

void DisplayController::showMoveView(bool step) {
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    FrameState& frame = c_.state.frame;
    if (step && frame.displayMode.load() == DisplayMode::Move && !frame.calibrating) {
        ++frame.moveDisplayMode;
        c_.window.menuBar().setStrip(applyMoveDisplayMode(frame));
    }
    frame.displayMode = DisplayMode::Move;
    c_.window.showNmeaPage(false);
    if (frame.viewCentre.gridX != 0.0) c_.views.composeMapView(frame.viewCentre);
    c_.window.applyTitle("VEXA");
}

void DisplayController::showKarteView() {
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    FrameState& frame = c_.state.frame;
    frame.displayMode = DisplayMode::Karte;
    c_.window.showNmeaPage(false);
    if (frame.viewCentre.gridX == 0.0 && c_.state.pois.count > 0) {
        frame.viewCentre.gridX = c_.state.pois.records[0].gridX;
        frame.viewCentre.gridY = c_.state.pois.records[0].gridY;
    }
    if (frame.viewCentre.gridX != 0.0) c_.views.composeMapView(frame.viewCentre);
    c_.window.applyTitle("VEXA");
    frame.lastShown = frame.viewCentre;
}

void DisplayController::switchMoveDisplay() {
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    c_.window.menuBar().setStrip(applyMoveDisplayMode(c_.state.frame));
}

void DisplayController::stepMoveDisplay(int delta) {
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        c_.state.frame.moveDisplayMode += delta;
    }
    switchMoveDisplay();
}

// A paint the screen did not ask for itself: the map view is composed anew at the view centre,
// the Move and GPS views only while no data arrives; while it arrives the worker draws them and
// the last picture stands. Under the state mutex no worker is inside a frame, so the drawing
// semaphore is free.
void DisplayController::repaintScreen() {
    if (c_.uiHoldsState) return;  // a command that holds the state draws after it
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    const DisplayMode view = c_.currentView();
    const bool arriving = c_.receiving();
    if (view == DisplayMode::Karte || (view == DisplayMode::Move && !arriving))
        c_.views.composeMapView(c_.state.frame.viewCentre);
    else if (view == DisplayMode::Gps && !arriving)
        c_.views.drawGpsView();
}

void DisplayController::openHelp() {
    {
        DialogFlag flag(c_.state.frame);
        std::array<QString, 4> keys;
        for (std::size_t i = 0; i < keys.size(); ++i)
            keys[i] = QKeySequence(c_.hardwareKeyCodes[i]).toString(QKeySequence::NativeText);
        HelpDialog dialog(keys, c_.window.dialogParent());
        c_.window.runDialog(dialog);
    }
    c_.window.fullscreenOff();
}

// Saves the map view as "ScreenCopy..." in the vexa folder; the file name in a message box.
void DisplayController::saveScreenCopy(bool tell) {
    std::filesystem::path file;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        file = c_.views.saveScreen((vexaDir() / "ScreenCopy").string(), vexaDir());
    }
    if (tell && !file.empty()) c_.ui.messageBox(file.string(), "VEXA", MessageButtons::Ok, MessageIcon::None);
}

}  // namespace vexa
