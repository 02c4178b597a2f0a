// The built-in route of the start-up animation (data/startup_route.csv, compiled in).
#pragma once

#include <string_view>
#include <vector>

#include "geo/track_point.h"

namespace vexa {

inline constexpr int kStartupRoutePlayed = 37;  // of the 38 stored points

// The compiled-in text of data/startup_route.csv.
std::string_view startupRouteText();
// "lon,lat" lines ('#' starts a comment) as WGS84 route points at 50 m, grid still empty.
std::vector<TrackPoint> parseStartupRoute(std::string_view text);

}  // namespace vexa
