// Stored points brought onto a new grid, and the rules of the "UTM oder GK Zone" dialog.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "frame/frame_state.h"
#include "geo/datum.h"
#include "geo/grid.h"
#include "geo/grid_refresh.h"
#include "routes/grid_refresh_tables.h"
#include "maps/utm_gk_dialog_model.h"
#include "frame/last_position.h"
#include "routes/poi_record.h"
#include "routes/route_table.h"
#include "routes/trace_table.h"

namespace vexa {
namespace {

const GridContext kUtm32{.UtmZone = 32};
const GridContext kGk3{.LocalDatumGrid = true, .GkStrip = 3};
const GridContext kUte32{.LocalDatumGrid = true, .Ed50Datum = true, .UtmZone = 32};
// An ED50 map directory switched to "Utm" in the zone dialog.
const GridContext kUte32AsUtm{.LocalDatumGrid = false, .Ed50Datum = true, .UtmZone = 32};

TEST(GridRefresh, DatumCodesDecideWhatIsShifted) {
    const GeodeticPoint here{9.0, 50.0, 0};
    const struct {
        const char* what;
        char code;
        const GridContext& grid;
        char newCode;
        GeodeticPoint expected;
    } cases[] = {
        {"WGS84 on WGS84", kDatumWgs84, kUtm32, kDatumWgs84, here},
        {"ED50 back to WGS84", kDatumEd50, kUtm32, kDatumWgs84, localToWgs84(9.0, 50.0, kUte32)},
        {"Potsdam back to WGS84", kDatumPotsdam, kUtm32, kDatumWgs84, localToWgs84(9.0, 50.0, kGk3)},
        {"ED50 on ED50", kDatumEd50, kUte32, kDatumEd50, here},
        {"WGS84 to ED50", kDatumWgs84, kUte32, kDatumEd50, wgs84ToLocal(9.0, 50.0, kUte32)},
        {"Potsdam on Potsdam", kDatumPotsdam, kGk3, kDatumPotsdam, here},
        {"WGS84 to Potsdam", kDatumWgs84, kGk3, kDatumPotsdam, wgs84ToLocal(9.0, 50.0, kGk3)},
        {"ED50 without ED50 in force", kDatumEd50, kGk3, kDatumWgs84, localToWgs84(9.0, 50.0, kUte32)},
        {"ED50 after switching to Utm", kDatumEd50, kUte32AsUtm, kDatumWgs84, localToWgs84(9.0, 50.0, kUte32)},
    };
    for (const auto& c : cases) {
        double lon = here.longitude, lat = here.latitude;
        char code = c.code;
        const GridPoint g = refreshPoint(lon, lat, code, c.grid);
        EXPECT_EQ(code, c.newCode) << c.what;
        EXPECT_NEAR(lon, c.expected.longitude, 1e-12) << c.what;
        EXPECT_NEAR(lat, c.expected.latitude, 1e-12) << c.what;
        EXPECT_EQ(g.easting, llh2utm(lon, lat, 1, c.grid).easting) << c.what;
    }
}

// Export, database and Garmin upload read a point back by the datum it was stored in, not by
// the grid's flag: a WGS84 point on a Gauss-Krüger grid is not shifted.
TEST(GridRefresh, StoredPointBackToWgs84ByItsDatumCode) {
    const struct {
        char code;
        const GridContext& grid;
    } cases[] = {{kDatumWgs84, kUtm32}, {kDatumPotsdam, kGk3}, {kDatumEd50, kUte32}, {kDatumWgs84, kGk3}};
    for (const auto& c : cases) {
        const GeodeticPoint stored = c.code == kDatumWgs84 ? GeodeticPoint{9.0, 50.0, 0} : wgs84ToLocal(9.0, 50.0, c.grid);
        const GridPoint g = llh2utm(stored.longitude, stored.latitude, 1, c.grid);
        const GeodeticPoint back = storedPointToWgs84(g.easting, g.northing, c.code, c.grid);
        EXPECT_NEAR(back.longitude, 9.0, 2e-5) << c.code;  // the inverse grid stops within a metre
        EXPECT_NEAR(back.latitude, 50.0, 2e-5) << c.code;
    }
}

TEST(GridRefresh, RouteMovedToGaussKruegerAndBackReturnsWithinMillimetres) {
    auto route = std::make_unique<RouteTable>();
    for (int i = 0; i < 50; ++i) {
        TrackPoint& p = route->points[static_cast<std::size_t>(i)];
        p.lon = 9.5 + i * 0.01;
        p.lat = 52.2 + i * 0.005;
        const GridPoint g = llh2utm(p.lon, p.lat, 1, kUtm32);
        p.gridX = g.easting;
        p.gridY = g.northing;
    }
    route->count = 49;  // the last point is beyond the count and stays
    const auto original = *route;

    track_utm_Anpassen(*route, kGk3);
    for (int i = 0; i < 49; ++i) {
        const TrackPoint& p = route->points[static_cast<std::size_t>(i)];
        ASSERT_EQ(p.datumCode, kDatumPotsdam);
        EXPECT_GT(std::abs(p.gridY - original.points[static_cast<std::size_t>(i)].gridY), 1000.0);
    }
    EXPECT_EQ(route->points[49].datumCode, kDatumWgs84);
    EXPECT_EQ(route->points[49].gridX, original.points[49].gridX);

    track_utm_Anpassen(*route, kUtm32);
    for (int i = 0; i < 49; ++i) {
        const TrackPoint& p = route->points[static_cast<std::size_t>(i)];
        const TrackPoint& o = original.points[static_cast<std::size_t>(i)];
        EXPECT_EQ(p.datumCode, kDatumWgs84);
        EXPECT_NEAR(p.gridX, o.gridX, 0.01) << i;
        EXPECT_NEAR(p.gridY, o.gridY, 0.01) << i;  // the one-step inverse datum shift costs 9 mm
    }
}

TEST(GridRefresh, PoiTraceAndLastPosition) {
    PoiTable pois;
    PoiTab_Anpassen(pois, kGk3);  // an empty table is left alone
    EXPECT_TRUE(pois.records.empty());
    AllocPoiTab(pois, 2);
    ASSERT_EQ(pois.capacity(), 102u);
    pois.records[0] = {"Rathaus", kDatumWgs84, 9.7320, 52.3759, 55.0, 0, 0, 7, "vexapoi.cdb"};
    pois.count = 1;
    PoiTab_Anpassen(pois, kGk3);
    EXPECT_EQ(pois.records[0].datumCode, kDatumPotsdam);
    EXPECT_NEAR(pois.records[0].gridX, 550000.0, 10000.0);
    EXPECT_EQ(pois.records[1].gridX, 0.0) << "entries beyond the count stay untouched";

    auto trace = std::make_unique<TraceTable>();
    TracePoint t;
    t.lon = 9.7320;
    t.lat = 52.3759;
    for (int i = 0; i < 12; ++i) storeTracePoint(*trace, t, 10);  // wrapped: all 11 slots used
    trace_utm_Anpassen(*trace, 10, kGk3);
    for (int i = 0; i <= 10; ++i) EXPECT_EQ(trace->points[static_cast<std::size_t>(i)].datumCode, kDatumPotsdam) << i;
    EXPECT_EQ(trace->points[11].datumCode, kDatumWgs84);

    LastPosition last;
    FrameState frame;
    last_utm_Anpassen(last, frame, kGk3);
    EXPECT_EQ(last.datumTag, kDatumPotsdam);
    EXPECT_NEAR(frame.viewCentre.gridX, 500000.0, 1000.0) << "9° E lies on strip 3's meridian";
    EXPECT_EQ(frame.viewCentre.gridY, last.grid.northing);
}

TEST(UtmGkDialog, BandTextsAndSwitchingToGaussKruegerMovesTheLastPositionOnce) {
    EXPECT_EQ(utmZoneBandText(31), "0° - 6° östlich");
    EXPECT_EQ(utmZoneBandText(30), "0° - 6° westlich");
    EXPECT_EQ(utmZoneBandText(1), "174° - 180° westlich");
    EXPECT_EQ(gkStripBandText(3), "7.5° - 10.5° östlich");

    GridContext grid = kUtm32;
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
