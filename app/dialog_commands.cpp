// The commands that open a dialog: "Aufzeichnung", "UTM oder GK Zone" and "Help".
#include "app/app_state.h"
#include "app/dialog_flag.h"
#include "app/help_dialog.h"
#include "app/log_settings_dialog.h"
#include "app/main_window.h"
#include "app/state_lock.h"
#include "app/zone_dialog.h"

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

void MainWindow::openHelp() {
    {
        DialogFlag flag(state_.frame);
        HelpDialog dialog(this);
        runDialog(dialog);
    }
    fullscreenOff();
}

}  // namespace vexa
