// A route point and its line kind.
#pragma once

#include <cstdint>
#include <string>

#include "geo/datum_code.h"

namespace vexa {

// How the leg that starts at a route point is drawn.
enum class LineKind : std::int32_t {
    Blue = 0,        // "ab hier blaue Linie", every new point's default
    Path = 1,        // "ab hier Weg"
    Road = 2,        // "ab hier Straße"
    MainRoad = 3,    // "ab hier Hauptstraße"
    Motorway = 4,    // "ab hier Autobahn"
    NotDrawn = 5,    // "ab hier nicht zeichnen"
};

struct TrackPoint {
    double gridX = 0.0;     // easting in the active grid
    double gridY = 0.0;     // northing in the active grid
    double lon = 0.0;
    double lat = 0.0;
    std::int32_t altitude = 0;
    char datumCode = kDatumWgs84;
    LineKind lineKind = LineKind::Blue;
};

}  // namespace vexa
