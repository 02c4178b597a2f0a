// Dialog 125 `DlgRouteName`: the track name for the Garmin upload, preset with the route name.
#pragma once

#include <QDialog>

#include <string>

class QLineEdit;

namespace vexa {

class RouteNameDialog : public QDialog {
public:
    RouteNameDialog(const std::string& preset, QWidget* parent = nullptr);

    QLineEdit* nameField() const { return name_; }  // edit field 1006
    std::string text() const;

private:
    QLineEdit* name_ = nullptr;
};

}  // namespace vexa
