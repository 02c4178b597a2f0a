// Datum codes of stored points, and the code a point gets when it is created on the grid in force.
#pragma once

#include "geo/grid_context.h"

namespace vexa {

// The datum a stored point's coordinates were computed in: one character.
//   '2' WGS84, '0' Potsdam, '3' European Datum 1950; in POI records '1' marks
//   coordinates stored as degrees, minutes and seconds.
inline constexpr char kDatumWgs84 = '2';
inline constexpr char kDatumPotsdam = '0';
inline constexpr char kDatumDms = '1';
inline constexpr char kDatumEd50 = '3';

inline char datumCodeFor(const GridContext& grid) {
    if (!grid.LocalDatumGrid) return kDatumWgs84;
    return grid.Ed50Datum ? kDatumEd50 : kDatumPotsdam;
}

}  // namespace vexa
