#include "routes/place_directory.h"

#include "frame/frame_state.h"
#include "geo/datum.h"
#include "geo/grid.h"
#include "geo/grid_refresh.h"
#include "frame/last_position.h"
#include "routes/poi_record.h"

namespace vexa {

int defaultPlaceIndex(const std::vector<Place>& places) {
    for (std::size_t i = 0; i < places.size(); ++i)
        if (places[i].name == kDefaultPlace) return static_cast<int>(i);
    return places.empty() ? -1 : 0;
}

void choosePlace(const Place& place, PoiTable& pois, const GridContext& grid, FrameState& frame, LastPosition& last) {
    if (pois.count < static_cast<int>(pois.capacity())) {
        PoiRecord& poi = pois.records[static_cast<std::size_t>(pois.count++)];
        poi = PoiRecord{place.name, kDatumWgs84, place.lon, place.lat, 0.0, 0.0, 0.0, 0, std::string(kPlaceDirectoryVolume)};
        const GridPoint g = refreshPoint(poi.lon, poi.lat, poi.datumCode, grid);
        poi.gridX = g.easting;
        poi.gridY = g.northing;
    }
    GeodeticPoint p{place.lon, place.lat, 0};
    if (grid.LocalDatumGrid) p = wgs84ToLocal(place.lon, place.lat, grid);
    last.longitude = p.longitude;
    last.latitude = p.latitude;
    last.datumTag = grid.LocalDatumGrid ? (grid.Ed50Datum ? kDatumEd50 : kDatumPotsdam) : kDatumWgs84;
    const GridPoint g = llh2utm(p.longitude, p.latitude, 1, grid);
    frame.viewCentre.gridX = g.easting;
    frame.viewCentre.gridY = g.northing;
    frame.lastShown = frame.viewCentre;
}

}  // namespace vexa
