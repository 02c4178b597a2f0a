// The POI commands: the POI list, a POI added at the view centre, the POI database volume, the
// CSV import, the POI export and the place directory.
#pragma once

#include <filesystem>
#include <vector>

#include "app/controllers/window_context.h"
#include "routes/place_table.h"

namespace vexa {

class PoiController : public Controller {
public:
    explicit PoiController(WindowContext& context) : c_(context) {}
    bool handles(int id) const override;
    void run(int id) override;

    bool importCsv(const std::filesystem::path& file);
    // The export of the POI list; `bar` is the dialog's progress bar.
    void exportPoiTable(const Progress* bar);

private:
    WindowContext& c_;
    std::vector<Place> places_;  // read when the place directory first opens
    int placeIndex_ = -1;        // the town chosen last

    void openPoiList();
    void addPoiAtCentre();
    void choosePoiVolume();
    void resetPoiDb();
    void openPlaceDirectory();
};

}  // namespace vexa
