#include "app/port_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/linux/serial_devices.h"

namespace vexa {

namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

std::vector<PortChoice> portChoices(const std::vector<SerialReceiver>& receivers,
                                    const std::string& gpsdAddress) {
    std::vector<PortChoice> result;
    for (const SerialReceiver& r : receivers) {
        const std::string label = receiverLabel(r);
        result.push_back({r.device, label == r.device ? label : label + "\n" + r.device});
    }
    result.push_back({"gpsd", "gpsd (" + gpsdAddress + ")"});
    return result;
}

PortDialog::PortDialog(std::function<std::vector<PortChoice>()> scan, const std::string& current,
                       QWidget* parent)
    : QDialog(parent), scan_(std::move(scan)) {
    setWindowTitle("Port");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("GPS-Empfänger:", this));
    list_ = new QListWidget(this);
    layout->addWidget(list_);
    layout->addWidget(new QLabel("Gerät (z.B. /dev/pts/3 oder gpsd://HOST:PORT):", this));
    path_ = new QLineEdit(text(current), this);
    layout->addWidget(path_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("OK");
    buttons->button(QDialogButtonBox::Cancel)->setText("Abbrechen");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && static_cast<std::size_t>(row) < choices_.size())
            path_->setText(text(choices_[static_cast<std::size_t>(row)].name));
    });
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    rescan();
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, [this] { rescan(); });
    timer_->start(kRescanMs);
}

void PortDialog::rescan() {
    std::vector<PortChoice> found = scan_ ? scan_() : std::vector<PortChoice>{};
    if (found == choices_ && list_->count() == static_cast<int>(choices_.size())) return;
    choices_ = std::move(found);
    const QSignalBlocker block(list_);  // refilling must not overwrite a typed path
    list_->clear();
    const std::string chosen = port();
    for (std::size_t i = 0; i < choices_.size(); ++i) {
        list_->addItem(text(choices_[i].label));
        list_->item(static_cast<int>(i))->setToolTip(text(choices_[i].name));
        if (choices_[i].name == chosen) list_->setCurrentRow(static_cast<int>(i));
    }
    // Wide enough for the stable names, which are long; a desktop screen has the room.
    list_->setMinimumWidth(std::min(list_->sizeHintForColumn(0) + 24, 760));
}

std::string PortDialog::port() const { return path_->text().trimmed().toStdString(); }

}  // namespace vexa
