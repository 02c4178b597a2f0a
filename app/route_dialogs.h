// The route dialogs: "Routen Anzeige" (the list of a volume's routes with Load, Export and
// Delete) and the save dialog "Eingabe Routen-Name ".
#pragma once

#include <QDialog>

#include <functional>

#include "routes/route_db.h"

class QLineEdit;
class QProgressBar;
class QPushButton;

namespace vexa {

class TextTable;

class RouteListDialog : public QDialog {
public:
    struct Actions {
        std::function<void(int entry)> select;                     // a click on a row
        std::function<bool(const Progress&)> load;                 // true: close the dialog
        std::function<void(const Progress&)> exportRoute;          // "Export"
        std::function<bool()> remove;                              // "Delete"
        std::function<void()> columnClick;
    };

    RouteListDialog(const RouteDb& routes, Actions actions, QWidget* parent = nullptr);

    TextTable& list() { return *list_; }
    QPushButton* loadButton() const { return load_; }
    QPushButton* exportButton() const { return export_; }
    QPushButton* deleteButton() const { return delete_; }
    QProgressBar* progress() const { return progress_; }

private:
    const RouteDb& routes_;
    Actions actions_;
    TextTable* list_ = nullptr;
    QPushButton* load_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* delete_ = nullptr;
    QProgressBar* progress_ = nullptr;
};

class RouteSaveDialog : public QDialog {
public:
    // OK with the entered name: whether the dialog closes.
    using Save = std::function<RouteSave(const std::string& name, const Progress&)>;

    RouteSaveDialog(const std::string& name, Save save, QWidget* parent = nullptr);

    QLineEdit* name() const { return name_; }
    QProgressBar* progress() const { return progress_; }
    void accept() override;

private:
    Save save_;
    QLineEdit* name_ = nullptr;
    QProgressBar* progress_ = nullptr;
};

// Sets a progress bar and lets the window draw it.
Progress progressOf(QProgressBar* bar);
// A progress bar from 0 to 100, at 0.
QProgressBar* newProgressBar(QWidget* parent);

}  // namespace vexa
