#include "geo/distance.h"

#include <cmath>

#include "geo/datum.h"

namespace vexa {

double distance(double lat1, double lon1, double lat2, double lon2) {
    const double phi1 = lat1 * kDegToRad;
    const double phi2 = lat2 * kDegToRad;
    const double lambda1 = lon1 * kDegToRad;
    const double lambda2 = lon2 * kDegToRad;
    const double c = std::cos(lambda1 - lambda2) * std::cos(phi2) * std::cos(phi1) +
                     std::sin(phi2) * std::sin(phi1);
    // Identical points, or rounding that pushes the cosine past 1, where acos has no value.
    if (c >= 1.0) return 0.0;
    return std::acos(c) * kDistanceEarthRadius;
}

double Kurswinkel(double lat1, double lon1, double lat2, double lon2) {
    constexpr double kQuarterPi = 0.7853981633974483;
    constexpr double kFullPi = 3.141592653589793;
    const double phi1 = lat1 * kDegToRad;
    const double phi2 = lat2 * kDegToRad;
    // The shorter way round: a step across the date line is a small one.
    double dLambda = lon1 * kDegToRad - lon2 * kDegToRad;
    if (dLambda > kFullPi) dLambda -= 2.0 * kFullPi;
    if (dLambda < -kFullPi) dLambda += 2.0 * kFullPi;
    // Equal latitudes: due east or west (the meridional difference would be zero).
    if (phi1 == phi2) return dLambda > 0.0 ? kFullPi / 2.0 : dLambda < 0.0 ? 1.5 * kFullPi : 0.0;
    const double dMeridional =
        std::log(std::tan(phi1 / 2.0 + kQuarterPi)) - std::log(std::tan(phi2 / 2.0 + kQuarterPi));
    double course = std::atan(dLambda / dMeridional);
    if (phi2 > phi1) course += kFullPi;
    return course;
}

}  // namespace vexa
