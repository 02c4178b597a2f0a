// The datum code a point gets when it is created on the grid in force.
#pragma once

#include "geo/grid_context.h"
#include "routes/track_point.h"

namespace vexa {

inline char datumCodeFor(const GridContext& grid) {
    if (!grid.LocalDatumGrid) return kDatumWgs84;
    return grid.Ed50Datum ? kDatumEd50 : kDatumPotsdam;
}

}  // namespace vexa
