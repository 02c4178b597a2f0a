#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "geo/datum.h"
#include "geo/grid.h"
#include "maps/import/grid_srs.h"
#include "maps/map_folder.h"

namespace vexa::testing {
namespace {

struct GeoPosition {
    double longitude, latitude;
};

// How far a WGS84 position lies from a grid point, in metres, by geo/. Its transverse Mercator
// inverse is a fixed-point iteration that stops within 1 m, so there the position goes the
// exact way, through the forward series; the Mercator and plate carrée inverses are closed
// forms (their forward conversions round to whole units).
double metresApart(GeoPosition wgs84, GridPoint g, const GridContext& grid) {
    if (grid.MercatorGrid || grid.PlateCarreeGrid) {
        const GeodeticPoint p = utm2llh(g, grid);
        const double north = (p.latitude - wgs84.latitude) * 111320.0;
        const double east = (p.longitude - wgs84.longitude) * 111320.0 * std::cos(p.latitude * kDegToRad);
        return std::hypot(north, east);
    }
    if (grid.LocalDatumGrid) {
        const GeodeticPoint local = wgs84ToLocal(wgs84.longitude, wgs84.latitude, grid);
        wgs84 = {local.longitude, local.latitude};
    }
    const GridPoint p = llh2utm(wgs84.longitude, wgs84.latitude, 1, grid);
    return std::hypot(p.easting - g.easting, p.northing - g.northing);
}

GeoPosition wgs84ByGdal(GridPoint corner, OGRSpatialReference srs) {
    OGRSpatialReference wgs84;
    wgs84.importFromEPSG(4326);
    for (OGRSpatialReference* s : {&srs, &wgs84}) s->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    const std::unique_ptr<OGRCoordinateTransformation> toWgs84(OGRCreateCoordinateTransformation(&srs, &wgs84));
    double x = corner.easting, y = corner.northing;
    EXPECT_TRUE(toWgs84 && toWgs84->Transform(1, &x, &y));
    return {x, y};
}

// The far corner of a map, placed by its file name in each grid, goes to WGS84 through GDAL
// with the grid's spatial reference, once as built and once read back from its WKT, and lands
// where geo/ puts that corner.
TEST(GridSpatialReference, MapCornersLandWhereGeoPutsThem) {
    struct Case {
        const char* folder;
        const char* map;
        GridPoint farCorner;  // the right and bottom edge as the catalogue places them
    } const cases[] = {
        {"Karten_utm", "Karte_32_487000_5543000_200_1000_1000.jpg", {492000, 5538000}},
        {"Karten_utm", "Karte_33_810000_5250000_100_500_1000.jpg", {815000, 5240000}},
        {"Karten_ute", "Karte_31_302000_5600000_50_400_800.png", {310000, 5584000}},
        {"Karten_gk", "Karte_4_640000_5400000_100_1000_1000.png", {650000, 5390000}},
        {"Karten_mp", "Karte_0_1000000_6500000_1_1000_1000.png", {2000000, 5500000}},
        {"Karten_mg", "Karte_0_-400000_7000000_10_300_400.png", {-370000, 6960000}},
        {"Karten_qpk", "Karte_0_100000_520000_200_1000_1000.png", {105000, 515000}},
        {"Karten_rpk", "Karte_0_100000_520000_200_1000_1000.png", {108121.35, 515000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.folder) + "/" + c.map);
        const GridContext grid = readMapFolder(std::string("/nonexistent/") + c.folder).grid;
        // The zone or strip the maps would give the folder.
        GridContext inZone = grid;
        const MapFileName name = *parseMapFileName(c.map);
        if (!grid.MercatorGrid && !grid.PlateCarreeGrid) inZone.UtmZone = inZone.GkStrip = std::stoi(name.zone);

        const std::array<double, 6> gt = mapGeoTransform(inZone, name);
        const GridPoint corner{gt[0] + name.width * gt[1], gt[3] + name.height * gt[5]};
        EXPECT_NEAR(corner.easting, c.farCorner.easting, 0.01);
        EXPECT_NEAR(corner.northing, c.farCorner.northing, 0.01);

        OGRSpatialReference fromWkt;
        ASSERT_EQ(fromWkt.importFromWkt(gridWkt(inZone).c_str()), OGRERR_NONE);
        for (const OGRSpatialReference& srs : {gridSpatialReference(inZone), fromWkt})
            EXPECT_LT(metresApart(wgs84ByGdal(corner, srs), corner, inZone), 0.1);
    }
}

}  // namespace
}  // namespace vexa::testing
