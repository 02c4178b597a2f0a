// The help dialog: what each menu-bar button does.
#pragma once

#include <QDialog>

namespace vexa {

class HelpDialog : public QDialog {
public:
    explicit HelpDialog(QWidget* parent = nullptr);
};

}  // namespace vexa
