// The position as text: the geographic text in the three coordinate formats, the grid text
// rebuilt from the last position, the grid label, and whether a map covers a position.
#pragma once

#include <string>
#include <string_view>

#include "geo/grid.h"

namespace vexa {

struct GpsState;
struct LastPosition;
struct MapTable;

// Format 1 "E 11.50000° N 48.25000°"; formats 0 and 2 degrees, minutes and seconds; other
// formats leave `text` unchanged.
void fillGeomsg(std::string& text, int coordFormat, double longitude, double latitude, std::string_view eastWest,
                std::string_view northSouth);

// Converts the last position's grid position back to latitude and longitude (stored in
// `last`), rewrites the grid text and the geographic text.
void Fill_GeoUtmMsg(std::string& geoText, int coordFormat, LastPosition& last, GpsState& gps,
                    const GridContext& grid, const MapTable& maps);

// "UTM" for the WGS84 and ED50 grids, "GK" for Gauss-Krüger, "MP" for Mercator.
const char* gridLabel(const GridContext& grid);

// Whether a map covers the position, each map widened by half a screen at its own scale.
bool checkPosKarte(const MapTable& maps, GridPoint position, int screenWidth, int screenHeight, double zoomFactor);

}  // namespace vexa
