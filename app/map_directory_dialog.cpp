#include "app/map_directory_dialog.h"

#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "util/text.h"

namespace vexa {

MapDirectoryDialog::MapDirectoryDialog(std::string currentFolder, int mapCount, Actions actions, QWidget* parent)
    : QDialog(parent), actions_(std::move(actions)), folder_(std::move(currentFolder)) {
    setWindowTitle("Karten Verzeichnis");
    status_ = new QLineEdit;
    status_->setReadOnly(true);
    // Folders only, read when they are opened; unreadable folders simply stay empty.
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    model_->setRootPath("/");
    tree_ = new QTreeView;
    tree_->setModel(model_);
    tree_->setRootIndex(model_->index("/").parent());
    for (int column = 1; column < model_->columnCount(); ++column) tree_->hideColumn(column);
    tree_->header()->hide();
    tree_->setSortingEnabled(true);
    tree_->sortByColumn(0, Qt::AscendingOrder);
    if (!folder_.empty()) {
        const QModelIndex at = model_->index(QString::fromStdString(folder_));
        tree_->setCurrentIndex(at);
        tree_->scrollTo(at);
    }
    connect(tree_, &QTreeView::clicked, this, [this](const QModelIndex& index) { choose(index); });
    connect(tree_, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) { scanAndKeep(index); });

    progress_ = new QProgressBar;
    progress_->setRange(0, 100);
    progress_->setValue(0);
    ok_ = new QPushButton("OK");
    withoutMaps_ = new QPushButton("ohne Karten");
    cancel_ = new QPushButton("Cancel");
    connect(ok_, &QPushButton::clicked, this, [this] { scanCurrent(); });
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
    layout->addWidget(tree_, 1);
    layout->addWidget(progress_);
    layout->addLayout(buttons);
    showCount(mapCount);
    resize(420, 520);  // room for long paths and a deep tree
}

void MapDirectoryDialog::showCount(int count) {
    status_->setText(QString::fromStdString(strprintf("%i Karte(n) in %s", count, folder_.c_str())));
}

void MapDirectoryDialog::choose(const QModelIndex& index) {
    if (!model_->isDir(index)) return;
    folder_ = model_->filePath(index).toStdString();
    if (folder_.empty() || folder_.back() != '/') folder_.push_back('/');
    status_->setText(QString::fromStdString(folder_));
}

void MapDirectoryDialog::scanAndKeep(const QModelIndex& index) {
    choose(index);
    scanCurrent();
}

void MapDirectoryDialog::scanCurrent() {
    if (folder_.empty() || !actions_.scan) return;
    const int count = actions_.scan(folder_, *progress_);
    showCount(count);
    if (count <= 0) return;
    if (actions_.keep) actions_.keep(folder_);
    accept();
}

}  // namespace vexa
