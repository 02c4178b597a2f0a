#include "app/calibration_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include "app/dialog_fit.h"

namespace vexa {

namespace {
int field(const MapPlacement& p, int i) {
    const int values[] = {p.zone, p.x, p.y, p.resolution, p.width, p.height};
    return values[i];
}
}  // namespace

CalibrationDialog::CalibrationDialog(const MapPlacement& old, const MapPlacement& current, bool plateCarree,
                                     QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("Karte umbenennen");
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("vorher"), 0, 1);
    grid->addWidget(new QLabel("nachher"), 0, 2);
    const char* labels[] = {plateCarree ? " " : "Streifen", "x", "y",
                            plateCarree ? "Pix pro 0.1° Länge" : "Pix pro 1000m", "Breite", "Höhe"};
    // Ranges of the new values; the size follows the image and is not edited.
    const std::pair<int, int> ranges[] = {{0, 1000000},
                                          plateCarree ? std::pair{-1800000, 1800000} : std::pair{0, 1000000},
                                          plateCarree ? std::pair{-900000, 900000} : std::pair{0, 10000000},
                                          {0, 1000},
                                          {0, 100000},
                                          {0, 100000}};
    for (int i = 0; i < 6; ++i) {
        grid->addWidget(new QLabel(QString::fromUtf8(labels[i])), i + 1, 0);
        auto* before = new QLabel(QString::number(field(old, i)));
        before->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(before, i + 1, 1);
        auto* spin = new QSpinBox;
        spin->setRange(ranges[i].first, ranges[i].second);
        spin->setValue(field(current, i));
        const bool editable = (i >= 1 && i <= 3) || (i == 0 && plateCarree);
        spin->setReadOnly(!editable);
        if (!editable) spin->setButtonSymbols(QAbstractSpinBox::NoButtons);
        grid->addWidget(spin, i + 1, 2);
        spins_[static_cast<std::size_t>(i)] = spin;
    }
    all_ = new QCheckBox("alle");
    progress_ = new QProgressBar;
    progress_->setRange(0, 100);
    progress_->setVisible(false);
    keepRoomWhenHidden(*progress_);  // ticking "alle" shows it without resizing the dialog
    connect(all_, &QCheckBox::toggled, progress_, &QWidget::setVisible);
    grid->addWidget(all_, 7, 0);
    grid->addWidget(progress_, 7, 1, 1, 2);

    ok_ = new QPushButton("OK");
    cancel_ = new QPushButton("Abbrechen");
    delete_ = new QPushButton("Delete");
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, [this] {
        if (!onOk || onOk()) accept();
    });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(delete_, &QPushButton::clicked, this, [this] {
        if (onDelete && onDelete()) done(kDeleted);
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addWidget(delete_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

MapPlacement CalibrationDialog::newPlacement() const {
    const auto v = [&](int i) { return spins_[static_cast<std::size_t>(i)]->value(); };
    return {v(0), v(1), v(2), v(3), v(4), v(5)};
}

void CalibrationDialog::setNewPlacement(const MapPlacement& p) {
    for (int i = 0; i < 6; ++i) spins_[static_cast<std::size_t>(i)]->setValue(field(p, i));
}

}  // namespace vexa
