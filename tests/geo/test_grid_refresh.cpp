// Stored points brought onto a new grid, and the rules of the "UTM oder GK Zone" dialog.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <tuple>

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
    for (std::size_t i = 0; i < 4; ++i) {
        TrackPoint& p = route->points[i];
        p.lon = 9.5 + i * 0.5;
        p.lat = 52.2 + i * 0.25;
        const GridPoint g = llh2utm(p.lon, p.lat, 1, kUtm32);
        std::tie(p.gridX, p.gridY) = std::tuple(g.easting, g.northing);
    }
    route->count = 3;  // the last point is beyond the count and stays
    const auto original = *route;
    track_utm_Anpassen(*route, kGk3);
    EXPECT_EQ(std::tuple(route->points[2].datumCode, std::abs(route->points[2].gridY - original.points[2].gridY) > 1000.0,
                         route->points[3].datumCode, route->points[3].gridX),
              std::tuple(kDatumPotsdam, true, kDatumWgs84, original.points[3].gridX));
    track_utm_Anpassen(*route, kUtm32);
    for (std::size_t i = 0; i < 3; ++i) {  // the one-step inverse datum shift costs 9 mm
        const TrackPoint &p = route->points[i], &o = original.points[i];
        EXPECT_TRUE(p.datumCode == kDatumWgs84 && std::hypot(p.gridX - o.gridX, p.gridY - o.gridY) < 0.01) << i;
    }
}

TEST(GridRefresh, PoiTraceAndLastPosition) {
    PoiTable pois;
    PoiTab_Anpassen(pois, kGk3);  // an empty table is left alone
    EXPECT_TRUE(pois.records.empty());
    AllocPoiTab(pois, 2);
    pois.records[0] = {"Rathaus", kDatumWgs84, 9.7320, 52.3759, 55.0, 0, 0, 7, "vexapoi.cdb"};
    pois.count = 1;
    PoiTab_Anpassen(pois, kGk3);
    EXPECT_NEAR(pois.records[0].gridX, 550000.0, 10000.0);
    // Entries beyond the count stay untouched.
    EXPECT_EQ(std::tuple(pois.records[0].datumCode, pois.records[1].gridX), std::tuple(kDatumPotsdam, 0.0));

    auto trace = std::make_unique<TraceTable>();
    TracePoint t;
    std::tie(t.lon, t.lat) = std::tuple(9.7320, 52.3759);
    for (int i = 0; i < 12; ++i) storeTracePoint(*trace, t, 10);  // wrapped: all 11 slots used
    trace_utm_Anpassen(*trace, 10, kGk3);
    for (int i = 0; i <= 10; ++i) EXPECT_EQ(trace->points[static_cast<std::size_t>(i)].datumCode, kDatumPotsdam) << i;
    EXPECT_EQ(trace->points[11].datumCode, kDatumWgs84);

    LastPosition last;
    FrameState frame;
    last_utm_Anpassen(last, frame, kGk3);
    EXPECT_NEAR(frame.viewCentre.gridX, 500000.0, 1000.0) << "9° E lies on strip 3's meridian";
    EXPECT_EQ(std::tuple(last.datumTag, frame.viewCentre.gridY), std::tuple(kDatumPotsdam, last.grid.northing));
}

TEST(UtmGkDialog, BandTextsAndSwitchingToGaussKruegerMovesTheLastPositionOnce) {
    EXPECT_EQ(std::tuple(utmZoneBandText(31), utmZoneBandText(30), utmZoneBandText(1)),
              std::tuple("0° - 6° östlich", "0° - 6° westlich", "174° - 180° westlich"));

    GridContext grid = kUtm32;
    LastPosition last;
    FrameState frame;
    UtmGkDialogModel dialog(grid, last, frame);
    EXPECT_EQ(std::tuple(dialog.gaussKrueger(), dialog.spinMax(), dialog.infoText()), std::tuple(false, 60, "6° - 12° östlich"));
    dialog.selectGaussKrueger(true);
    EXPECT_EQ(std::tuple(dialog.spinMin(), dialog.spinMax()), std::tuple(2, 5));
    dialog.setNumber(4);
    EXPECT_EQ(std::tuple(grid.GkStrip, grid.UtmZone, dialog.infoText()), std::tuple(4, 32, "10.5° - 13.5° östlich"));
    const auto result = dialog.ok();
    EXPECT_EQ(std::tuple(result.zoneText, result.stripText), std::tuple("32", "4"));
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
