// Datum transformation between WGS84 and the local datums (Potsdam on Bessel 1841, European
// Datum 1950 on International 1924), by way of earth-centred Cartesian coordinates and a
// three-parameter shift.
#pragma once

#include <cstdint>

#include "geo/grid_context.h"

namespace vexa {

// Longitude always comes before latitude.
struct GeodeticPoint {
    double longitude = 0.0;  // degrees, east positive
    double latitude = 0.0;   // degrees, north positive
    std::int32_t height = 0; // whole metres above the ellipsoid
};

struct CartesianPoint {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
};

struct Ellipsoid {
    double a;  // semi-major axis (m)
    double b;  // semi-minor axis (m)
    double f;  // flattening
};

// π as the system uses it everywhere, and the two angle factors derived from it.
inline constexpr double kPi = 3.1415926535898;
inline constexpr double kDegToRad = 0.017453292519943334;
inline constexpr double kRadToDeg = 57.295779513082195;
inline constexpr double kHalfPi = 1.5707963267949;

inline constexpr Ellipsoid kBessel1841{6377397.15508, 6356078.9629, 0.0033427710903785016};
inline constexpr Ellipsoid kWgs84{6378137.0, 6356752.314, 0.0033528106647474805};
inline constexpr Ellipsoid kInternational1924{6378388.0, 6356911.946, 0.003367003367003367};

// The ellipsoid of the active local datum: International 1924 when Ed50Datum, else Bessel.
const Ellipsoid& localEllipsoid(const GridContext& grid);

CartesianPoint llh2xyz(GeodeticPoint p, Ellipsoid e);
GeodeticPoint xyz2llh(CartesianPoint c, Ellipsoid e);
// The three-parameter shift in metres that takes the active local datum to WGS84.
CartesianPoint localDatumToWgs84Shift(const GridContext& grid);
// Shift from WGS84 to the active local datum, and back.
CartesianPoint wgs842pots(CartesianPoint c, const GridContext& grid);
CartesianPoint pots2wgs84(CartesianPoint c, const GridContext& grid);

// The calling order used everywhere: height 0 in, horizontal position out.
GeodeticPoint wgs84ToLocal(double longitude, double latitude, const GridContext& grid);
GeodeticPoint localToWgs84(double longitude, double latitude, const GridContext& grid);

}  // namespace vexa
