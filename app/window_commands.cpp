// The command table: every menu item, button, key and internal request by identifier.
#include <QApplication>
#include <QStackedWidget>

#include <cstdio>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/command_table.h"
#include "app/frame_view.h"
#include "app/main_window.h"
#include "app/menu_bar.h"
#include "app/nmea_view.h"
#include "app/state_lock.h"
#include "frame/move_display.h"
#include "geo/sun_times.h"
#include "gps/trip_reset.h"
#include "platform/linux/serial_devices.h"
#include "platform/serial_port.h"
#include "platform/settings_storage.h"

namespace vexa {

void MainWindow::dispatch(int id) {
    char operation[64];
    std::snprintf(operation, sizeof operation, "switch (message) %x %x %x", 0x111u,
                  static_cast<unsigned>(id), 0u);
    state_.diagnostics.setCurrentOperation(operation);
    if (observer_) observer_(id);
    switch (id) {
    case cmd::Quit:
        activate(false);
        close();
        break;
    case cmd::LoadMapDirectory: loadMapDirectory(); break;
    case cmd::MoveView: showMoveView(false); break;
    case cmd::MoveStep: showMoveView(true); break;
    case cmd::GpsView: showGpsView(); break;
    case cmd::NmeaView: showNmeaView(); break;
    case cmd::KarteView: showKarteView(); break;
    case cmd::ZoomIn:
    case cmd::ZoomOut:
    case cmd::ZoomReset: zoom(id); break;
    case cmd::GpsStart:
        state_.diagnostics.setCurrentOperation("ID_TOOLS_NMEASTART");
        GpsStart(session_);
        break;
    case cmd::GpsStop:
        GpsStop(session_);
        storeLastPosition();
        break;
    case cmd::EmulateStart:
        fullscreenOffSip();
        EmulateStart(session_);
        break;
    case cmd::EmulateStop:
        EmulateStop(session_);
        stopDrawingReplay(std::chrono::milliseconds(0));  // ends after the current point
        break;
    case cmd::RouteExport: exportRoute(); break;
    case cmd::Overview: toggleOverview(); break;
    case cmd::LogSettings: openLogSettings(); break;
    case cmd::PortGpsd: selectPort("gpsd"); break;
    case cmd::PortDialog: openPortDialog(); break;
    case cmd::UtmGkZone: openZoneDialog(); break;
    case cmd::DisplaySettings: openDisplaySettings(); break;
    case cmd::Calibration: toggleCalibration(); break;
    case cmd::MapDirectory: openMapDirectory(); break;
    case cmd::PermanentCalibration:
    case cmd::TemporaryCalibration:
    case cmd::CancelCalibration:
    case cmd::CalibrationMenu: calibrationCommand(id); break;
    case cmd::Help: openHelp(); break;
    case cmd::SendRouteToGarmin: sendRouteToGarmin(); break;
    case cmd::Exit: exitProgram(); break;
    case cmd::ShowPois:
    case cmd::ShowRoutePoints: toggleOverlay(id); break;
    default:
        if (isComCommand(id)) selectComPort(id);
        else if (!databaseCommand(id)) routeCommand(id);
    }
}

// ---- views ----

void MainWindow::showNmeaView() {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    state_.frame.displayMode = DisplayMode::Nmea;
    stack_->setCurrentWidget(nmeaView_);
    nmeaView_->showText(state_.diagnostics.text());
}

void MainWindow::showGpsView() {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    state_.frame.displayMode = DisplayMode::Gps;
    stack_->setCurrentWidget(frameView_);
    views_.setSunTimes(CalcSunrise(state_.last.latitude, state_.last.longitude, state_.clock,
                                   state_.settings.TimeZoneSetting, state_.diagnostics));
    views_.drawGpsView();
}

void MainWindow::showMoveView(bool step) {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    FrameState& frame = state_.frame;
    if (step && frame.displayMode.load() == DisplayMode::Move && !frame.calibrating) {
        ++frame.moveDisplayMode;
        menuBar_->setStrip(applyMoveDisplayMode(frame));
    }
    frame.displayMode = DisplayMode::Move;
    stack_->setCurrentWidget(frameView_);
    if (frame.viewCentre.gridX != 0.0) views_.composeMapView(frame.viewCentre);
    applyTitle("VEXA");
}

void MainWindow::showKarteView() {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    FrameState& frame = state_.frame;
    frame.displayMode = DisplayMode::Karte;
    stack_->setCurrentWidget(frameView_);
    if (frame.viewCentre.gridX == 0.0 && state_.pois.count > 0) {
        frame.viewCentre.gridX = state_.pois.records[0].gridX;
        frame.viewCentre.gridY = state_.pois.records[0].gridY;
    }
    if (frame.viewCentre.gridX != 0.0) views_.composeMapView(frame.viewCentre);
    applyTitle("VEXA");
    frame.lastShown = frame.viewCentre;
}

void MainWindow::switchWindow() {
    command(currentView() == DisplayMode::Gps ? cmd::MoveStep : cmd::GpsView);
}

void MainWindow::switchMoveDisplay() {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    menuBar_->setStrip(applyMoveDisplayMode(state_.frame));
}

void MainWindow::stepMoveDisplay(int delta) {
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.frame.moveDisplayMode += delta;
    }
    switchMoveDisplay();
}

void MainWindow::RefreshWindow() {
    switch (currentView()) {
    case DisplayMode::Gps: command(cmd::GpsView); break;
    case DisplayMode::Karte: command(cmd::KarteView); break;
    case DisplayMode::Move: command(cmd::MoveView); break;
    case DisplayMode::Nmea: command(cmd::NmeaView); break;
    }
}

// Nothing arrives: no port is open and no replay runs unpaused.
bool MainWindow::idle() {
    const FrameState& frame = state_.frame;
    return !gpsRunning() && !(frame.replaying.load() && !frame.replayPaused.load());
}

void MainWindow::zoom(int id) {
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        applyZoomCommand(state_.frame, id);
    }
    if (idle() || currentView() == DisplayMode::Karte) RefreshWindow();
}

// A paint the screen did not ask for itself: the map view is composed anew at the view centre,
// the Move and GPS views only while no data arrives; while it arrives the worker draws them and
// the last picture stands. Under the state mutex no worker is inside a frame, so the drawing
// semaphore is free.
void MainWindow::repaintScreen() {
    if (uiHoldsState_ || closing_) return;  // a command that holds the state draws after it
    StateLock lock(state_.stateMutex, uiHoldsState_);
    const DisplayMode view = currentView();
    const bool arriving = receiving();
    if (view == DisplayMode::Karte || (view == DisplayMode::Move && !arriving))
        views_.composeMapView(state_.frame.viewCentre);
    else if (view == DisplayMode::Gps && !arriving)
        views_.drawGpsView();
}

// ---- toggles ----

void MainWindow::toggleCalibration() {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    FrameState& frame = state_.frame;
    frame.calibrating = !frame.calibrating;
    if (frame.calibrating && frame.moveDisplayMode != 0) {
        frame.moveDisplayMode = 0;
        menuBar_->setStrip(applyMoveDisplayMode(frame));
    }
}

void MainWindow::toggleOverview() {
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        if (state_.mapView.CalibrationRow >= 0) return;
        FrameState& frame = state_.frame;
        frame.overview = frame.lastMapIndex >= 0 && !frame.overview;
        state_.mapView.WantedResolution = -1;
    }
    command(cmd::KarteView);
}

void MainWindow::toggleOverlay(int id) {
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        bool& flag = id == cmd::ShowPois ? state_.frame.showPois : state_.frame.showRoutePoints;
        flag = !flag;
    }
    const DisplayMode view = currentView();
    if (view == DisplayMode::Karte) command(cmd::KarteView);
    if (view == DisplayMode::Move) command(cmd::MoveView);
}

// Commands that need a route or a trace say so when there is none; the box is shown with the
// state released, so the GPS thread never waits behind it. True when the command has nothing.
bool MainWindow::reportMissingRoute(int id) {
    bool empty = false;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        empty = id == kCmdTraceToRoute ? state_.trace.empty() : state_.route.count == 0;
    }
    if (!empty) return false;
    const char* caption = id == kCmdTraceToRoute ? "Trace -> Route "
                          : id == cmd::RouteSave ? "Speichern Route"
                                                 : "Senden Route";
    ui_.messageBox(id == kCmdTraceToRoute ? "Kein Trace vorhanden" : "Keine Route vorhanden", caption,
                   MessageButtons::Ok, MessageIcon::None);
    return true;
}

void MainWindow::routeCommand(int id) {
    if (id == kCmdTraceToRoute && reportMissingRoute(id)) return;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        RouteTable& route = state_.route;
        FrameState& frame = state_.frame;
        switch (id) {
        case kCmdRouteClear:
            ClearRoute(route);
            RestartTripDistance(state_.gps);
            break;
        case kCmdRouteReverse: ReverseRoute(route); break;
        case kCmdRouteReduce: ReduceRoute(route); break;
        case kCmdRouteDeleteBefore: DeleteRouteBefore(route, frame); break;
        case kCmdRouteDeleteFrom: DeleteRouteFrom(route, frame); break;
        case kCmdTraceClear:
            ClearTrace(state_.trace, state_.settings.itracemax);
            RestartTrip(state_.gps, state_.last);
            return;
        case kCmdTraceToRoute:
            trace2track(route, state_.trace, state_.settings.itracemax, frame, ui_);
            return;
        default: {
            const int kind = lineKindOfCommand(id);
            if (kind < 0) return;  // identifiers nothing handles do nothing
            SetLineKindFrom(route, frame, static_cast<LineKind>(kind));
        }
        }
    }
    command(cmd::KarteView);
}

void MainWindow::clearTrace() { command(kCmdTraceClear); }

// ---- ports ----

std::string MainWindow::comDevice(int n) {
    return portDevice("COM" + std::to_string(n) + ":", RegQueryComDevice(store_, n), detectSerialDevices());
}

// The menu shows the receiver's product and kernel name where it has them, else its path.
std::string MainWindow::comLabel(int n) {
    if (const std::string configured = RegQueryComDevice(store_, n); !configured.empty()) return configured;
    const auto receivers = listSerialReceivers();
    return static_cast<std::size_t>(n) <= receivers.size() ? receiverLabel(receivers[static_cast<std::size_t>(n - 1)])
                                                           : std::string();
}

void MainWindow::selectComPort(int id) {
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.frame.portName = comPortName(id);
    }
    RegCreateComx(store_, static_cast<std::uint32_t>(id - cmd::Com1 + 1));
    RegCreatePort(store_, "");
    menuBar_->refreshComDevices();
    refreshMenuStates();
}

void MainWindow::selectPort(const std::string& name) {
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.frame.portName = name;
    }
    RegCreatePort(store_, name);
    refreshMenuStates();
}

// ---- state the keys ask for ----

DisplayMode MainWindow::currentView() { return state_.frame.displayMode.load(); }

bool MainWindow::calibrating() {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    return state_.frame.calibrating;
}

bool MainWindow::gpsRunning() { return state_.port.isOpen(); }

bool MainWindow::receiving() { return gpsRunning() || state_.frame.replaying.load(); }

// ---- replay and exit ----

void MainWindow::showReplayView() {
    int lastMapIndex = -1;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        lastMapIndex = state_.frame.lastMapIndex;
    }
    ui_.sendCommand(lastMapIndex < 1 ? cmd::GpsView : cmd::MoveView);
}

void MainWindow::exitProgram() {
    shutDown();
    close();
}

}  // namespace vexa
