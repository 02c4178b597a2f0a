#include "app/route_dialogs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/text_table.h"

namespace vexa {

Progress progressOf(QProgressBar* bar) {
    return [bar](int percent) {
        if (bar->value() == percent) return;
        bar->setValue(percent);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

QProgressBar* newProgressBar(QWidget* parent) {
    auto* bar = new QProgressBar(parent);
    bar->setRange(0, 100);
    bar->setValue(0);
    return bar;
}

RouteListDialog::RouteListDialog(const RouteDb& routes, Actions actions, QWidget* parent)
    : QDialog(parent), routes_(routes), actions_(std::move(actions)) {
    setWindowTitle("Routen Anzeige");
    auto* layout = new QVBoxLayout(this);
    list_ = new TextTable({"Route", "Gespeichert am", "Points"}, [this](int row, int column) -> QVariant {
        const RouteEntry& e = routes_.entries[static_cast<std::size_t>(row)];
        switch (column) {
        case 0: return e.deleted ? QString::fromStdString(std::string(kDeletedRouteName)) : QString::fromStdString(e.name);
        case 1: return QDateTime::fromMSecsSinceEpoch(e.modifiedMs).toString("dd.MM.yyyy hh:mm");
        default: return e.records;
        }
    }, this);
    list_->fill(static_cast<int>(routes_.entries.size()), actions_.select, actions_.columnClick);
    layout->addWidget(list_);
    progress_ = newProgressBar(this);
    layout->addWidget(progress_);
    auto* buttons = new QHBoxLayout;
    load_ = new QPushButton("Load", this);
    export_ = new QPushButton("Export", this);
    delete_ = new QPushButton("Delete", this);
    auto* cancel = new QPushButton("Cancel", this);
    for (QPushButton* b : {load_, export_, delete_, cancel}) buttons->addWidget(b);
    layout->addLayout(buttons);

    connect(load_, &QPushButton::clicked, this, [this] {
        if (actions_.load && actions_.load(progressOf(progress_))) accept();
    });
    connect(export_, &QPushButton::clicked, this, [this] {
        if (actions_.exportRoute) actions_.exportRoute(progressOf(progress_));
        progress_->setValue(0);
    });
    connect(delete_, &QPushButton::clicked, this, [this] {
        if (actions_.remove && actions_.remove() && routes_.selected >= 0)
            list_->model().rowChanged(routes_.selected);
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(420, 480);
}

RouteSaveDialog::RouteSaveDialog(const std::string& name, Save save, QWidget* parent)
    : QDialog(parent), save_(std::move(save)) {
    setWindowTitle("Route speichern");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Eingabe Routen-Name ", this));
    name_ = new QLineEdit(QString::fromStdString(name), this);
    name_->setMaxLength(static_cast<int>(kRouteNameChars));
    layout->addWidget(name_);
    progress_ = newProgressBar(this);
    layout->addWidget(progress_);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
}

void RouteSaveDialog::accept() {
    if (save_ && save_(name_->text().toStdString(), progressOf(progress_)) == RouteSave::KeepOpen) return;
    QDialog::accept();
}

}  // namespace vexa
