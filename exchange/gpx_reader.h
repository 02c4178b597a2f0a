// GPX 1.0 and 1.1 import: track points (or, in a file without tracks, route points) become the
// route, waypoints become POIs, <ele> the altitude.
#pragma once

#include <string_view>
#include <vector>

#include "routes/poi_record.h"

namespace vexa {

struct ImportTarget;

inline constexpr std::string_view kGpxCaption = "ParseGPX";

struct GpxContent {
    int routePoints = 0;              // points stored in the route
    std::vector<PoiRecord> waypoints; // WGS84, code '2', grid position not yet computed
};

// The route is replaced only when the file holds track or route points; the route's 4000
// points are the limit, with a message as for KML. Waypoints are all kept.
GpxContent ParseGPX(std::string_view bytes, ImportTarget& target);

}  // namespace vexa
