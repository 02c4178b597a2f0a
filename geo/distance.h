// Spherical distance and rhumb-line course on WGS84 latitude and longitude.
#pragma once

namespace vexa {

inline constexpr double kDistanceEarthRadius = 6367000.0;

// Great-circle distance in metres.
double distance(double lat1, double lon1, double lat2, double lon2);
// Rhumb-line course from point 2 to point 1, in radians between −π/2 and 3π/2.
double Kurswinkel(double lat1, double lon1, double lat2, double lon2);

}  // namespace vexa
