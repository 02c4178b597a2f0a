// The commands that open a dialog: "Aufzeichnung", "UTM oder GK Zone", "Port…", "Help" and
// "Send Route to Garmin".
#include <chrono>
#include <system_error>
#include <thread>

#include <QKeySequence>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/dialog_flag.h"
#include "app/help_dialog.h"
#include "app/log_settings_dialog.h"
#include "app/main_window.h"
#include "app/port_dialog.h"
#include "app/route_name_dialog.h"
#include "app/state_lock.h"
#include "app/zone_dialog.h"
#include "frame/settings_store.h"
#include "platform/linux/serial_devices.h"
#include "platform/serial_port.h"
#include "util/text.h"

namespace vexa {

void MainWindow::openLogSettings() {
    {
        DialogFlag flag(state_.frame);
        LogSettingsDialog dialog(state_.settings, store_, state_.stateMutex, this);
        runDialog(dialog);
    }
    fullscreenOff();
}

void MainWindow::openZoneDialog() {
    {
        DialogFlag flag(state_.frame);
        ZoneDialog dialog(state_.grid, state_.last, state_.frame, state_.stateMutex, this);
        if (runDialog(dialog) == QDialog::Accepted) {
            StateLock lock(state_.stateMutex, uiHoldsState_);
            state_.maps.zoneText = dialog.result().zoneText;
            state_.maps.stripText = dialog.result().stripText;
        }
    }
    fullscreenOff();
    refreshGridCoordinates();
    RefreshWindow();
    applyTitle("VEXA");
}

void MainWindow::openPortDialog() {
    std::string current;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        current = state_.frame.portName;
    }
    const int n = comPortNumber(current);
    if (n > 0) current = comDevice(n);
    std::string chosen;
    {
        DialogFlag flag(state_.frame);
        PortDialog dialog([this] { return portChoices(listSerialReceivers(), RegQueryGpsd(store_)); }, current, this);
        if (runDialog(dialog) == QDialog::Accepted) chosen = dialog.port();
    }
    fullscreenOff();
    if (!chosen.empty()) selectPort(chosen);
}

void MainWindow::openHelp() {
    {
        DialogFlag flag(state_.frame);
        std::array<QString, 4> keys;
        for (std::size_t i = 0; i < keys.size(); ++i)
            keys[i] = QKeySequence(hardwareKeyCodes_[i]).toString(QKeySequence::NativeText);
        HelpDialog dialog(keys, this);
        runDialog(dialog);
    }
    fullscreenOff();
}

// The track name, then the upload on its own thread with a copy of the route taken now: the
// route may be edited while it runs.
void MainWindow::sendRouteToGarmin() {
    if (reportMissingRoute(cmd::SendRouteToGarmin)) return;
    if (garmin_.running()) {
        ui_.messageBox("Die Übertragung zum Garmin läuft noch", "Senden Route", MessageButtons::Ok,
                       MessageIcon::Information);
        return;
    }
    std::string routeName;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        routeName = state_.route.name;
    }
    {
        DialogFlag flag(state_.frame);
        RouteNameDialog dialog(routeName, this);
        if (runDialog(dialog) == QDialog::Accepted) setGarminTrackName(state_.garmin, dialog.text());
        else state_.garmin.trackName.clear();
    }
    fullscreenOff();

    GarminUploadJob job;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        const std::string name = state_.frame.portName;
        job = makeGarminUploadJob(state_.route, state_.grid, state_.garmin.trackName, name,
                                  session_.portDevice(name));
    }
    const bool logging = state_.log.active.load();
    // The GPS reader leaves its loop once the port is closed; the upload opens the port only
    // after that, so the reader never reads the receiver's answers.
    const bool readerRunning = state_.port.isOpen() && !state_.frame.replaying.load();
    if (state_.port.isOpen()) close_port(session_, job.portName);
    auto waitForReader = [this, readerRunning] {
        while (readerRunning && session_.workerRunning.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    try {
        garmin_.start(std::move(job), logging, waitForReader);
    } catch (const std::system_error& e) {
        ui_.messageBox(strprintf("Unable to create the Write thread, \r\nlasterror=%ld",
                                 static_cast<long>(e.code().value())),
                       "Error", MessageButtons::Ok, MessageIcon::Error);
    }
}

}  // namespace vexa
