// "Orts Verzeichnis": the towns of the place directory in an editable drop-down list; typing
// narrows the list to the towns that begin with the typed letters.
#pragma once

#include <QDialog>

#include <filesystem>
#include <vector>

#include "routes/place_table.h"

class QComboBox;

namespace vexa {

class PlaceDialog : public QDialog {
public:
    // `selected` is the town chosen last (-1: none yet, then "Hannover").
    PlaceDialog(const std::vector<Place>& places, int selected, QWidget* parent = nullptr);

    QComboBox* combo() const { return combo_; }
    // The town shown in the box as a table index, or -1.
    int selectedIndex() const;

private:
    const std::vector<Place>& places_;
    QComboBox* combo_ = nullptr;
};

// The shipped place table: $VEXA_DATA/places.tsv, else share/vexa/places.tsv beside the
// program's bin folder (installed or in the build tree).
std::filesystem::path placeTableFile();

}  // namespace vexa
