#include "app/poi_dialogs.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/route_dialogs.h"
#include "app/text_table.h"
#include "routes/poi_record.h"

namespace vexa {

namespace {

constexpr int kBarMiddle = 50;
constexpr double kLineStep = 1.0;     // metres
constexpr double kPageStep = 10.0;
constexpr double kDragStep = 100.0;   // metres per scroll bar position

QString number(const char* format, double value) { return QString::asprintf(format, value); }

}  // namespace

PoiListDialog::PoiListDialog(const PoiTable& table, const PoiDb& pois, Actions actions, QWidget* parent)
    : QDialog(parent), table_(table), pois_(pois), actions_(std::move(actions)) {
    setWindowTitle("Poi Anzeige");
    auto* layout = new QVBoxLayout(this);
    const QStringList headers = {"Name", "Breitengrad", "Längengrad", "Rechtswert", "Hochwert", "Dbname", ""};
    list_ = new TextTable(headers, [this](int row, int column) -> QVariant {
        const PoiRecord& p = table_.records[static_cast<std::size_t>(row)];
        switch (column) {
        case 0: return QString::fromStdString(p.name);
        case 1: return number("%7.5f", p.lat);
        case 2: return number("%7.5f", p.lon);
        case 3: return number("%6.0f", p.gridX);
        case 4: return number("%7.0f", p.gridY);
        case 5: return QString::fromStdString(p.dbPath);
        default: return {};
        }
    }, this);
    list_->fill(table_.count, actions_.select, actions_.columnClick);
    layout->addWidget(list_);
    progress_ = newProgressBar(this);
    layout->addWidget(progress_);

    auto* buttons = new QHBoxLayout;
    show_ = new QPushButton("Show", this);
    auto* cancel = new QPushButton("Cancel", this);
    delete_ = new QPushButton("Delete", this);
    export_ = new QPushButton("Export", this);
    for (QPushButton* b : {show_, cancel, delete_, export_}) buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(show_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(delete_, &QPushButton::clicked, this, [this] {
        const int row = pois_.selected;
        if (actions_.remove && actions_.remove() && row >= 0) list_->model().rowChanged(row);
    });
    connect(export_, &QPushButton::clicked, this, [this] {
        progress_->setValue(0);
        if (actions_.exportPois) actions_.exportPois(progressOf(progress_));
        progress_->setValue(0);
    });
    resize(640, 480);
}

AddPoiDialog::AddPoiDialog(std::string name, const std::vector<std::filesystem::path>& volumes, GridPoint& position,
                           Describe describe, QWidget* parent)
    : QDialog(parent), position_(position), reference_(position), describe_(std::move(describe)) {
    setWindowTitle("Add POI");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Name des POI (max. 64 Stellen)", this));
    name_ = new QLineEdit(QString::fromStdString(name), this);
    name_->setMaxLength(static_cast<int>(kPoiNameChars));
    layout->addWidget(name_);
    layout->addWidget(new QLabel("Datenbank auswählen", this));
    volumes_ = new QListWidget(this);
    for (const auto& v : volumes) volumes_->addItem(QString::fromStdString(v.string()));
    volumes_->setMaximumHeight(80);
    layout->addWidget(volumes_);
    grid_ = new QLabel(this);
    geo_ = new QLabel(this);
    layout->addWidget(grid_);
    layout->addWidget(geo_);

    auto* move = new QGridLayout;
    eastWest_ = new QScrollBar(Qt::Horizontal, this);
    northSouth_ = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* bar : {eastWest_, northSouth_}) {
        bar->setRange(0, 100);
        bar->setValue(kBarMiddle);
        bar->setSingleStep(1);
        bar->setPageStep(10);
        connect(bar, &QScrollBar::actionTriggered, this, [this, bar](int action) { step(bar, action); });
        connect(bar, &QScrollBar::sliderMoved, this, [this, bar](int p) { drag(bar, p); });
        connect(bar, &QScrollBar::sliderReleased, this, [this] { reference_ = position_; });
    }
    northSouth_->setMinimumHeight(90);
    move->addWidget(new QLabel("W", this), 1, 0);
    move->addWidget(eastWest_, 1, 1);
    move->addWidget(new QLabel("O", this), 1, 2);
    move->addWidget(new QLabel("N", this), 0, 3, Qt::AlignHCenter);
    move->addWidget(northSouth_, 1, 3, Qt::AlignHCenter);
    move->addWidget(new QLabel("S", this), 2, 3, Qt::AlignHCenter);
    move->setColumnStretch(1, 1);
    layout->addLayout(move);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
    setMinimumWidth(380);
    showPosition();
}

std::filesystem::path AddPoiDialog::chosenVolume() const {
    const QListWidgetItem* item = volumes_->currentItem();
    return item && item->isSelected() ? std::filesystem::path(item->text().toStdString()) : std::filesystem::path();
}

// Line and page steps move the position by 1 and 10 m (right and up increase the value); the
// moved position becomes the reference for the next drag.
void AddPoiDialog::step(QScrollBar* bar, int action) {
    double delta = 0.0;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: delta = kLineStep; break;
    case QAbstractSlider::SliderSingleStepSub: delta = -kLineStep; break;
    case QAbstractSlider::SliderPageStepAdd: delta = kPageStep; break;
    case QAbstractSlider::SliderPageStepSub: delta = -kPageStep; break;
    default: return;
    }
    if (bar == eastWest_) position_.easting += delta;
    else position_.northing -= delta;  // the vertical bar grows downwards, to the south
    reference_ = position_;
    bar->blockSignals(true);
    bar->setValue(kBarMiddle);  // the bar stays a control, not a position
    bar->blockSignals(false);
    showPosition();
}

void AddPoiDialog::drag(QScrollBar* bar, int p) {
    const int q = p > kBarMiddle ? p - 1 : p;
    if (bar == eastWest_) position_.easting = reference_.easting + (q - kBarMiddle) * kDragStep;
    else position_.northing = reference_.northing - (q - kBarMiddle) * kDragStep;
    showPosition();
}

void AddPoiDialog::showPosition() {
    if (!describe_) return;
    const PoiPositionTexts t = describe_(position_);
    grid_->setText(QString::fromStdString(t.grid));
    geo_->setText(QString::fromStdString(t.geo));
}

}  // namespace vexa
