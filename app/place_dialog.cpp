#include "app/place_dialog.h"

#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include <cstdlib>

#include "routes/place_directory.h"

namespace vexa {

PlaceDialog::PlaceDialog(const std::vector<Place>& places, int selected, QWidget* parent)
    : QDialog(parent), places_(places) {
    setWindowTitle("Orts Verzeichnis");
    auto* layout = new QVBoxLayout(this);
    combo_ = new QComboBox(this);
    combo_->setEditable(true);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    combo_->setMaxVisibleItems(15);
    QStringList names;
    names.reserve(static_cast<qsizetype>(places.size()));
    for (const Place& p : places) names << QString::fromStdString(p.name);
    combo_->addItems(names);
    auto* completer = new QCompleter(names, combo_);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setFilterMode(Qt::MatchStartsWith);
    combo_->setCompleter(completer);
    combo_->setCurrentIndex(selected >= 0 ? selected : defaultPlaceIndex(places));
    layout->addWidget(combo_);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
    combo_->lineEdit()->selectAll();
    combo_->setFocus();
    resize(320, 120);
}

int PlaceDialog::selectedIndex() const {
    // A typed name counts when it is a town's name; otherwise the entry last picked.
    const int typed = combo_->findText(combo_->currentText(), Qt::MatchFixedString);
    return typed >= 0 ? typed : combo_->currentIndex();
}

std::filesystem::path placeTableFile() {
    if (const char* data = std::getenv("VEXA_DATA"); data && *data) return std::filesystem::path(data) / "places.tsv";
    // Installed as <prefix>/bin/vexa with <prefix>/share/vexa; the build tree has the same layout.
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / ".." / "share" / "vexa" / "places.tsv";
}

}  // namespace vexa
