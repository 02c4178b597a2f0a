#include "geo/grid.h"

#include <cmath>

namespace vexa {

namespace {

// The terms of one ellipsoid that the transverse Mercator series needs, worked out once.
struct TmEllipsoid {
    Ellipsoid shape;
    double ep2;     // second eccentricity squared, (a² − b²)/b²
    double c;       // polar radius of curvature, a²/b
    double alpha;   // a·(1 + n²/4)/(1 + n), scale of the meridian arc
    double arc2;    // (9/16·n² − 3/2)·n, coefficient of sin 2φ
    double arc4;    // 15/16·n², coefficient of sin 4φ
    double arc6;    // 35/48·n³, coefficient of sin 6φ (subtracted)
};

constexpr TmEllipsoid makeTmEllipsoid(const Ellipsoid& e) {
    const double n = (e.a - e.b) / (e.a + e.b);
    return {e,
            (e.a * e.a - e.b * e.b) / (e.b * e.b),
            e.a * e.a / e.b,
            e.a * (1.0 + n * n / 4.0) / (1.0 + n),
            (9.0 / 16.0 * n * n - 3.0 / 2.0) * n,
            15.0 / 16.0 * n * n,
            35.0 / 48.0 * n * n * n};
}

constexpr TmEllipsoid kTmWgs84 = makeTmEllipsoid(kWgs84);
constexpr TmEllipsoid kTmInternational1924 = makeTmEllipsoid(kInternational1924);
constexpr TmEllipsoid kTmBessel1841 = makeTmEllipsoid(kBessel1841);

constexpr double kUtmScale = 0.9996;
constexpr double kGkScale = 1.0;

// The transverse Mercator grid in force: ellipsoid, scale factor and central meridian.
struct TmGrid {
    const TmEllipsoid* ellipsoid;
    double k0;
    double centralMeridian;  // degrees
};

TmGrid tmGrid(const GridContext& grid) {
    if (!grid.LocalDatumGrid) return {&kTmWgs84, kUtmScale, 6.0 * grid.UtmZone - 183.0};
    if (grid.Ed50Datum) return {&kTmInternational1924, kUtmScale, 6.0 * grid.UtmZone - 183.0};
    return {&kTmBessel1841, kGkScale, 3.0 * grid.GkStrip};
}

// l and φ in radians; l is the difference from the central meridian.
// tan φ and the sines of 2φ, 4φ and 6φ follow from one sine and cosine of φ by the multiple-
// angle identities: the same values as separate calls, at a fraction of the cost.
GridPoint transverseMercator(const TmEllipsoid& e, double k0, double l, double phi) {
    const double sinPhi = std::sin(phi);
    const double cosPhi = std::cos(phi);
    const double t = sinPhi / cosPhi;
    const double t2 = t * t;
    const double cos2 = cosPhi * cosPhi;
    const double eta2 = e.ep2 * cos2;
    const double n = e.c / std::sqrt(1.0 + eta2);

    const double sin2Phi = 2.0 * sinPhi * cosPhi;
    const double cos2Phi = cos2 - sinPhi * sinPhi;
    const double sin4Phi = 2.0 * sin2Phi * cos2Phi;
    const double sin6Phi = sin2Phi * (3.0 - 4.0 * sin2Phi * sin2Phi);
    const double arc = e.alpha * (phi + e.arc2 * sin2Phi + e.arc4 * sin4Phi - e.arc6 * sin6Phi);

    const double l2 = l * l;
    const double nt = n * t;
    const double cos4 = cos2 * cos2;
    const double northing =
        k0 * (arc + nt * cos2 * l2 / 2.0 + nt * cos4 * (5.0 - t2 + 9.0 * eta2) * l2 * l2 / 24.0 +
              nt * cos4 * cos2 * (61.0 - 58.0 * t2 + t2 * t2) * l2 * l2 * l2 / 720.0);

    const double ncos = n * cosPhi;
    const double easting =
        k0 * (ncos * l + ncos * cos2 * (1.0 - t2 + eta2) * l2 * l / 6.0 +
              ncos * cos4 * (5.0 - 18.0 * t2 + t2 * t2 + 14.0 * eta2 - 58.0 * t2 * eta2) * l2 *
                  l2 * l / 120.0) +
        kFalseEasting;
    return {easting, northing};
}

// Truncation toward zero; values beyond the int range (a pole on Mercator) saturate instead
// of being an undefined conversion.
int truncateToInt(double v) {
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return -2147483647 - 1;
    if (std::isnan(v)) return 0;
    return static_cast<int>(v);
}

constexpr double kPlateCarreeUnitsPerDegree = 10000.0;
constexpr double kPlateCarreeDegreesPerUnit = 0.0001;

constexpr int kMaxInversePasses = 10;
constexpr double kNotConverged = 102.4;

}  // namespace

TransverseMercatorGrid transverseMercatorGrid(const GridContext& grid) {
    const TmGrid tm = tmGrid(grid);
    return {tm.ellipsoid->shape, tm.k0, tm.centralMeridian};
}

int MercatorX(double longitude, const GridContext& grid) {
    // Rounded to the nearest unit on both sides of Greenwich.
    return truncateToInt(std::round(longitude * kDegToRad * grid.MercatorRadius));
}

int MercatorY(double latitude, const GridContext& grid) {
    const double s = std::sin(latitude * kDegToRad);
    return truncateToInt(0.5 * grid.MercatorRadius * std::log((1.0 + s) / (1.0 - s)));
}

double MercatorLatitude(int y, const GridContext& grid) {
    return (kHalfPi - 2.0 * std::atan(std::exp(-y / grid.MercatorRadius))) * kRadToDeg;
}

double MercatorLongitude(int x, const GridContext& grid) {
    return (x / grid.MercatorRadius) * kRadToDeg;
}

GridPoint llh2utm(double longitude, double latitude, int relativeToMeridian,
                  const GridContext& grid) {
    if (grid.MercatorGrid) {
        return {static_cast<double>(MercatorX(longitude, grid)),
                static_cast<double>(MercatorY(latitude, grid))};
    }
    if (grid.PlateCarreeGrid) {
        return {longitude * kPlateCarreeUnitsPerDegree, latitude * kPlateCarreeUnitsPerDegree};
    }
    const TmGrid tm = tmGrid(grid);
    const double l = relativeToMeridian == 1 ? (longitude - tm.centralMeridian) * kDegToRad
                                             : longitude * kDegToRad;
    return transverseMercator(*tm.ellipsoid, tm.k0, l, latitude * kDegToRad);
}

GeodeticPoint utm2llh(GridPoint g, const GridContext& grid) {
    if (grid.MercatorGrid) {
        return {MercatorLongitude(truncateToInt(g.easting), grid),
                MercatorLatitude(truncateToInt(g.northing), grid), 0};
    }
    if (grid.PlateCarreeGrid) {
        return {g.easting * kPlateCarreeDegreesPerUnit, g.northing * kPlateCarreeDegreesPerUnit, 0};
    }

    // Fixed-point iteration on the forward series. The residuals start at the target itself,
    // not at its distance from the origin's image, so the first pass overshoots and the
    // second comes back; within 1 m counts as found. A residual that is no number (the
    // iteration ran off to infinity) never counts as found, so it ends as non-convergence
    // rather than as a NaN position.
    const TmGrid tm = tmGrid(grid);
    const double c = tm.ellipsoid->c;
    double phi = 0.0;
    double l = 0.0;
    double dE = g.easting;
    double dN = g.northing;
    int passes = 0;
    while (!(dE * dE + dN * dN <= 1.0) && passes < kMaxInversePasses) {
        phi -= dN / c;
        l -= dE / (c * std::cos(phi));
        const GridPoint p = llh2utm(l * kRadToDeg, phi * kRadToDeg, 0, grid);
        dE = p.easting - g.easting;
        dN = p.northing - g.northing;
        ++passes;
    }
    // The last pass may be the one that arrives.
    if (!(dE * dE + dN * dN <= 1.0)) return {kNotConverged, kNotConverged, 0};
    return {l * kRadToDeg + tm.centralMeridian, phi * kRadToDeg, 0};
}

}  // namespace vexa
