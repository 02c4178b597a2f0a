#include <gtest/gtest.h>

#include <tuple>

#include "frame/frame_state.h"
#include "geo/grid_context.h"
#include "maps/map_selection.h"

namespace vexa {
namespace {

// A map of `sizeKm` kilometres square with its top-left corner at (left, top).
MapEntry square(float left, float top, int resolution, float sizeKm) {
    MapEntry row;
    row.left = left;
    row.top = top;
    row.right = left + sizeKm * 1000.0f;
    row.bottom = top - sizeKm * 1000.0f;
    row.resolution = resolution;
    return row;
}

struct Selection {
    MapTable table;
    MapView view;
    FrameState frame;
    GridContext grid;
    int any = -1;

    void select(double e, double n) {
        setMatchKarten(table, view, frame, grid, GridPoint{e, n}, 0, 0, 400, 400, &any);
    }
};

TEST(SetMatchKarten, MostDetailedContainingMapWinsUnlessCalibrating) {
    Selection s;
    s.table.rows = {square(500000, 5600000, 50, 10), square(500000, 5600000, 200, 2)};
    s.select(501000, 5599000);
    EXPECT_EQ(s.view.ShownResolution, 200);
    EXPECT_EQ(s.frame.mapScale, 200);
    EXPECT_EQ(s.any, 1);
    EXPECT_EQ(s.table.rows[0].containsPosition, 1);
    EXPECT_EQ(s.table.rows[1].containsPosition, 1);
    // Calibration keeps the wanted resolution.
    startCalibration(s.view, 0, 50);
    s.select(501000, 5599000);
    EXPECT_EQ(s.view.ShownResolution, 50);
    endCalibration(s.view);
    s.view.WantedResolution = -1;
    s.select(501000, 5599000);
    EXPECT_EQ(s.view.ShownResolution, 200);
}

TEST(SetMatchKarten, ContainmentBeatsAFinerMapThatIsOnlyInView) {
    Selection s;
    // The 200 map starts 0.5 km east of the position: within half a screen (1 km at 200).
    s.table.rows = {square(500000, 5600000, 50, 10), square(502500, 5600000, 200, 2)};
    s.select(502000, 5599000);
    EXPECT_EQ(s.table.rows[1].inView, 1);
    EXPECT_EQ(s.table.rows[1].containsPosition, 0);
    EXPECT_EQ(s.view.ShownResolution, 50);
    EXPECT_EQ(s.view.CurrentRow, 0);
}

TEST(SetMatchKarten, WantedResolutionSkipsFinerRowsAndClearsTheirFlags) {
    Selection s;
    s.table.rows = {square(500000, 5600000, 50, 10), square(500000, 5600000, 100, 5),
                    square(500000, 5600000, 200, 2)};
    s.table.rows[2].inView = 1;
    s.table.rows[2].containsPosition = 1;
    s.view.WantedResolution = 100;
    s.select(501000, 5599000);
    EXPECT_EQ(s.table.rows[2].inView, 0);
    EXPECT_EQ(s.table.rows[2].containsPosition, 0);
    EXPECT_EQ(s.view.ShownResolution, 100);
}

TEST(SetMatchKarten, NothingInViewFallsBackToRowZero) {
    Selection s;
    s.table.rows = {square(500000, 5600000, 100, 1), square(500000, 5600000, 200, 1)};
    s.view.MapStatusText = "";
    s.select(700000, 5000000);
    EXPECT_EQ(s.any, 0);
    EXPECT_EQ(s.view.CurrentRow, 0);
    EXPECT_EQ(s.view.ShownResolution, 100);
    EXPECT_EQ(s.view.MapStatusText, "Keine Karte für Position");

    s.view.WantedResolution = 200;
    s.select(700000, 5000000);
    EXPECT_EQ(s.view.MapStatusText, "Keine Karte im kleinen Massstab");
}

TEST(SetMatchKarten, ZoomWidensTheSearchMargin) {
    Selection s;
    s.table.rows = {square(500000, 5600000, 100, 1)};
    // Half a screen at 100 px/km is 2 km; the position is 3 km east of the right edge.
    s.select(504000, 5599500);
    EXPECT_EQ(s.table.rows[0].inView, 0);
    s.frame.zoomFactor = 2.0;
    s.select(504000, 5599500);
    EXPECT_EQ(s.table.rows[0].inView, 1);
}

TEST(SetMatchKarten, RightAndTopEdgesAreOutsideLeftAndBottomInside) {
    Selection s;
    s.table.rows = {square(500000, 5600000, 100, 1)};
    for (const auto& [e, n, inside] : {std::tuple{501000, 5599500, 0}, {500000, 5599500, 1}, {500500, 5599000, 1},
                                       {500500, 5600000, 0}}) {
        s.select(e, n);
        EXPECT_EQ(s.table.rows[0].containsPosition, inside) << e << "," << n;
    }
}

TEST(RowContainsPoint, PositionsAndEdgesBeyondTheRangeOfIntCompareAsWholeUnits) {
    MapEntry wide = square(-3e9f, 1000, 1, 3e6f);  // left edge beyond int
    struct Case { MapEntry row; double e, n; bool inside; };
    for (const Case& c : {Case{wide, -4e9, 500, false}, Case{wide, -2.5e9, 500, true},
                          Case{wide, 0.0, 500, false}, Case{square(0, 1000, 1, 1), 3e12, 500, false},
                          Case{square(0, 1000, 1, 1), 999.9, 0.5, true}, Case{square(0, 1000, 1, 1), -0.5, 500, true}})
        EXPECT_EQ(rowContainsPoint(c.row, GridPoint{c.e, c.n}), c.inside) << c.e << "," << c.n;
}

TEST(GetMatchKarten, FindsOnlyMapsAtTheCurrentScale) {
    MapTable table;
    table.rows = {square(500000, 5600000, 50, 10), square(500000, 5600000, 100, 1),
                  square(501000, 5600000, 100, 1), square(500000, 5600000, 200, 1)};
    FrameState frame;
    GridContext grid;
    const auto match = [&](double e, double n) { return getMatchKarten(table, frame, grid, GridPoint{e, n}, 0, 0, 400, 400); };
    frame.mapScale = 100;
    EXPECT_EQ(match(501500, 5599500), 2);
    EXPECT_EQ(match(500500, 5599500), 1);
    EXPECT_EQ(match(505000, 5595000), -1);
    frame.mapScale = 50;
    EXPECT_EQ(match(505000, 5595000), 0);
    EXPECT_EQ(getMatchKarten(MapTable{}, frame, grid, GridPoint{0, 0}, 0, 0, 400, 400), -1);
}

TEST(PlateCarreeHit, CentreInsideTheDrawnRectangle) {
    MapTable table;
    // 0.01° square at 1000 px per 0.1°: 100 pixels on the screen.
    table.rows = {square(100000, 520000, 1000, 0.1f)};
    FrameState frame;
    const auto hit = [&](double e, double n) { return plateCarreeHit(table, 0, frame, GridPoint{e, n}, 400, 400); };
    EXPECT_TRUE(hit(100000, 519950));
    EXPECT_TRUE(hit(100099, 519901));
    EXPECT_FALSE(hit(100100, 519950));
    EXPECT_FALSE(hit(99999, 519950));
    // A stretched row covers 1/xStretch of its width on the screen.
    table.rows[0].xStretch = 2.0f;
    table.rows[0].right = 100200;
    EXPECT_TRUE(hit(100099, 519999));
    EXPECT_FALSE(hit(100101, 519999));
    // Zoomed in so far that the map's pixel edges lie beyond the range of int: still a hit.
    frame.zoomFactor = 1e-120;
    EXPECT_TRUE(hit(100099, 519999));
    EXPECT_FALSE(hit(100101, 519999));
}

}  // namespace
}  // namespace vexa
