// Transverse Mercator grids (UTM on WGS84 or European Datum 1950, Gauss-Krüger on Potsdam),
// plate carrée and spherical Mercator, in both directions.
#pragma once

#include "geo/datum.h"
#include "geo/grid_context.h"

namespace vexa {

// Easting before northing: metres on the transverse Mercator and Mercator grids,
// 1/10000 degree on plate carrée.
struct GridPoint {
    double easting = 0.0;
    double northing = 0.0;
};

// The transverse Mercator grid in force (UTM on WGS84 or European Datum 1950, Gauss-Krüger on
// Potsdam): its ellipsoid, the scale at the central meridian and the central meridian in
// degrees. Eastings carry a false easting of 500000 m; there is no false northing.
struct TransverseMercatorGrid {
    Ellipsoid ellipsoid;
    double scale;
    double centralMeridian;
};
inline constexpr double kFalseEasting = 500000.0;
TransverseMercatorGrid transverseMercatorGrid(const GridContext& grid);

// relativeToMeridian 1: the longitude is absolute; 0: it is already the difference from the
// central meridian (only utm2llh calls it so).
GridPoint llh2utm(double longitude, double latitude, int relativeToMeridian,
                  const GridContext& grid);
// Fixed-point inverse on llh2utm; latitude and longitude 102.4 when it does not converge.
GeodeticPoint utm2llh(GridPoint g, const GridContext& grid);

int MercatorX(double longitude, const GridContext& grid);
int MercatorY(double latitude, const GridContext& grid);
double MercatorLatitude(int y, const GridContext& grid);
double MercatorLongitude(int x, const GridContext& grid);

}  // namespace vexa
