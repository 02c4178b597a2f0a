// The help dialog: a page for the menu-bar buttons, one for the stylus (tap-and-hold, the
// full-screen tap and the other taps) and one for the keys (the four hardware keys and the
// letter keys).
#pragma once

#include <QDialog>

#include <array>

class QTabWidget;

namespace vexa {

class HelpDialog : public QDialog {
public:
    // `hardwareKeys`: the names of the keyboard keys that stand for hardware keys 1 to 4.
    explicit HelpDialog(const std::array<QString, 4>& hardwareKeys, QWidget* parent = nullptr);
    QTabWidget* pages() const { return pages_; }

private:
    QTabWidget* pages_ = nullptr;
};

}  // namespace vexa
