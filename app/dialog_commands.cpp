// The commands that open a dialog: "Aufzeichnung", "UTM oder GK Zone", "Port…" and "Help".
#include "app/app_state.h"
#include "app/help_dialog.h"
#include "app/log_settings_dialog.h"
#include "app/main_window.h"
#include "app/port_dialog.h"
#include "frame/settings_store.h"
#include "platform/linux/serial_devices.h"
#include "app/state_lock.h"
#include "app/zone_dialog.h"

namespace vexa {

namespace {

// A command's modal dialog: workers do not draw while it is up.
class DialogFlag {
public:
    explicit DialogFlag(FrameState& frame) : frame_(frame) { frame_.dialogActive = true; }
    ~DialogFlag() { frame_.dialogActive = false; }

private:
    FrameState& frame_;
};

}  // namespace

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
        HelpDialog dialog(this);
        runDialog(dialog);
    }
    fullscreenOff();
}

}  // namespace vexa
