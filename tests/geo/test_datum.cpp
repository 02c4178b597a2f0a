#include "geo/datum.h"

#include <cmath>
#include <tuple>

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(Geocentric, AxesAndRoundTrip) {
    for (const Ellipsoid& e : {kWgs84, kBessel1841, kInternational1924}) {
        const CartesianPoint origin = llh2xyz({0.0, 0.0, 0}, e);
        EXPECT_EQ(std::tuple(origin.X, origin.Y, origin.Z), std::tuple(e.a, 0.0, 0.0));
        EXPECT_NEAR(llh2xyz({90.0, 0.0, 100}, e).Y, e.a + 100.0, 1e-6);
        // The pole lies at a·(1 − f): checks e² = (2 − f)·f and the (1 − e²) factor of Z.
        EXPECT_NEAR(llh2xyz({0.0, 90.0, 0}, e).Z, e.a * (1.0 - e.f), 1e-6);

        for (double lat : {-78.0, -0.3, 50.0, 84.0})
            for (double lon : {-179.5, -3.0, 95.75}) {
                const GeodeticPoint back = xyz2llh(llh2xyz({lon, lat, 1000}, e), e);
                // One Bowring step is good to a fraction of a millimetre; on Bessel, whose stored
                // b and f disagree by 1.3 cm, to about 5 mm.
                EXPECT_NEAR(back.latitude, lat, 1e-7) << lat << " " << lon;
                EXPECT_NEAR(back.longitude, lon, 1e-12) << lat << " " << lon;
                EXPECT_NEAR(back.height, 1000, 1) << lat << " " << lon;
            }
    }
}

// The datum flag chooses translation and ellipsoid; the way back undoes the way there over
// the region the local datums serve. (The height the shift induces is dropped on the way
// back; on the far side of the earth, where it reaches hundreds of metres, that costs
// decimetres.) Values and sign are also checked against PROJ.
TEST(DatumShift, TranslationAndEllipsoidByTheDatumFlagAndRoundTrip) {
    const CartesianPoint c{4000000.0, 600000.0, 4900000.0};
    const struct {
        bool ed50;
        double dx, dy, dz;  // WGS84 to local
        const Ellipsoid* local;
    } datums[] = {{false, -631.0, -23.0, -451.0, &kBessel1841},
                  {true, 84.0, 107.0, 120.0, &kInternational1924}};
    for (const auto& d : datums) {
        const GridContext grid{.LocalDatumGrid = true, .Ed50Datum = d.ed50};
        const CartesianPoint to = wgs842pots(c, grid), from = pots2wgs84(c, grid);
        EXPECT_EQ(std::tuple(to.X - c.X, to.Y - c.Y, to.Z - c.Z), std::tuple(d.dx, d.dy, d.dz));
        EXPECT_EQ(std::tuple(c.X - from.X, c.Y - from.Y, c.Z - from.Z), std::tuple(d.dx, d.dy, d.dz));
        EXPECT_EQ(&localEllipsoid(grid), d.local);
        for (double lat : {36.0, 50.0, 54.9, 70.0})
            for (double lon : {-9.5, 0.0, 9.0, 28.0}) {
                SCOPED_TRACE(::testing::Message() << "ed50 " << d.ed50 << " " << lat << " " << lon);
                const GeodeticPoint local = wgs84ToLocal(lon, lat, grid);
                // The shift moves the position by tens to hundreds of metres, and back.
                EXPECT_GT(std::hypot(local.latitude - lat, local.longitude - lon), 5e-4);
                const GeodeticPoint back = localToWgs84(local.longitude, local.latitude, grid);
                EXPECT_NEAR(back.latitude, lat, 1e-6);
                EXPECT_NEAR(back.longitude, lon, 1e-6);
            }
    }
}

}  // namespace
}  // namespace vexa
