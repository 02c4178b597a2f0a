// The dialog "Karten Verzeichnis": the folder tree from "/" (read lazily as folders open, files
// shown too), opened at the current map folder, a path field that takes a typed or pasted path,
// the status line, the scan progress, OK, "ohne Karten" and "Cancel". Choosing a folder by tap
// or keyboard shows it; a double tap scans it and keeps it, OK scans the path in the field and
// keeps it only when it holds maps; a folder with maps closes the dialog.
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
    // number of maps; `keep` saves a folder as the map directory; `withoutMaps` empties the
    // map table.
    struct Actions {
        std::function<int(const std::string& folder, QProgressBar& progress)> scan;
        std::function<void(const std::string& folder)> keep;
        std::function<void()> withoutMaps;
    };

    // `currentFolder` is the folder scanned last (may be empty); the tree opens there, else at
    // `fallbackFolder`.
    MapDirectoryDialog(std::string currentFolder, int mapCount, Actions actions,
                       const std::string& fallbackFolder, QWidget* parent = nullptr);

    QTreeView* tree() const { return tree_; }
    QFileSystemModel* model() const { return model_; }
    QLineEdit* status() const { return status_; }
    QLineEdit* path() const { return path_; }
    QProgressBar* progress() const { return progress_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* withoutMapsButton() const { return withoutMaps_; }
    QPushButton* cancelButton() const { return cancel_; }
    const std::string& currentFolder() const { return folder_; }

    // A tap and a double tap on the entry at `index` of the model; a file stands for its folder.
    void choose(const QModelIndex& index);
    void scanAndKeep(const QModelIndex& index);

private:
    Actions actions_;
    std::string folder_;
    QFileSystemModel* model_ = nullptr;
    QTreeView* tree_ = nullptr;
    QLineEdit* status_ = nullptr;
    QLineEdit* path_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* withoutMaps_ = nullptr;
    QPushButton* cancel_ = nullptr;

    // Selects `folder` in the tree and shows it in the path field.
    void showFolder(const std::string& folder);
    // OK: the folder in the path field, scanned; kept and closed when it holds maps.
    void scanTyped();
    int scan();
    void showCount(int count);
};

}  // namespace vexa
