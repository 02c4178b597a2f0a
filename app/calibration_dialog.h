// The dialog "Karte umbenennen": the placement in the file name ("vorher") beside the new one
// ("nachher"), "alle" for every map of the resolution with its progress, OK, "Abbrechen",
// "Delete". OK and Delete ask their handlers, which keep the dialog open by returning false.
#pragma once

#include <QDialog>

#include <array>
#include <functional>

#include "maps/map_calibration.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace vexa {

class CalibrationDialog : public QDialog {
public:
    CalibrationDialog(const MapPlacement& old, const MapPlacement& current, bool plateCarree,
                      QWidget* parent = nullptr);

    // The result code of a deleted map.
    static constexpr int kDeleted = 3;

    MapPlacement newPlacement() const;
    void setNewPlacement(const MapPlacement& p);
    QCheckBox* all() const { return all_; }
    QProgressBar* progress() const { return progress_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* deleteButton() const { return delete_; }

    std::function<bool()> onOk;
    std::function<bool()> onDelete;

private:
    // zone, x, y, resolution, width, height
    std::array<QSpinBox*, 6> spins_{};
    QCheckBox* all_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* delete_ = nullptr;
};

}  // namespace vexa
