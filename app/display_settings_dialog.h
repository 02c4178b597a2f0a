// Dialog 183 "Display Einstellungen": Move display mode, the big info panel and its content,
// the text font and size, the coordinate format, 16-colour maps and power saving. There is no
// cancel: mode, panel, format and flags take effect at once; OK stores font and flags.
#pragma once

#include <QDialog>

#include <functional>
#include <mutex>

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace vexa {

struct DisplaySettings;
struct FontTable;
struct FrameState;
struct Settings;
struct SettingsStore;

class DisplaySettingsDialog : public QDialog {
public:
    struct Records {
        FrameState& frame;
        DisplaySettings& display;
        Settings& settings;
        FontTable& fonts;
        SettingsStore& store;
        std::mutex& stateMutex;
        bool plateCarree;
        std::function<void()> switchMoveDisplay;      // after a mode button
        std::function<std::string(int)> coordText;    // the position in a coordinate format
    };
    DisplaySettingsDialog(Records records, QWidget* parent);

    void accept() override;

private:
    Records r_;
    QLineEdit* sample_ = nullptr;
    QLineEdit* size_ = nullptr;
    QSpinBox* spinner_ = nullptr;
    QLineEdit* coord_ = nullptr;

    void showSample();
    void showCoord();
};

}  // namespace vexa
