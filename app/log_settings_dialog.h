// The dialog "Log Einstellungen": trace length and interval, the three log intervals, the
// minimum distance with its 50/20/10 m buttons, clock synchronisation, altitude correction
// and the time zone. Every edit takes effect at once; Done saves.
#pragma once

#include <QDialog>

#include <map>
#include <mutex>
#include <optional>

#include "gps/log_settings_model.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace vexa {

class LogSettingsDialog : public QDialog {
public:
    LogSettingsDialog(Settings& settings, SettingsStore& store, std::mutex& stateMutex,
                      QWidget* parent = nullptr);

    QSpinBox* field(LogField f) const { return fields_.at(f); }
    QLineEdit* infoLine() const { return info_; }
    QRadioButton* distanceButton(int i) const { return distance_[static_cast<std::size_t>(i)]; }
    QCheckBox* clockSync() const { return clockSync_; }
    QCheckBox* altitudeCorrection() const { return altitude_; }
    void pressStandard();

    void accept() override;

private:
    Settings& settings_;
    LogSettingsModel model_;
    SettingsStore& store_;
    std::mutex& mutex_;
    std::map<LogField, QSpinBox*> fields_;
    std::array<QRadioButton*, 3> distance_{};
    QCheckBox* clockSync_ = nullptr;
    QCheckBox* altitude_ = nullptr;
    QLineEdit* info_ = nullptr;
    bool updating_ = false;

    void edited(LogField f, const QString& text);
    // Shows the model in every control but `editing`, the field being typed in.
    void showModel(std::optional<LogField> editing = std::nullopt);
};

}  // namespace vexa
