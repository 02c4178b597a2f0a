#include "geo/distance.h"

#include <cmath>

#include <gtest/gtest.h>

namespace vexa {
namespace {

constexpr double kPiFull = 3.141592653589793;

TEST(Distance, GreatCircleOnTheDistanceSphere) {
    EXPECT_NEAR(distance(0.0, 0.0, 0.0, 1.0), 111125.0, 1.0);  // 6367000·π/180
    EXPECT_NEAR(distance(90.0, 0.0, 0.0, 123.0), 6367000.0 * kPiFull / 2.0, 1e-3);
    EXPECT_NEAR(distance(0.0, -179.5, 0.0, 179.5), 6367000.0 * kPiFull / 180.0, 1e-3);
    EXPECT_NEAR(distance(53.55, 10.0, 48.14, 11.58), 612000.0, 3000.0);  // Hamburg - Munich
    EXPECT_NEAR(distance(50.0, 9.0, 50.0 + 5.0 / 111125.0, 9.0), 5.0, 0.1);
}

TEST(Distance, SamePointIsZeroNeverNaN) {
    EXPECT_EQ(distance(50.0, 9.0, 50.0, 9.0), 0.0);
    // The rounded cosine of identical points lands on, above or just below 1: above 1 acos
    // has no value, just below it leaves a few centimetres of rounding.
    for (double lat = -89.5; lat <= 89.5; lat += 0.7)
        for (double lon : {-170.3, -12.345, 0.0, 7.77, 51.9})
            EXPECT_TRUE(distance(lat, lon, lat, lon) >= 0.0 && distance(lat, lon, lat, lon) < 0.2) << lat << " " << lon;  // false on NaN
}

TEST(Kurswinkel, CourseFromPoint2ToPoint1InAllQuadrants) {
    EXPECT_EQ(Kurswinkel(51.0, 9.0, 50.0, 9.0), 0.0);             // point 1 due north
    EXPECT_DOUBLE_EQ(Kurswinkel(49.0, 9.0, 50.0, 9.0), kPiFull);  // point 1 due south
    EXPECT_DOUBLE_EQ(Kurswinkel(50.0, 10.0, 50.0, 9.0), kPiFull / 2.0);  // equal latitudes, east
    EXPECT_DOUBLE_EQ(Kurswinkel(50.0, 8.0, 50.0, 9.0), 1.5 * kPiFull);   // and west
    EXPECT_EQ(Kurswinkel(50.0, 9.0, 50.0, 9.0), 0.0);                    // no step at all
    // Across the date line the short way: a step east from 179.99° E to 179.99° W.
    EXPECT_DOUBLE_EQ(Kurswinkel(50.0, -179.99, 50.0, 179.99), kPiFull / 2.0);
    EXPECT_NEAR(Kurswinkel(0.01, -179.995, 0.0, 179.995), kPiFull / 4.0, 1e-3);

    // π is added when point 1 lies south, so the result runs from −π/2 to 3π/2.
    for (const auto& [lat, lon, eighths] : {std::tuple(0.01, 0.01, 1), {0.01, -0.01, -1}, {-0.01, 0.01, 3}, {-0.01, -0.01, 5}})
        EXPECT_NEAR(Kurswinkel(lat, lon, 0.0, 0.0), eighths * kPiFull / 4.0, 1e-4) << lat << " " << lon;  // NE, NW, SE, SW

    // Rhumb line: tan(course) = Δλ / Δψ with the meridional parts Δψ ≈ Δφ / cos φ, so equal
    // small steps in latitude and longitude at 60° N give tan(course) = 0.5.
    EXPECT_NEAR(std::tan(Kurswinkel(60.001, 9.001, 60.0, 9.0)), 0.5, 1e-4);
}

}  // namespace
}  // namespace vexa
