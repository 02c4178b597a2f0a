// The grid in force: which projection, zone, strip and datum positions are converted into.
// The map catalogue sets it from the map directory's name; the user may set zone or strip.
// Conversions take it by reference and read it at call time.
#pragma once

namespace vexa {

struct GridContext {
    // MapProjection flags, in their order of precedence.
    bool MercatorGrid = false;     // _mp, _mg: spherical Mercator
    bool PlateCarreeGrid = false;  // _rpk, _qpk: plate carrée in 1/10000 degree
    bool LocalDatumGrid = false;   // _gk, _ute: the grid is on a local datum
    bool Ed50Datum = false;        // _ute: the local datum is European Datum 1950, else Potsdam
    int UtmZone = 32;
    int GkStrip = 3;
    double MercatorRadius = 6371000.0;
    // _rpk: a map pixel is 1/cos(latitude) wider than tall. The conversions do not read it;
    // it says how the maps of the directory lie on the grid.
    bool RectangularPixels = false;

    bool operator==(const GridContext&) const = default;
};

}  // namespace vexa
