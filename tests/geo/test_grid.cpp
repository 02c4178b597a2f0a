#include "geo/grid.h"

#include <cmath>
#include <tuple>

#include <gtest/gtest.h>

namespace vexa {
namespace {

// Zone and strip numbers that must not matter on the other kind of grid.
GridContext utm(int zone, bool ed50 = false) { return {.LocalDatumGrid = ed50, .Ed50Datum = ed50, .UtmZone = zone, .GkStrip = 5}; }
GridContext gaussKrueger(int strip) { return {.LocalDatumGrid = true, .UtmZone = 33, .GkStrip = strip}; }
GridContext mercator(double radius) { return {.MercatorGrid = true, .MercatorRadius = radius}; }

// Reference coordinates from PROJ's tmerc (cs2cs) with the same ellipsoid, central meridian
// and scale factor; the series agrees with it to a fraction of a millimetre.
TEST(TransverseMercator, ReferencePoints) {
    const GridContext ed50Only{.Ed50Datum = true};  // without LocalDatumGrid still UTM on WGS84
    const struct {
        const char* what;
        GridContext grid;
        double lon, lat, easting, northing;
    } cases[] = {
        {"UTM WGS84 on the meridian", utm(32), 9.0, 50.0, 500000.0, 5538630.7026},
        {"UTM WGS84 1 deg east", utm(32), 10.0, 50.0, 571666.4475, 5539109.8150},
        {"no false northing", utm(32), 10.0, -50.0, 571666.4475, -5539109.8150},
        {"zone 30 meridian is 3 W", utm(30), -2.0, 50.0, 571666.4475, 5539109.8150},
        {"zone 1 meridian is 177 W", utm(1), -176.0, 50.0, 571666.4475, 5539109.8150},
        {"Ed50Datum alone", ed50Only, 9.0, 50.0, 500000.0, 5538630.7026},
        {"UTM ED50 on the meridian", utm(32, true), 9.0, 50.0, 500000.0, 5538742.3296},
        {"UTM ED50 1 deg west", utm(32, true), 8.0, 50.0, 428330.1349, 5539221.4649},
        {"GK strip 3, no strip prefix", gaussKrueger(3), 9.0, 50.0, 500000.0, 5540279.5420},
        {"GK strip 3 1 deg east", gaussKrueger(3), 10.0, 50.0, 571686.3866, 5540758.7877},
        {"GK strip 4 meridian is 12 E", gaussKrueger(4), 12.0, 50.0, 500000.0, 5540279.5420},
    };
    for (const auto& c : cases) {
        const GridPoint g = llh2utm(c.lon, c.lat, 1, c.grid);
        EXPECT_NEAR(g.easting, c.easting, 1e-3) << c.what;
        EXPECT_NEAR(g.northing, c.northing, 1e-3) << c.what;
    }
}

TEST(GridSelection, MercatorThenPlateCarreeTakePrecedence) {
    GridContext all = mercator(6378137.0);
    all.PlateCarreeGrid = all.LocalDatumGrid = all.Ed50Datum = true;
    GridPoint g = llh2utm(10.0, 52.0, 1, all);
    EXPECT_EQ(std::tuple(g.easting, g.northing), std::tuple(1113195.0, 6800125.0));
    all.MercatorGrid = false;
    g = llh2utm(10.0, 52.0, 1, all);
    EXPECT_EQ(std::tuple(g.easting, g.northing), std::tuple(100000.0, 520000.0));
    const GeodeticPoint p = utm2llh({-123456.0, 654321.0}, all);
    EXPECT_DOUBLE_EQ(p.longitude, -12.3456);
    EXPECT_DOUBLE_EQ(p.latitude, 65.4321);
}

TEST(SphericalMercator, TruncationAndRadius) {
    const GridContext web = mercator(6378137.0);
    // x rounds to the nearest unit on both sides of Greenwich (-0.00001°: -1.11 m), y truncates
    // toward zero (45°: 5621521.49); without a radius 6371000.
    EXPECT_EQ(std::tuple(MercatorX(0.0, web), MercatorX(180.0, web), MercatorX(-180.0, web), MercatorX(-0.00001, web), MercatorX(180.0, GridContext{})),
              std::tuple(0, 20037508, -20037508, -1, 20015087));
    EXPECT_EQ(std::tuple(MercatorY(0.0, web), MercatorY(45.0, web), MercatorY(-45.0, web)), std::tuple(0, 5621521, -5621521));
    for (double lat : {-80.0, -33.3, 12.0, 85.0}) EXPECT_NEAR(MercatorLatitude(MercatorY(lat, web), web), lat, 1e-5) << lat;
    // The inverse truncates the grid coordinates first.
    const GeodeticPoint whole = utm2llh({1113194.0, 5621521.0}, web);
    const GeodeticPoint fraction = utm2llh({1113194.9, 5621521.9}, web);
    EXPECT_EQ(std::tuple(fraction.longitude, fraction.latitude), std::tuple(whole.longitude, whole.latitude));
    EXPECT_NEAR(whole.longitude, 10.0, 1e-5);
    EXPECT_NEAR(whole.latitude, 45.0, 1e-5);
}

// The inverse stops once the forward image lies within 1 m of the target.
TEST(TransverseMercatorInverse, RoundTripWithinOneMetre) {
    const std::pair<GridContext, double> grids[] = {  // and the central meridian
        {utm(32), 9.0}, {utm(32, true), 9.0}, {gaussKrueger(3), 9.0}, {utm(30), -3.0}, {gaussKrueger(5), 15.0}};
    for (const auto& [grid, meridian] : grids)
        for (double lat = -60.0; lat <= 72.0; lat += 6.0)
            for (double dl = -3.0; dl <= 3.0; dl += 0.5) {
                SCOPED_TRACE(::testing::Message() << "meridian " << meridian << " ed50 " << grid.Ed50Datum << " " << lat << " " << dl);
                const GridPoint target = llh2utm(meridian + dl, lat, 1, grid);
                const GeodeticPoint p = utm2llh(target, grid);
                const GridPoint image = llh2utm(p.longitude, p.latitude, 1, grid);
                EXPECT_LE(std::hypot(image.easting - target.easting, image.northing - target.northing), 1.0);
                EXPECT_NEAR(p.latitude, lat, 1e-5);
                EXPECT_NEAR(p.longitude, meridian + dl, 1e-5 / std::cos(lat * kDegToRad));
            }
}

TEST(TransverseMercatorInverse, NonConvergenceGivesMarkerPosition) {
    const GridPoint farOut[] = {
        {1000000.0, 8.0e6},  // still oscillating after ten passes
        {500000.0, 1.0e7},   // runs off to infinity
        {2000000.0, 9.5e6},  // runs off to infinity
    };
    for (const GridPoint& g : farOut) {
        const GeodeticPoint p = utm2llh(g, utm(32));
        EXPECT_EQ(std::tuple(p.latitude, p.longitude), std::tuple(102.4, 102.4)) << g.easting << " " << g.northing;
    }
    // Far from the central meridian the tenth pass is the one that arrives: found, not lost.
    const GridPoint tenth{-500000.0, -6500000.0};
    const GeodeticPoint p = utm2llh(tenth, utm(32));
    EXPECT_NEAR(p.longitude, -7.798193, 1e-5);
    const GridPoint image = llh2utm(p.longitude, p.latitude, 1, utm(32));
    EXPECT_LE(std::hypot(image.easting - tenth.easting, image.northing - tenth.northing), 1.0);
}

}  // namespace
}  // namespace vexa
