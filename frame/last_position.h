// The last position: written by the GPS worker under the application's state mutex, moved by
// a chosen place and brought along when the grid changes.
#pragma once

#include "geo/grid.h"
#include "geo/datum_code.h"
#include "util/fixed_text.h"

namespace vexa {

// The most recent position, in the datum of the current grid.
struct LastPosition {
    double latitude = 50.0;
    double longitude = 9.0;
    FixedText<8> dateText;
    FixedText<8> elapsedText;
    FixedText<8> timeText;
    GridPoint grid;
    char datumTag = kDatumWgs84;  // the datum `latitude`/`longitude` are in
};

}  // namespace vexa
