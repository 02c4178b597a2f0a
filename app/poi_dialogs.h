// The POI dialogs: "Poi Anzeige" (the POI table as a list with Show, Delete and Export) and
// "Add POI" (name, volume and a position moved by two scroll bars around the map centre).
#pragma once

#include <QDialog>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "geo/grid.h"
#include "routes/poi_db.h"
#include "routes/route_db.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QScrollBar;

namespace vexa {

struct PoiTable;
class TextTable;

class PoiListDialog : public QDialog {
public:
    struct Actions {
        std::function<void(int index)> select;           // a click on a row
        std::function<bool()> remove;                    // "Delete"; true when the row changed
        std::function<void(const Progress&)> exportPois; // "Export"
        std::function<void()> columnClick;
    };

    PoiListDialog(const PoiTable& table, const PoiDb& pois, Actions actions, QWidget* parent = nullptr);

    TextTable& list() { return *list_; }
    QPushButton* showButton() const { return show_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* exportButton() const { return export_; }

private:
    const PoiTable& table_;
    const PoiDb& pois_;
    Actions actions_;
    TextTable* list_ = nullptr;
    QPushButton* show_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* export_ = nullptr;
    QProgressBar* progress_ = nullptr;
};

// The texts the Add POI dialog shows for a grid position.
struct PoiPositionTexts {
    std::string grid;  // "UTM 550000 5800000"
    std::string geo;   // "GEO E 9.73000° N 52.37000°"
};

class AddPoiDialog : public QDialog {
public:
    using Describe = std::function<PoiPositionTexts(GridPoint)>;

    // `position` is moved by the scroll bars while the dialog is open.
    AddPoiDialog(std::string name, const std::vector<std::filesystem::path>& volumes, GridPoint& position,
                 Describe describe, QWidget* parent = nullptr);

    QLineEdit* name() const { return name_; }
    QListWidget* volumes() const { return volumes_; }
    QScrollBar* eastWest() const { return eastWest_; }
    QScrollBar* northSouth() const { return northSouth_; }
    QLabel* gridText() const { return grid_; }
    QLabel* geoText() const { return geo_; }
    // The chosen volume, empty when none was chosen.
    std::filesystem::path chosenVolume() const;

private:
    GridPoint& position_;
    GridPoint reference_;
    Describe describe_;
    QLineEdit* name_ = nullptr;
    QListWidget* volumes_ = nullptr;
    QScrollBar* eastWest_ = nullptr;
    QScrollBar* northSouth_ = nullptr;
    QLabel* grid_ = nullptr;
    QLabel* geo_ = nullptr;

    void step(QScrollBar* bar, int action);
    void drag(QScrollBar* bar, int p);
    void showPosition();
};

}  // namespace vexa
