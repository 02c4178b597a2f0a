#include "app/route_name_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vexa {

RouteNameDialog::RouteNameDialog(const std::string& preset, QWidget* parent) : QDialog(parent) {
    setWindowTitle("VEXA");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Eingabe Track-Name für Garmin", this));
    name_ = new QLineEdit(QString::fromStdString(preset), this);
    name_->setMaxLength(31);  // at most 31 characters are read
    name_->selectAll();
    layout->addWidget(name_);
    layout->addStretch();
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
}

std::string RouteNameDialog::text() const { return name_->text().toStdString(); }

}  // namespace vexa
