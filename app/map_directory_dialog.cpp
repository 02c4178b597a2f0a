#include "app/map_directory_dialog.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include "util/text.h"

namespace vexa {

namespace {

// Type-ahead among the current entry's siblings only: the tree's own search runs through every
// open folder and lands on a namesake in another branch.
class FolderTree : public QTreeView {
public:
    void keyboardSearch(const QString& search) override {
        if (!typed_.isValid() || typed_.elapsed() > QApplication::keyboardInputInterval()) prefix_.clear();
        typed_.start();
        prefix_ += search;
        const QModelIndex current = currentIndex();
        const QModelIndex parent = current.isValid() ? current.parent() : rootIndex();
        const int rows = model()->rowCount(parent);
        // A new search starts behind the current entry, a longer prefix at it.
        const int first = current.isValid() ? current.row() + (prefix_.size() == search.size() ? 1 : 0) : 0;
        for (int i = 0; i < rows; ++i) {
            const QModelIndex at = model()->index((first + i) % rows, 0, parent);
            if (at.data().toString().startsWith(prefix_, Qt::CaseInsensitive)) {
                setCurrentIndex(at);
                scrollTo(at);
                return;
            }
        }
    }

private:
    QString prefix_;
    QElapsedTimer typed_;
};

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder.push_back('/');
    return folder;
}

// A typed or pasted path: "~" is the home folder, a file URL its path, a file its folder.
QString typedPath(QString text) {
    text = text.trimmed();
    if (text.startsWith("file:")) text = QUrl(text).toLocalFile();
    if (text == "~" || text.startsWith("~/")) text.replace(0, 1, QDir::homePath());
    const QFileInfo info(text);
    return info.isFile() ? info.absolutePath() : QDir::cleanPath(info.absoluteFilePath());
}

}  // namespace

MapDirectoryDialog::MapDirectoryDialog(std::string currentFolder, int mapCount, Actions actions,
                                       const std::string& fallbackFolder, QWidget* parent)
    : QDialog(parent), actions_(std::move(actions)), folder_(std::move(currentFolder)) {
    setWindowTitle("Karten Verzeichnis");
    status_ = new QLineEdit;
    status_->setReadOnly(true);
    path_ = new QLineEdit;
    path_->setPlaceholderText("Pfad eingeben oder einfügen");
    // Read when a folder opens; unreadable folders simply stay empty.
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden);
    model_->setRootPath("/");
    tree_ = new FolderTree;
    tree_->setModel(model_);
    tree_->setRootIndex(model_->index("/").parent());
    for (int column = 1; column < model_->columnCount(); ++column) tree_->hideColumn(column);
    tree_->header()->hide();
    tree_->setSortingEnabled(true);
    tree_->sortByColumn(0, Qt::AscendingOrder);
    showFolder(folder_.empty() ? fallbackFolder : folder_);
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) { choose(index); });
    connect(tree_, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) { scanAndKeep(index); });

    progress_ = new QProgressBar;
    progress_->setRange(0, 100);
    progress_->setValue(0);
    ok_ = new QPushButton("OK");
    ok_->setDefault(true);  // Enter in the path field or the tree
    withoutMaps_ = new QPushButton("ohne Karten");
    withoutMaps_->setAutoDefault(false);
    cancel_ = new QPushButton("Cancel");
    cancel_->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, [this] { scanTyped(); });
    connect(withoutMaps_, &QPushButton::clicked, this, [this] {
        if (actions_.withoutMaps) actions_.withoutMaps();
        reject();
    });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (folder_.empty() && actions_.withoutMaps) actions_.withoutMaps();
        reject();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(withoutMaps_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    layout->addWidget(path_);
    layout->addWidget(tree_, 1);
    layout->addWidget(progress_);
    layout->addLayout(buttons);
    showCount(mapCount);
    resize(420, 520);  // room for long paths and a deep tree
}

void MapDirectoryDialog::showFolder(const std::string& folder) {
    path_->setText(QString::fromStdString(folder));
    if (folder.empty()) return;
    const QModelIndex at = model_->index(QString::fromStdString(folder));
    if (!at.isValid()) return;
    for (QModelIndex up = at.parent(); up.isValid(); up = up.parent()) tree_->expand(up);
    tree_->setCurrentIndex(at);
    tree_->scrollTo(at);
}

void MapDirectoryDialog::showCount(int count) {
    status_->setText(QString::fromStdString(strprintf("%i Karte(n) in %s", count, folder_.c_str())));
}

void MapDirectoryDialog::choose(const QModelIndex& index) {
    if (!index.isValid()) return;
    const QModelIndex folder = model_->isDir(index) ? index : index.parent();
    folder_ = withSlash(model_->filePath(folder).toStdString());
    path_->setText(QString::fromStdString(folder_));
    status_->setText(QString::fromStdString(folder_));
}

// A double tap keeps the folder even without maps; only maps close the dialog.
void MapDirectoryDialog::scanAndKeep(const QModelIndex& index) {
    choose(index);
    const int count = scan();
    if (actions_.keep) actions_.keep(folder_);
    if (count > 0) accept();
}

void MapDirectoryDialog::scanTyped() {
    const QString typed = typedPath(path_->text());
    if (!QFileInfo(typed).isDir()) {
        status_->setText("Kein Ordner: " + path_->text().trimmed());
        return;
    }
    folder_ = withSlash(typed.toStdString());
    showFolder(folder_);
    if (scan() <= 0) return;
    if (actions_.keep) actions_.keep(folder_);
    accept();
}

int MapDirectoryDialog::scan() {
    if (folder_.empty() || !actions_.scan) return 0;
    const int count = actions_.scan(folder_, *progress_);
    showCount(count);
    return count;
}

}  // namespace vexa
