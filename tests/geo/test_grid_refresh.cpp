// Stored points brought onto a new grid, and the rules of the "UTM oder GK Zone" dialog.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "frame/frame_state.h"
#include "geo/datum.h"
#include "geo/grid.h"
#include "geo/grid_refresh.h"
#include "geo/utm_gk_dialog_model.h"
#include "gps/gps_state.h"
#include "routes/poi_record.h"
#include "routes/route_table.h"
#include "routes/trace_table.h"

namespace vexa {
namespace {

GridContext utm32() {
    GridContext g;
    g.UtmZone = 32;
    return g;
}

GridContext gk3() {
    GridContext g;
    g.LocalDatumGrid = true;
    g.GkStrip = 3;
    return g;
}

GridContext ute32() {
    GridContext g;
    g.LocalDatumGrid = true;
    g.Ed50Datum = true;
    g.UtmZone = 32;
    return g;
}

TEST(GridRefresh, RouteMovedToGaussKruegerAndBackReturnsWithinMillimetres) {
    auto route = std::make_unique<RouteTable>();
    const GridContext utm = utm32();
    for (int i = 0; i < 50; ++i) {
        TrackPoint& p = route->points[static_cast<std::size_t>(i)];
        p.lon = 9.5 + i * 0.01;
        p.lat = 52.2 + i * 0.005;
        p.datumCode = kDatumWgs84;
        const GridPoint g = llh2utm(p.lon, p.lat, 1, utm);
        p.gridX = g.easting;
        p.gridY = g.northing;
    }
    route->count = 50;
    const auto original = *route;

    track_utm_Anpassen(*route, gk3());
    for (int i = 0; i < 50; ++i) {
        const TrackPoint& p = route->points[static_cast<std::size_t>(i)];
        const TrackPoint& o = original.points[static_cast<std::size_t>(i)];
        ASSERT_EQ(p.datumCode, kDatumPotsdam);
        const GeodeticPoint potsdam = wgs84ToLocal(o.lon, o.lat, gk3());
        EXPECT_NEAR(p.lon, potsdam.longitude, 1e-12);
        EXPECT_NEAR(p.gridX, llh2utm(potsdam.longitude, potsdam.latitude, 1, gk3()).easting, 1e-6);
        EXPECT_GT(std::abs(p.gridY - o.gridY), 1000.0) << "another grid, other northings";
    }

    track_utm_Anpassen(*route, utm);
    for (int i = 0; i < 50; ++i) {
        const TrackPoint& p = route->points[static_cast<std::size_t>(i)];
        const TrackPoint& o = original.points[static_cast<std::size_t>(i)];
        EXPECT_EQ(p.datumCode, kDatumWgs84);
        EXPECT_NEAR(p.gridX, o.gridX, 0.01) << i;
        EXPECT_NEAR(p.gridY, o.gridY, 0.01) << i;  // the one-step inverse datum shift costs 9 mm
    }
}

TEST(GridRefresh, DatumCodesDecideWhatIsShifted) {
    // ED50 points go back to WGS84 wherever ED50 is not in force.
    double lon = 9.0, lat = 50.0;
    char code = kDatumEd50;
    const GeodeticPoint expected = localToWgs84(9.0, 50.0, ute32());
    refreshPoint(lon, lat, code, utm32());
    EXPECT_EQ(code, kDatumWgs84);
    EXPECT_NEAR(lon, expected.longitude, 1e-12);
    EXPECT_NEAR(lat, expected.latitude, 1e-12);

    // On a local-datum grid, local points stay as they are; WGS84 points move to ED50.
    lon = 9.0, lat = 50.0, code = kDatumEd50;
    const GridPoint g = refreshPoint(lon, lat, code, ute32());
    EXPECT_EQ(code, kDatumEd50);
    EXPECT_EQ(lon, 9.0);
    EXPECT_EQ(g.easting, llh2utm(9.0, 50.0, 1, ute32()).easting);
    code = kDatumWgs84;
    refreshPoint(lon, lat, code, ute32());
    EXPECT_EQ(code, kDatumEd50);
    EXPECT_NE(lon, 9.0);

    // A Potsdam point on a WGS84 grid goes back to WGS84.
    lon = 9.0, lat = 50.0, code = kDatumPotsdam;
    refreshPoint(lon, lat, code, utm32());
    EXPECT_EQ(code, kDatumWgs84);
    EXPECT_NEAR(lon, localToWgs84(9.0, 50.0, gk3()).longitude, 1e-12);
}

TEST(GridRefresh, PoiTraceAndLastPosition) {
    PoiTable pois;
    PoiTab_Anpassen(pois, gk3());  // an empty table is left alone
    EXPECT_TRUE(pois.records.empty());
    AllocPoiTab(pois, 2);
    ASSERT_EQ(pois.capacity(), 102u);
    pois.records[0] = {"Rathaus", kDatumWgs84, 9.7320, 52.3759, 55.0, 0, 0, 7, "vexapoi.cdb"};
    pois.count = 1;
    PoiTab_Anpassen(pois, gk3());
    EXPECT_EQ(pois.records[0].datumCode, kDatumPotsdam);
    EXPECT_NEAR(pois.records[0].gridX, 550000.0, 10000.0);
    EXPECT_EQ(pois.records[1].gridX, 0.0) << "entries beyond the count stay untouched";

    auto trace = std::make_unique<TraceTable>();
    TracePoint t;
    t.lon = 9.7320;
    t.lat = 52.3759;
    for (int i = 0; i < 12; ++i) storeTracePoint(*trace, t, 10);  // wrapped: all 11 slots used
    trace_utm_Anpassen(*trace, 10, gk3());
    for (int i = 0; i <= 10; ++i) EXPECT_EQ(trace->points[static_cast<std::size_t>(i)].datumCode, kDatumPotsdam) << i;
    EXPECT_EQ(trace->points[11].datumCode, kDatumWgs84);

    LastPosition last;
    FrameState frame;
    last_utm_Anpassen(last, frame, gk3());
    EXPECT_EQ(last.datumTag, kDatumPotsdam);
    EXPECT_NEAR(frame.viewCentre.gridX, 500000.0, 1000.0) << "9° E lies on strip 3's meridian";
    EXPECT_EQ(frame.viewCentre.gridY, last.grid.northing);
}

TEST(UtmGkDialog, BandTexts) {
    EXPECT_EQ(utmZoneBandText(32), "6° - 12° östlich");
    EXPECT_EQ(utmZoneBandText(31), "0° - 6° östlich");
    EXPECT_EQ(utmZoneBandText(30), "0° - 6° westlich");
    EXPECT_EQ(utmZoneBandText(1), "174° - 180° westlich");
    EXPECT_EQ(gkStripBandText(3), "7.5° - 10.5° östlich");
}

TEST(UtmGkDialog, SwitchingToGaussKruegerMovesTheLastPositionOnce) {
    GridContext grid = utm32();
    LastPosition last;
    FrameState frame;
    UtmGkDialogModel dialog(grid, last, frame);
    EXPECT_FALSE(dialog.gaussKrueger());
    EXPECT_EQ(dialog.spinMax(), 60);
    EXPECT_EQ(dialog.infoText(), "6° - 12° östlich");
    dialog.selectGaussKrueger(true);
    EXPECT_EQ(dialog.spinMin(), 2);
    EXPECT_EQ(dialog.spinMax(), 5);
    dialog.setNumber(4);
    EXPECT_EQ(grid.GkStrip, 4);
    EXPECT_EQ(grid.UtmZone, 32);
    EXPECT_EQ(dialog.infoText(), "10.5° - 13.5° östlich");
    const auto result = dialog.ok();
    EXPECT_EQ(result.zoneText, "32");
    EXPECT_EQ(result.stripText, "4");
    const GeodeticPoint potsdam = wgs84ToLocal(9.0, 50.0, grid);
    EXPECT_NEAR(last.longitude, potsdam.longitude, 1e-12);
    EXPECT_NEAR(frame.viewCentre.gridX, llh2utm(potsdam.longitude, potsdam.latitude, 1, grid).easting, 1e-6);

    // The refresh that follows the dialog must not shift the position a second time.
    const double lon = last.longitude;
    last_utm_Anpassen(last, frame, grid);
    EXPECT_EQ(last.longitude, lon);
}

}  // namespace
}  // namespace vexa
