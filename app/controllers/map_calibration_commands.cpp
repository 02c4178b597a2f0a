// Map calibration: the dialog "Karte umbenennen" for the map being calibrated, the permanent
// rename of a size-corrected map or of a map moved by a tap in the Move view, "temporäre
// Kalbrierung" (the move in memory only) and "Cancel Kalibrierung".
#include <QCheckBox>
#include <QProgressBar>

#include "app/app_state.h"
#include "app/calibration_dialog.h"
#include "app/command_ids.h"
#include "app/controllers/map_controller.h"
#include "app/dialog_flag.h"
#include "app/qt_gps_views.h"
#include "app/state_lock.h"
#include "maps/map_calibration.h"
#include "platform/file_rename.h"
#include "util/text.h"

namespace vexa {

namespace {
bool validRow(const MapTable& table, int row) { return row >= 0 && row < static_cast<int>(table.rows.size()); }
}  // namespace

void MapController::calibrationCommand(int id) {
    std::string failure;
    bool temporary = false;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        MapView& view = c_.state.mapView;
        if (id == cmd::PermanentCalibration && !view.PendingMapName.empty()) {
            // A map whose image is not the size its name says: the name follows the image.
            const std::string name = std::exchange(view.PendingMapName, {});
            const int row = std::exchange(view.PendingMapRow, -1);
            int error = 0;
            if (validRow(c_.state.maps, row) &&
                !renameMapRow(c_.state.maps.rows[static_cast<std::size_t>(row)], name, error))
                failure = renameFailure(error, name);
        } else if (id == cmd::CancelCalibration) {
            const int row = validRow(c_.state.maps, view.CalibrationRow) ? view.CalibrationRow : view.CurrentRow;
            if (validRow(c_.state.maps, row)) ResetKalib(c_.state.maps.rows[static_cast<std::size_t>(row)]);
            endCalibration(view);
            calibrationTap_.row = -1;
            c_.state.frame.calibrating = false;
        } else if (id != cmd::CalibrationMenu) {
            // The map tapped in the Move view, moved by the tap's offsets: for now only, or
            // for good through the dialog that renames its file.
            const int row = std::exchange(calibrationTap_.row, -1);
            if (!validRow(c_.state.maps, row)) return;
            MapEntry& map = c_.state.maps.rows[static_cast<std::size_t>(row)];
            const float east = calibrationTap_.east;
            const float north = static_cast<float>(calibrationTap_.north / c_.state.frame.verticalRatio);
            map.left -= east;
            map.right -= east;
            map.top -= north;
            map.bottom -= north;
            if (id == cmd::TemporaryCalibration) temporary = true;
            else view.CalibrationRow = row;
        } else if (!validRow(c_.state.maps, view.CalibrationRow)) {
            return;
        }
    }
    if (temporary) {
        c_.ui.sendCommand(cmd::MoveView);
        return;
    }
    if (!failure.empty()) {
        c_.ui.messageBox(failure, "vexa", MessageButtons::Ok, MessageIcon::Error);
        return;
    }
    if (id != cmd::CancelCalibration) DlgKalib();
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    endCalibration(c_.state.mapView);
    c_.views.composeMapView(c_.state.frame.viewCentre);
}

// Dialog "Karte umbenennen" for `CalibrationRow`: OK renames the file (and with "alle" every map
// of the resolution), Abbrechen takes back the moves, Delete deletes the file after asking.
void MapController::DlgKalib() {
    int row = -1;
    MapPlacement old, current;
    bool plateCarree = false;
    float xStretch = 1.0f;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        row = c_.state.mapView.CalibrationRow;
        if (!validRow(c_.state.maps, row)) return;
        const MapEntry& entry = c_.state.maps.rows[static_cast<std::size_t>(row)];
        const int zone = calibrationZone(c_.state.grid);
        old = placementFromName(entry, zone);
        current = placementOfRow(entry, zone);
        plateCarree = c_.state.grid.PlateCarreeGrid;
        xStretch = entry.xStretch;
    }
    CalibrationDialog dialog(old, current, plateCarree, c_.window.dialogParent());
    bool rescan = false;
    dialog.onOk = [&] {
        const MapPlacement now = dialog.newPlacement();
        if (now == old) {
            c_.ui.messageBox("Karte ist unverändert", "Keine Speicherung", MessageButtons::Ok, MessageIcon::None);
            return false;
        }
        std::vector<std::string> failures;
        bool renamed = false;
        {
            StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
            MapEntry& entry = c_.state.maps.rows[static_cast<std::size_t>(row)];
            const std::string name = calibratedMapName(c_.state.maps, c_.state.grid, entry, now);
            int error = 0;
            if (!renameMapRow(entry, name, error)) {
                failures.push_back(renameFailure(error, name));
            } else {
                renamed = true;
                setRowPlacement(entry, static_cast<float>(now.x), static_cast<float>(now.y), now.resolution);
                entry.moved = 0;
                c_.state.mapView.WantedResolution = now.resolution;
                if (dialog.all()->isChecked())
                    failures = MoveSameResolution(c_.state.maps, c_.state.grid, row, old.x - now.x, old.y - now.y,
                                                  old.resolution, now.resolution,
                                                  [&](int percent) { dialog.progress()->setValue(percent); });
                rescan = now.resolution != old.resolution;
            }
        }
        for (const std::string& failure : failures)
            c_.ui.messageBox(failure, "vexa", MessageButtons::Ok, MessageIcon::Error);
        // The map itself renamed, the dialog closes; failures of "alle" were named one by one.
        return renamed;
    };
    dialog.onDelete = [&] {
        std::string path;
        {
            StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
            path = c_.state.maps.rows[static_cast<std::size_t>(row)].path;
        }
        if (c_.ui.messageBox(strprintf("Delete %s", path.c_str()), "vexa", MessageButtons::OkCancel,
                             MessageIcon::Question) != Answer::Ok)
            return false;
        int error = 0;
        if (!deleteFile(path, error)) {
            c_.ui.messageBox(renameFailure(error, path), "vexa", MessageButtons::Ok, MessageIcon::Error);
            return false;
        }
        rescan = true;
        return true;
    };
    int result = QDialog::Rejected;
    {
        DialogFlag flag(c_.state.frame);
        result = c_.window.runDialog(dialog);
    }
    if (result == QDialog::Rejected) {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        if (validRow(c_.state.maps, row))
            setRowPlacement(c_.state.maps.rows[static_cast<std::size_t>(row)], static_cast<float>(old.x),
                            static_cast<float>(old.y), static_cast<int>(static_cast<float>(old.resolution) / xStretch));
        return;
    }
    if (!rescan) return;
    std::string directory;
    TrackPoint centre;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        directory = c_.state.frame.currentMapDir;
        centre = c_.state.frame.viewCentre;
    }
    scanMapDirectory(directory);
    StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
    c_.state.frame.viewCentre = centre;
    c_.state.mapView.AutoResolution = 1;
    c_.state.mapView.WantedResolution = -1;
    if (result == CalibrationDialog::kDeleted) c_.state.mapView.CalibrationRow = -1;
    c_.views.composeMapView(centre);
}

}  // namespace vexa
