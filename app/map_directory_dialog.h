// The dialog "Karten Verzeichnis": the folder tree from "/" (read lazily as folders open), the
// status line, the scan progress, OK, "ohne Karten" and "Cancel". A tap chooses a folder, a
// double tap or OK scans it; a folder with maps is kept and closes the dialog.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QFileSystemModel;
class QLineEdit;
class QModelIndex;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace vexa {

class MapDirectoryDialog : public QDialog {
public:
    // `scan` reads a folder (ending in "/") into the map table with progress and returns the
    // number of maps; `keep` saves a folder with maps as the map directory; `withoutMaps`
    // empties the map table.
    struct Actions {
        std::function<int(const std::string& folder, QProgressBar& progress)> scan;
        std::function<void(const std::string& folder)> keep;
        std::function<void()> withoutMaps;
    };

    MapDirectoryDialog(std::string currentFolder, int mapCount, Actions actions, QWidget* parent = nullptr);

    QTreeView* tree() const { return tree_; }
    QFileSystemModel* model() const { return model_; }
    QLineEdit* status() const { return status_; }
    QProgressBar* progress() const { return progress_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* withoutMapsButton() const { return withoutMaps_; }
    QPushButton* cancelButton() const { return cancel_; }
    const std::string& currentFolder() const { return folder_; }

    // A tap and a double tap on the folder at `index` of the model.
    void choose(const QModelIndex& index);
    void scanAndKeep(const QModelIndex& index);

private:
    Actions actions_;
    std::string folder_;
    QFileSystemModel* model_ = nullptr;
    QTreeView* tree_ = nullptr;
    QLineEdit* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* withoutMaps_ = nullptr;
    QPushButton* cancel_ = nullptr;

    // Scans the current folder; keeps it and closes when it holds maps.
    void scanCurrent();
    void showCount(int count);
};

}  // namespace vexa
