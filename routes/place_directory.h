// Choosing a town of the place directory: the map goes there and the town becomes a POI of
// the pseudo volume "Ortsverzeichnis" (never written to a database).
#pragma once

#include "routes/place_table.h"

namespace vexa {

struct FrameState;
struct GridContext;
struct LastPosition;
struct PoiTable;

inline constexpr const char* kDefaultPlace = "Hannover";

// The index of the town selected when the dialog opens the first time, or -1.
int defaultPlaceIndex(const std::vector<Place>& places);
// OK with a town chosen: POI appended when the table has room; position and view centre moved.
void choosePlace(const Place& place, PoiTable& pois, const GridContext& grid, FrameState& frame, LastPosition& last);

}  // namespace vexa
