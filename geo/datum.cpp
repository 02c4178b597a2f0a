#include "geo/datum.h"

#include <cmath>

namespace vexa {

namespace {

// Heights are whole metres truncated toward zero. Callers ignore the height a shift induces,
// so a value that fits no int32 (a point at the earth's centre, say) becomes 0 rather than
// an undefined conversion.
std::int32_t truncateHeight(double h) {
    if (!(h > -2147483648.0 && h < 2147483648.0)) return 0;
    return static_cast<std::int32_t>(h);
}

}  // namespace

const Ellipsoid& localEllipsoid(const GridContext& grid) {
    return grid.Ed50Datum ? kInternational1924 : kBessel1841;
}

CartesianPoint llh2xyz(GeodeticPoint p, Ellipsoid e) {
    const double e2 = (2.0 - e.f) * e.f;
    const double phi = p.latitude * kDegToRad;
    const double lambda = p.longitude * kDegToRad;
    const double h = static_cast<double>(p.height);
    const double sinPhi = std::sin(phi);
    const double cosPhi = std::cos(phi);
    const double n = e.a / std::sqrt(1.0 - e2 * sinPhi * sinPhi);
    return {(n + h) * cosPhi * std::cos(lambda), (n + h) * cosPhi * std::sin(lambda),
            ((1.0 - e2) * n + h) * sinPhi};
}

// Bowring's closed form, one step, no iteration. The sines and cosines of the auxiliary angle
// θ = atan(Z·a / (p·b)) and of the latitude φ = atan(num / den) come from the legs of their
// right triangles instead of from trigonometric calls: the same values, at a third of the
// cost, since this runs for every fix on a local-datum grid.
GeodeticPoint xyz2llh(CartesianPoint c, Ellipsoid e) {
    const double e2 = 2.0 * e.f - e.f * e.f;
    const double ep2 = (e.a * e.a - e.b * e.b) / (e.b * e.b);
    const double lambda = std::atan2(c.Y, c.X);
    const double p = std::sqrt(c.X * c.X + c.Y * c.Y);

    const double za = c.Z * e.a;
    const double pb = p * e.b;
    const double r = std::sqrt(za * za + pb * pb);
    const double sinTheta = za / r;
    const double cosTheta = pb / r;

    const double num = c.Z + ep2 * e.b * sinTheta * sinTheta * sinTheta;
    const double den = p - e2 * e.a * cosTheta * cosTheta * cosTheta;
    const double phi = std::atan(num / den);  // one-argument: −90° to +90°

    const double w2 = num * num + den * den;
    const double sin2Phi = num * num / w2;
    const double cosPhi = std::fabs(den) / std::sqrt(w2);
    const double n = e.a / std::sqrt(1.0 - e2 * sin2Phi);
    const double h = p / cosPhi - n;
    return {lambda * kRadToDeg, phi * kRadToDeg, truncateHeight(h)};
}

// Three-parameter shifts in metres: no rotation, no scale.
CartesianPoint localDatumToWgs84Shift(const GridContext& grid) {
    if (grid.Ed50Datum) return {-84.0, -107.0, -120.0};
    return {631.0, 23.0, 451.0};
}

CartesianPoint wgs842pots(CartesianPoint c, const GridContext& grid) {
    const CartesianPoint s = localDatumToWgs84Shift(grid);
    return {c.X - s.X, c.Y - s.Y, c.Z - s.Z};
}

CartesianPoint pots2wgs84(CartesianPoint c, const GridContext& grid) {
    const CartesianPoint s = localDatumToWgs84Shift(grid);
    return {c.X + s.X, c.Y + s.Y, c.Z + s.Z};
}

// The branches name the ellipsoid constants directly so that the compiler can fold their
// derived terms into the inlined conversions.
GeodeticPoint wgs84ToLocal(double longitude, double latitude, const GridContext& grid) {
    const CartesianPoint shifted = wgs842pots(llh2xyz({longitude, latitude, 0}, kWgs84), grid);
    return grid.Ed50Datum ? xyz2llh(shifted, kInternational1924) : xyz2llh(shifted, kBessel1841);
}

GeodeticPoint localToWgs84(double longitude, double latitude, const GridContext& grid) {
    const CartesianPoint local = grid.Ed50Datum
                                     ? llh2xyz({longitude, latitude, 0}, kInternational1924)
                                     : llh2xyz({longitude, latitude, 0}, kBessel1841);
    return xyz2llh(pots2wgs84(local, grid), kWgs84);
}

}  // namespace vexa
