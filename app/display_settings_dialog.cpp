#include "app/display_settings_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "display/display_settings.h"
#include "display/font_table.h"
#include "frame/frame_state.h"
#include "frame/settings.h"
#include "frame/settings_store.h"

namespace vexa {

namespace {

const char* const kOrientations[] = {"Move Window Normal", "Move Window Querformat",
                                     "Move Window auf dem Kopf"};
const char* const kKinds[] = {"Nord oben", "3D", "Kursstabil"};
const char* const kInfoPages[] = {"Nichts", "V", "V+Profil", "Dist", "Höhe", "Höhe+Profil", "Zeit", "Alles"};

}  // namespace

DisplaySettingsDialog::DisplaySettingsDialog(Records records, QWidget* parent)
    : QDialog(parent), r_(std::move(records)) {
    setWindowTitle(QStringLiteral("Display Einstellungen"));
    auto* grid = new QGridLayout(this);
    int moveMode = 0, infoPage = 0, coordFormat = 0;
    bool big = false, sixteen = false, saving = false;
    {
        std::lock_guard lock(r_.stateMutex);
        moveMode = r_.frame.moveDisplayMode;
        infoPage = r_.display.infoPage;
        coordFormat = r_.display.coordFormat;
        big = r_.display.bigInfo;
        sixteen = r_.settings.iKartenFarben == 1;
        saving = r_.settings.iPowerSave == 1;
    }

    auto* modes = new QButtonGroup(this);
    for (int row = 0; row < 3; ++row) {
        grid->addWidget(new QLabel(QString::fromUtf8(kOrientations[row])), row, 0);
        for (int col = 0; col < 3; ++col) {
            const int mode = row * 3 + col;
            auto* button = new QRadioButton(QString::fromUtf8(kKinds[col]));
            button->setObjectName(QStringLiteral("mode%1").arg(mode));
            button->setChecked(moveMode == mode);
            modes->addButton(button, mode);
            grid->addWidget(button, row, col + 1);
        }
    }
    connect(modes, &QButtonGroup::idClicked, this, [this](int mode) {
        {
            std::lock_guard l(r_.stateMutex);
            r_.frame.moveDisplayMode = mode;
        }
        if (r_.switchMoveDisplay) r_.switchMoveDisplay();
    });

    auto* bigInfo = new QCheckBox(QStringLiteral("Big Info"));
    bigInfo->setObjectName(QStringLiteral("bigInfo"));
    bigInfo->setChecked(big);
    connect(bigInfo, &QCheckBox::toggled, this, [this](bool on) {
        std::lock_guard l(r_.stateMutex);
        r_.display.bigInfo = on;
    });
    grid->addWidget(bigInfo, 3, 0);
    auto* pages = new QButtonGroup(this);
    for (int page = 0; page < 8; ++page) {
        auto* button = new QRadioButton(QString::fromUtf8(kInfoPages[page]));
        button->setObjectName(QStringLiteral("info%1").arg(page));
        button->setChecked(infoPage == page);
        pages->addButton(button, page);
        grid->addWidget(button, 3 + page / 4, 1 + page % 4);
    }
    connect(pages, &QButtonGroup::idClicked, this, [this](int page) {
        std::lock_guard l(r_.stateMutex);
        r_.display.infoPage = page;
    });

    auto* colours = new QCheckBox(QStringLiteral("Karten 16-farbig"));
    colours->setObjectName(QStringLiteral("colours"));
    colours->setChecked(sixteen);
    connect(colours, &QCheckBox::toggled, this, [this](bool on) {
        std::lock_guard l(r_.stateMutex);
        r_.settings.iKartenFarben = on ? 1 : 0;
    });
    auto* powerSave = new QCheckBox(QStringLiteral("Power Save"));
    powerSave->setObjectName(QStringLiteral("powerSave"));
    powerSave->setChecked(saving);
    connect(powerSave, &QCheckBox::toggled, this, [this](bool on) {
        std::lock_guard l(r_.stateMutex);
        r_.settings.iPowerSave = on ? 1 : 0;
    });
    grid->addWidget(colours, 5, 0, 1, 2);
    grid->addWidget(powerSave, 5, 2, 1, 2);

    auto* font = new QPushButton(QStringLiteral("Font"));
    font->setObjectName(QStringLiteral("font"));
    connect(font, &QPushButton::clicked, this, [this] {
        nextFont(r_.fonts);
        showSample();
    });
    sample_ = new QLineEdit;
    sample_->setReadOnly(true);
    sample_->setObjectName(QStringLiteral("sample"));
    size_ = new QLineEdit(QString::number(r_.fonts.fontSize));
    size_->setObjectName(QStringLiteral("size"));
    spinner_ = new QSpinBox;
    spinner_->setRange(8, 20);
    spinner_->setValue(r_.fonts.fontSize);
    connect(spinner_, &QSpinBox::valueChanged, size_, [this](int v) { size_->setText(QString::number(v)); });
    connect(size_, &QLineEdit::textChanged, this, [this](const QString& text) {
        r_.fonts.fontSize = fontSizeOf(text.toStdString());
        showSample();
    });
    grid->addWidget(font, 6, 0);
    grid->addWidget(sample_, 6, 1, 1, 2);
    grid->addWidget(size_, 6, 3);
    grid->addWidget(spinner_, 6, 4);

    auto* koord = new QPushButton(QStringLiteral("Koord"));
    koord->setObjectName(QStringLiteral("koord"));
    coord_ = new QLineEdit;
    coord_->setReadOnly(true);
    coord_->setObjectName(QStringLiteral("coord"));
    connect(koord, &QPushButton::clicked, this, [this] {
        {
            std::lock_guard l(r_.stateMutex);
            r_.display.coordFormat = nextCoordFormat(r_.display.coordFormat, r_.plateCarree);
        }
        showCoord();
    });
    grid->addWidget(koord, 7, 0);
    grid->addWidget(coord_, 7, 1, 1, 4);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    grid->addWidget(buttons, 8, 0, 1, 5);
    showSample();
    coord_->setText(QString::fromStdString(r_.coordText ? r_.coordText(coordFormat) : ""));
}

void DisplaySettingsDialog::showSample() {
    QFont font(QString::fromStdString(r_.fonts.face()));
    font.setPixelSize(r_.fonts.fontSize);
    sample_->setFont(font);
    if (coord_) coord_->setFont(font);
    sample_->setText(QStringLiteral("12.34 %1").arg(QString::fromStdString(r_.fonts.face())));
}

void DisplaySettingsDialog::showCoord() {
    int format = 0;
    {
        std::lock_guard l(r_.stateMutex);
        format = r_.display.coordFormat;
    }
    coord_->setText(QString::fromStdString(r_.coordText ? r_.coordText(format) : ""));
}

void DisplaySettingsDialog::accept() {
    r_.fonts.fontSize = fontSizeOf(size_->text().toStdString());
    RegCreateFont(r_.store, r_.fonts.fontFaces, r_.fonts.fontIndex, r_.fonts.fontSize);
    int colours = 0, powerSave = 0;
    {
        std::lock_guard l(r_.stateMutex);
        colours = r_.settings.iKartenFarben;
        powerSave = r_.settings.iPowerSave;
    }
    RegCreateKartenFarben(r_.store, static_cast<std::uint32_t>(colours));
    RegCreatePowerSave(r_.store, static_cast<std::uint32_t>(powerSave));
    QDialog::accept();
}

}  // namespace vexa
