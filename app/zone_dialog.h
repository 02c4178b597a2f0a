// The dialog "UTM oder GK Zone": UTM or Gauss-Krüger, the zone or strip, its longitude band.
#pragma once

#include <QDialog>

#include <mutex>

#include "maps/utm_gk_dialog_model.h"

class QLabel;
class QRadioButton;
class QSpinBox;

namespace vexa {

class ZoneDialog : public QDialog {
public:
    ZoneDialog(GridContext& grid, LastPosition& last, FrameState& frame, std::mutex& stateMutex,
               QWidget* parent = nullptr);

    QRadioButton* utmButton() const { return utm_; }
    QRadioButton* gkButton() const { return gk_; }
    QSpinBox* number() const { return number_; }
    QLabel* info() const { return info_; }
    // The zone and strip texts OK produced.
    const UtmGkDialogModel::Result& result() const { return result_; }

    void accept() override;

private:
    UtmGkDialogModel model_;
    std::mutex& mutex_;
    QRadioButton* utm_ = nullptr;
    QRadioButton* gk_ = nullptr;
    QSpinBox* number_ = nullptr;
    QLabel* info_ = nullptr;
    bool updating_ = false;
    UtmGkDialogModel::Result result_;

    void showModel();
};

}  // namespace vexa
