// The GPS commands: reception, the port, the log settings and the zone.
#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/command_table.h"
#include "app/controllers/gps_controller.h"
#include "app/controllers/map_controller.h"
#include "app/dialog_flag.h"
#include "app/log_settings_dialog.h"
#include "app/menu_bar.h"
#include "app/port_dialog.h"
#include "app/zone_dialog.h"
#include "frame/settings_store.h"
#include "gps/gps_session.h"
#include "platform/linux/serial_devices.h"
#include "platform/paths.h"
#include "platform/serial_port.h"

namespace vexa {

bool GpsController::handles(int id) const {
    switch (id) {
    case cmd::GpsStart:
    case cmd::GpsStop:
    case cmd::PortGpsd:
    case cmd::PortDialog:
    case cmd::LogSettings:
    case cmd::UtmGkZone: return true;
    default: return isComCommand(id);
    }
}

void GpsController::run(int id) {
    switch (id) {
    case cmd::GpsStart:
        c_.state.diagnostics.setCurrentOperation("ID_TOOLS_NMEASTART");
        GpsStart(c_.session);
        break;
    case cmd::GpsStop:
        GpsStop(c_.session);
        storeLastPosition();
        break;
    case cmd::PortGpsd: selectPort("gpsd"); break;
    case cmd::PortDialog: openPortDialog(); break;
    case cmd::LogSettings: openLogSettings(); break;
    case cmd::UtmGkZone: openZoneDialog(); break;
    default: selectComPort(id);
    }
}

std::string GpsController::comDevice(int n) {
    return portDevice("COM" + std::to_string(n) + ":", RegQueryComDevice(c_.store, n), detectSerialDevices());
}

// The menu shows the receiver's product and kernel name where it has them, else its path.
std::string GpsController::comLabel(int n) {
    if (const std::string configured = RegQueryComDevice(c_.store, n); !configured.empty()) return configured;
    const auto receivers = listSerialReceivers();
    return static_cast<std::size_t>(n) <= receivers.size() ? receiverLabel(receivers[static_cast<std::size_t>(n - 1)])
                                                           : std::string();
}

void GpsController::selectComPort(int id) {
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        c_.state.frame.portName = comPortName(id);
    }
    RegCreateComx(c_.store, static_cast<std::uint32_t>(id - cmd::Com1 + 1));
    RegCreatePort(c_.store, "");
    c_.window.menuBar().refreshComDevices();
    c_.window.refreshMenuStates();
}

void GpsController::selectPort(const std::string& name) {
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        c_.state.frame.portName = name;
    }
    RegCreatePort(c_.store, name);
    c_.window.refreshMenuStates();
}

void GpsController::openLogSettings() {
    {
        DialogFlag flag(c_.state.frame);
        LogSettingsDialog dialog(c_.state.settings, c_.store, c_.state.stateMutex, c_.window.dialogParent());
        c_.window.runDialog(dialog);
    }
    c_.window.fullscreenOff();
}

void GpsController::openZoneDialog() {
    {
        DialogFlag flag(c_.state.frame);
        ZoneDialog dialog(c_.state.grid, c_.state.last, c_.state.frame, c_.state.stateMutex, c_.window.dialogParent());
        if (c_.window.runDialog(dialog) == QDialog::Accepted) {
            StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
            c_.state.maps.zoneText = dialog.result().zoneText;
            c_.state.maps.stripText = dialog.result().stripText;
        }
    }
    c_.window.fullscreenOff();
    maps_.refreshGridCoordinates();
    c_.refreshWindow();
    c_.window.applyTitle("VEXA");
}

void GpsController::openPortDialog() {
    std::string current;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        current = c_.state.frame.portName;
    }
    const int n = comPortNumber(current);
    if (n > 0) current = comDevice(n);
    std::string chosen;
    {
        DialogFlag flag(c_.state.frame);
        PortDialog dialog([this] { return portChoices(listSerialReceivers(), RegQueryGpsd(c_.store)); }, current,
                          c_.window.dialogParent());
        if (c_.window.runDialog(dialog) == QDialog::Accepted) chosen = dialog.port();
    }
    c_.window.fullscreenOff();
    if (!chosen.empty()) selectPort(chosen);
}

void GpsController::storeLastPosition() {
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    DbContext db = c_.dbContext();
    UpdateLastPos(db, c_.state.pois, c_.state.grid, {c_.state.frame.viewCentre.gridX, c_.state.frame.viewCentre.gridY});
}

void GpsController::openLogByKey() {
    std::string logDir;
    if (!RegQueryLogdir(c_.store, logDir)) return;
    OpenLogFile(c_.state.log, c_.state.settings, c_.store, c_.ui, c_.state.diagnostics, c_.state.clock,
                logDirectory(logDir), false);
}

}  // namespace vexa
