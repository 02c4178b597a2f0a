#include "app/zone_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vexa {

ZoneDialog::ZoneDialog(GridContext& grid, LastPosition& last, FrameState& frame, std::mutex& stateMutex,
                       QWidget* parent)
    : QDialog(parent), model_(grid, last, frame),
      mutex_(stateMutex) {
    setWindowTitle("UTM oder GK Zone");
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    utm_ = new QRadioButton("Utm", this);
    gk_ = new QRadioButton("Gauss Krüger", this);
    row->addWidget(utm_);
    row->addWidget(gk_);
    layout->addLayout(row);
    number_ = new QSpinBox(this);
    layout->addWidget(number_);
    info_ = new QLabel(this);
    layout->addWidget(info_);
    // The choice takes effect as it is made, so the dialog closes only with OK.
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(box);

    auto select = [this](bool gaussKrueger) {
        if (updating_) return;
        {
            std::lock_guard lock(mutex_);
            model_.selectGaussKrueger(gaussKrueger);
        }
        showModel();
    };
    connect(utm_, &QRadioButton::toggled, this, [select](bool on) { if (on) select(false); });
    connect(gk_, &QRadioButton::toggled, this, [select](bool on) { if (on) select(true); });
    connect(number_, &QSpinBox::valueChanged, this, [this](int value) {
        if (updating_) return;
        {
            std::lock_guard lock(mutex_);
            model_.setNumber(value);
        }
        showModel();
    });
    showModel();
}

void ZoneDialog::showModel() {
    updating_ = true;
    {
        std::lock_guard lock(mutex_);
        (model_.gaussKrueger() ? gk_ : utm_)->setChecked(true);
        number_->setRange(model_.spinMin(), model_.spinMax());
        number_->setValue(model_.spinPosition());
        info_->setText(QString::fromStdString(model_.infoText()));
    }
    updating_ = false;
}

void ZoneDialog::accept() {
    {
        std::lock_guard lock(mutex_);
        result_ = model_.ok();
    }
    QDialog::accept();
}

}  // namespace vexa
