#include "app/help_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include "app/button_icons.h"
#include "app/command_table.h"
#include "frame/move_display.h"

namespace vexa {

HelpDialog::HelpDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Help");
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    int row = 0;
    for (const ButtonItem& button : menuBarButtons()) {
        if (button.id == 0) continue;
        auto* image = new QLabel(this);
        image->setPixmap(QPixmap::fromImage(buttonImage(button.id, kStripNorthUp)));
        grid->addWidget(image, row, 0);
        grid->addWidget(new QLabel(QString::fromUtf8(button.tip.data(), static_cast<qsizetype>(button.tip.size())), this),
                        row, 1);
        ++row;
    }
    layout->addLayout(grid);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(box);
}

}  // namespace vexa
