#include "app/log_settings_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/dialog_fit.h"
#include "frame/settings.h"

namespace vexa {

namespace {

struct FieldLabel {
    LogField field;
    const char* label;
};

constexpr FieldLabel kFields[] = {
    {LogField::TraceLength, "Trace Länge"},
    {LogField::TraceInterval, "Trace Intervall"},
    {LogField::RmcInterval, "RMC Log Intervall"},
    {LogField::GsaInterval, "GSA/V Log Intervall"},
    {LogField::GgaInterval, "GGA Log Intervall"},
    {LogField::MinDistance, "Min Distanz (m)"},
    {LogField::TimeZone, "Zeit-Zone"},
};

}  // namespace

LogSettingsDialog::LogSettingsDialog(Settings& settings, SettingsStore& store, std::mutex& stateMutex,
                                     QWidget* parent)
    : QDialog(parent), settings_(settings), model_(settings), store_(store), mutex_(stateMutex) {
    setWindowTitle("Log Einstellungen");
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    for (const FieldLabel& f : kFields) {
        auto* spin = new QSpinBox(this);
        // The field accepts any number; the rules bring it into range as it is typed.
        spin->setRange(-999, 9999);
        spin->setObjectName(QString::fromUtf8(f.label));
        const LogField field = f.field;
        connect(spin, &QSpinBox::textChanged, this, [this, field](const QString& text) { edited(field, text); });
        form->addRow(QString::fromUtf8(f.label), spin);
        fields_[f.field] = spin;
    }
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    auto* group = new QButtonGroup(this);
    group->setExclusive(false);
    const char* texts[] = {"50 m", "20 m", "10 m"};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(texts[i], this);
        radio->setAutoExclusive(false);
        connect(radio, &QRadioButton::clicked, this, [this, i] {
            {
                std::lock_guard lock(mutex_);
                model_.pickDistance(i);
            }
            showModel();
        });
        distance_[static_cast<std::size_t>(i)] = radio;
        buttons->addWidget(radio);
    }
    layout->addLayout(buttons);

    clockSync_ = new QCheckBox("Autom. Zeitsynchronisation", this);
    altitude_ = new QCheckBox("Höhen Korrektur", this);
    connect(clockSync_, &QCheckBox::toggled, this, [this](bool on) {
        if (updating_) return;
        std::lock_guard lock(mutex_);
        model_.setClockSync(on);
    });
    connect(altitude_, &QCheckBox::toggled, this, [this](bool on) {
        if (updating_) return;
        std::lock_guard lock(mutex_);
        model_.setAltitudeCorrection(on);
    });
    layout->addWidget(clockSync_);
    layout->addWidget(altitude_);

    info_ = new QLineEdit(this);
    info_->setReadOnly(true);
    // The information line comes and goes as values are typed: its room stays, wide enough for
    // the longest of its texts.
    keepRoomWhenHidden(*info_);
    info_->setMinimumWidth(info_->fontMetrics().horizontalAdvance(QStringLiteral("Mindest Distanz für Trace/Log 9999 m")) + 16);
    layout->addWidget(info_);

    auto* box = new QDialogButtonBox(this);
    QPushButton* standard = box->addButton("Standard", QDialogButtonBox::ResetRole);
    box->addButton("Done", QDialogButtonBox::AcceptRole);
    connect(standard, &QPushButton::clicked, this, [this] { pressStandard(); });
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(box);

    {
        std::lock_guard lock(mutex_);
        model_.open(store_);
    }
    // The time zone is only taken on Done; the field keeps what is typed until then.
    updating_ = true;
    fields_[LogField::TimeZone]->setValue(static_cast<int>(model_.value(LogField::TimeZone)));
    updating_ = false;
    showModel();
}

void LogSettingsDialog::edited(LogField f, const QString& text) {
    if (updating_) return;
    std::optional<std::string> corrected;
    {
        std::lock_guard lock(mutex_);
        corrected = model_.edit(f, text.trimmed().toStdString());
    }
    if (corrected) {
        updating_ = true;
        fields_[f]->setValue(QString::fromStdString(*corrected).toInt());
        updating_ = false;
    }
    showModel(f);
}

void LogSettingsDialog::pressStandard() {
    {
        std::lock_guard lock(mutex_);
        model_.standard();
    }
    showModel();
}

// Puts the model's values, buttons and information line into the controls.
void LogSettingsDialog::showModel(std::optional<LogField> editing) {
    updating_ = true;
    {
        std::lock_guard lock(mutex_);
        for (auto& [field, spin] : fields_)
            if (field != editing && field != LogField::TimeZone) spin->setValue(static_cast<int>(model_.value(field)));
        clockSync_->setChecked(settings_.iZeitsync == 1);
        altitude_->setChecked(settings_.iHKorrektur == 1);
        for (int i = 0; i < 3; ++i)
            distance_[static_cast<std::size_t>(i)]->setChecked(model_.selectedDistanceButton() == i);
        info_->setVisible(model_.infoVisible());
        info_->setText(QString::fromStdString(model_.infoText()));
    }
    updating_ = false;
}

void LogSettingsDialog::accept() {
    {
        std::lock_guard lock(mutex_);
        model_.done(store_, fields_[LogField::TimeZone]->text().trimmed().toStdString());
    }
    QDialog::accept();
}

}  // namespace vexa
