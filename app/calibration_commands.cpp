// Map calibration: the dialog "Karte umbenennen" for the map being calibrated, the permanent
// rename of a size-corrected map or of a map moved by a tap in the Move view, "temporäre
// Kalbrierung" (the move in memory only) and "Cancel Kalibrierung".
#include <QCheckBox>
#include <QProgressBar>

#include "app/app_state.h"
#include "app/calibration_dialog.h"
#include "app/command_ids.h"
#include "app/dialog_flag.h"
#include "app/main_window.h"
#include "app/state_lock.h"
#include "maps/map_calibration.h"
#include "platform/file_rename.h"
#include "util/text.h"

namespace vexa {

namespace {
bool validRow(const MapTable& table, int row) { return row >= 0 && row < static_cast<int>(table.rows.size()); }
}  // namespace

void MainWindow::calibrationCommand(int id) {
    std::string failure;
    bool temporary = false;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        MapView& view = state_.mapView;
        if (id == cmd::PermanentCalibration && !view.PendingMapName.empty()) {
            // A map whose image is not the size its name says: the name follows the image.
            const std::string name = std::exchange(view.PendingMapName, {});
            const int row = std::exchange(view.PendingMapRow, -1);
            int error = 0;
            if (validRow(state_.maps, row) && !renameMapRow(state_.maps.rows[static_cast<std::size_t>(row)], name, error))
                failure = renameFailure(error, name);
        } else if (id == cmd::CancelCalibration) {
            const int row = validRow(state_.maps, view.CalibrationRow) ? view.CalibrationRow : view.CurrentRow;
            if (validRow(state_.maps, row)) ResetKalib(state_.maps.rows[static_cast<std::size_t>(row)]);
            endCalibration(view);
            stylus_.calibrationTapRow = -1;
            state_.frame.calibrating = false;
        } else if (id != cmd::CalibrationMenu) {
            // The map tapped in the Move view, moved by the tap's offsets: for now only, or
            // for good through the dialog that renames its file.
            const int row = std::exchange(stylus_.calibrationTapRow, -1);
            if (!validRow(state_.maps, row)) return;
            MapEntry& map = state_.maps.rows[static_cast<std::size_t>(row)];
            const float east = stylus_.calibrationOffsetX;
            const float north = static_cast<float>(stylus_.calibrationOffsetY / state_.frame.verticalRatio);
            map.left -= east;
            map.right -= east;
            map.top -= north;
            map.bottom -= north;
            if (id == cmd::TemporaryCalibration) temporary = true;
            else view.CalibrationRow = row;
        } else if (!validRow(state_.maps, view.CalibrationRow)) {
            return;
        }
    }
    if (temporary) {
        ui_.sendCommand(cmd::MoveView);
        return;
    }
    if (!failure.empty()) {
        ui_.messageBox(failure, "vexa", MessageButtons::Ok, MessageIcon::Error);
        return;
    }
    if (id != cmd::CancelCalibration) DlgKalib();
    StateLock lock(state_.stateMutex, uiHoldsState_);
    endCalibration(state_.mapView);
    views_.composeMapView(state_.frame.viewCentre);
}

// Dialog "Karte umbenennen" for `CalibrationRow`: OK renames the file (and with "alle" every map
// of the resolution), Abbrechen takes back the moves, Delete deletes the file after asking.
void MainWindow::DlgKalib() {
    int row = -1;
    MapPlacement old, current;
    bool plateCarree = false;
    float xStretch = 1.0f;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        row = state_.mapView.CalibrationRow;
        if (!validRow(state_.maps, row)) return;
        const MapEntry& entry = state_.maps.rows[static_cast<std::size_t>(row)];
        const int zone = calibrationZone(state_.grid);
        old = placementFromName(entry, zone);
        current = placementOfRow(entry, zone);
        plateCarree = state_.grid.PlateCarreeGrid;
        xStretch = entry.xStretch;
    }
    CalibrationDialog dialog(old, current, plateCarree, this);
    bool rescan = false;
    dialog.onOk = [&] {
        const MapPlacement now = dialog.newPlacement();
        if (now == old) {
            ui_.messageBox("Karte ist unverändert", "Keine Speicherung", MessageButtons::Ok, MessageIcon::None);
            return false;
        }
        std::vector<std::string> failures;
        bool renamed = false;
        {
            StateLock lock(state_.stateMutex, uiHoldsState_);
            MapEntry& entry = state_.maps.rows[static_cast<std::size_t>(row)];
            const std::string name = calibratedMapName(state_.maps, state_.grid, entry, now);
            int error = 0;
            if (!renameMapRow(entry, name, error)) {
                failures.push_back(renameFailure(error, name));
            } else {
                renamed = true;
                setRowPlacement(entry, static_cast<float>(now.x), static_cast<float>(now.y), now.resolution);
                entry.moved = 0;
                state_.mapView.WantedResolution = now.resolution;
                if (dialog.all()->isChecked())
                    failures = MoveSameResolution(state_.maps, state_.grid, row, old.x - now.x, old.y - now.y,
                                                  old.resolution, now.resolution,
                                                  [&](int percent) { dialog.progress()->setValue(percent); });
                rescan = now.resolution != old.resolution;
            }
        }
        for (const std::string& failure : failures)
            ui_.messageBox(failure, "vexa", MessageButtons::Ok, MessageIcon::Error);
        // The map itself renamed, the dialog closes; failures of "alle" were named one by one.
        return renamed;
    };
    dialog.onDelete = [&] {
        std::string path;
        {
            StateLock lock(state_.stateMutex, uiHoldsState_);
            path = state_.maps.rows[static_cast<std::size_t>(row)].path;
        }
        if (ui_.messageBox(strprintf("Delete %s", path.c_str()), "vexa", MessageButtons::OkCancel,
                           MessageIcon::Question) != Answer::Ok)
            return false;
        int error = 0;
        if (!deleteFile(path, error)) {
            ui_.messageBox(renameFailure(error, path), "vexa", MessageButtons::Ok, MessageIcon::Error);
            return false;
        }
        rescan = true;
        return true;
    };
    int result = QDialog::Rejected;
    {
        DialogFlag flag(state_.frame);
        result = runDialog(dialog);
    }
    if (result == QDialog::Rejected) {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        if (validRow(state_.maps, row))
            setRowPlacement(state_.maps.rows[static_cast<std::size_t>(row)], static_cast<float>(old.x),
                            static_cast<float>(old.y), static_cast<int>(static_cast<float>(old.resolution) / xStretch));
        return;
    }
    if (!rescan) return;
    std::string directory;
    TrackPoint centre;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        directory = state_.frame.currentMapDir;
        centre = state_.frame.viewCentre;
    }
    scanMapDirectory(directory);
    StateLock lock(state_.stateMutex, uiHoldsState_);
    state_.frame.viewCentre = centre;
    state_.mapView.AutoResolution = 1;
    state_.mapView.WantedResolution = -1;
    if (result == CalibrationDialog::kDeleted) state_.mapView.CalibrationRow = -1;
    views_.composeMapView(centre);
}

}  // namespace vexa
