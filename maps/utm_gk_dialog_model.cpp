#include "maps/utm_gk_dialog_model.h"

#include "frame/frame_state.h"
#include "geo/datum.h"
#include "geo/grid.h"
#include "geo/grid_refresh.h"
#include "gps/gps_state.h"
#include "geo/datum_code.h"
#include "util/text.h"

namespace vexa {

std::string utmZoneBandText(int zone) {
    if (zone >= 31) return strprintf("%d° - %d° östlich", (zone - 31) * 6, (zone - 31) * 6 + 6);
    return strprintf("%d° - %d° westlich", (30 - zone) * 6, (31 - zone) * 6);
}

std::string gkStripBandText(int strip) {
    return strprintf("%1.1f° - %1.1f° östlich", 3.0 * strip - 1.5, 3.0 * strip + 1.5);
}

UtmGkDialogModel::UtmGkDialogModel(GridContext& grid, LastPosition& last, FrameState& frame)
    : grid_(grid), last_(last), frame_(frame), localDatumAtOpen_(grid.LocalDatumGrid) {}

void UtmGkDialogModel::selectGaussKrueger(bool on) { grid_.LocalDatumGrid = on; }

void UtmGkDialogModel::setNumber(int number) {
    if (grid_.LocalDatumGrid) grid_.GkStrip = number;
    else grid_.UtmZone = number;
}

std::string UtmGkDialogModel::infoText() const {
    return grid_.LocalDatumGrid ? gkStripBandText(grid_.GkStrip) : utmZoneBandText(grid_.UtmZone);
}

UtmGkDialogModel::Result UtmGkDialogModel::ok() {
    Result result{strprintf("%d", grid_.UtmZone), strprintf("%d", grid_.GkStrip)};
    result.zoneText = std::string(utf8Prefix(result.zoneText, 15));
    result.stripText = std::string(utf8Prefix(result.stripText, 5));
    if (grid_.LocalDatumGrid != localDatumAtOpen_) {
        const GeodeticPoint moved = grid_.LocalDatumGrid
                                        ? wgs84ToLocal(last_.longitude, last_.latitude, grid_)
                                        : localToWgs84(last_.longitude, last_.latitude, grid_);
        last_.longitude = moved.longitude;
        last_.latitude = moved.latitude;
        // The tag follows the position, so the refresh after the dialog does not shift it twice.
        last_.datumTag = datumCodeFor(grid_);
    }
    const GridPoint g = llh2utm(last_.longitude, last_.latitude, 1, grid_);
    frame_.viewCentre.gridX = g.easting;
    frame_.viewCentre.gridY = g.northing;
    return result;
}

}  // namespace vexa
