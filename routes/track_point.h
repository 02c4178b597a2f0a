// A route point, its line kind and the datum codes of stored points.
#pragma once

#include <cstdint>
#include <string>

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

// The datum a stored point's coordinates were computed in: one character.
//   '2' WGS84, '0' Potsdam, '3' European Datum 1950; in POI records '1' marks
//   coordinates stored as degrees, minutes and seconds.
inline constexpr char kDatumWgs84 = '2';
inline constexpr char kDatumPotsdam = '0';
inline constexpr char kDatumDms = '1';
inline constexpr char kDatumEd50 = '3';

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
