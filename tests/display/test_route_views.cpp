#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "geo/distance.h"
#include "geo/grid.h"
#include "display/bearing_drawing.h"
#include "display/route_drawing.h"
#include "routes/route_hits.h"
#include "tests/display/view_fixture.h"

namespace vexa::testing {
namespace {

class RouteView : public ::testing::Test, public ViewWorld {
protected:
    void drawRoute() {
        QPainter painter(&image);
        RouteLayer layer{route, grid, frame, guidance};
        show_route(painter, layer, projection());
    }
};

TEST_F(RouteView, OnePointRouteDrawsTheTargetLineAndIconButNoLegUnlessSwitchedOff) {
    addRoutePoint(300, 200);
    drawRoute();
    EXPECT_GT(countColour(image, QRect(220, 198, 60, 5), kGreyLine), 50) << "grey line to the view centre";
    EXPECT_GT(countColour(image, QRect(294, 194, 13, 13), kRed), 10) << "red circle at the target";
    EXPECT_GT(countColour(image, QRect(288, 170, 24, 30), kBlack), 20) << "target icon above the point";
    EXPECT_EQ(countColour(image, image.rect(), kRouteBlue), 0);
    EXPECT_DOUBLE_EQ(guidance.targetDistance, 100.0);

    // The map view switches the line and the distance off.
    image.fill(Qt::white);
    guidance.targetLineOff = true;
    guidance.targetDistance = 7.0;
    drawRoute();
    EXPECT_EQ(countColour(image, image.rect(), kGreyLine), 0);
    EXPECT_DOUBLE_EQ(guidance.targetDistance, 7.0);
}

TEST_F(RouteView, WestOfGreenwichOnAMercatorMapLegsAndTargetDistanceAreDrawn) {
    grid = GridContext{.MercatorGrid = true, .MercatorRadius = 6378137.0};
    const double west = -kCentreX;  // the view centre lies at a negative grid x
    for (const int px : {100, 300}) {
        TrackPoint& p = route.points[static_cast<std::size_t>(route.count++)];
        p.gridX = west + (px - 200);
        p.gridY = kCentreY;
    }
    QPainter painter(&image);
    RouteLayer layer{route, grid, frame, guidance};
    show_route(painter, layer, projectionAt(frame, west, kCentreY, 1000));
    painter.end();
    EXPECT_GT(countColour(image, QRect(120, 195, 60, 10), kRouteBlue), 50) << "the leg";
    EXPECT_GT(guidance.targetDistance, 50.0);
}

TEST_F(RouteView, LegsAreStrokedByTheKindOfTheirFirstPoint) {
    addRoutePoint(50, 100, LineKind::Road);
    addRoutePoint(350, 100, LineKind::Motorway);
    addRoutePoint(350, 300, LineKind::NotDrawn);
    addRoutePoint(50, 300);
    addRoutePoint(50, 50);
    route.points[4].gridX = 0.0;  // a cleared slot ends no leg
    guidance.targetLineOff = true;
    drawRoute();
    // Road: yellow over a black band.
    EXPECT_TRUE(isColour(image, 200, 100, kYellow));
    EXPECT_TRUE(isColour(image, 200, 98, kBlack));
    EXPECT_TRUE(isColour(image, 200, 102, kBlack));
    // Motorway: black, red, and a thin black middle line.
    EXPECT_TRUE(isColour(image, 350, 200, kBlack));
    EXPECT_TRUE(isColour(image, 348, 200, kRed));
    EXPECT_TRUE(isColour(image, 352, 200, kRed));
    EXPECT_TRUE(isColour(image, 346, 200, kBlack));
    // Not drawn.
    EXPECT_EQ(countColour(image, QRect(60, 295, 280, 10), kWhite), 280 * 10);
    EXPECT_EQ(countColour(image, image.rect(), kRouteBlue), 0);
}

TEST(LegVisibility, FiftyOnePointsAlongTheLegDecide) {
    const ViewRect rect;
    // Bounding box overlaps, but the line x + y = −200 never enters the rectangle.
    EXPECT_FALSE(legInView({-300, 100}, {100, -300}, rect));
    // Crossing it corner to corner, and passing straight through with both ends far outside.
    EXPECT_TRUE(legInView({-100, 500}, {500, -100}, rect));
    EXPECT_TRUE(legInView({-1000, 200}, {1400, 200}, rect));
    // Vertical legs: the x alone decides; the right edge is outside.
    EXPECT_TRUE(legInView({399, -50}, {399, 450}, rect));
    EXPECT_FALSE(legInView({400, -50}, {400, 450}, rect));
    EXPECT_FALSE(legInView({10, 500}, {300, 420}, rect));
}

TEST_F(RouteView, PointCirclesOnlyWithShowRoutepointsAndTheSelectedOneRed) {
    addRoutePoint(100, 100);
    addRoutePoint(300, 100);
    addRoutePoint(300, 300);
    guidance.targetLineOff = true;
    frame.selectedRoutePoint = 1;
    drawRoute();
    EXPECT_EQ(countColour(image, QRect(94, 104, 13, 4), kRouteBlue), 0) << "no circle below point 0";
    EXPECT_EQ(countColour(image, image.rect(), kRed), 0);

    image.fill(Qt::white);
    frame.showRoutePoints = true;
    drawRoute();
    EXPECT_GT(countColour(image, QRect(94, 104, 13, 4), kRouteBlue), 3) << "circle around point 0";
    EXPECT_GT(countColour(image, QRect(294, 94, 13, 13), kRed), 6) << "selected point 1 in red";
}

TEST_F(RouteView, HitBoxesRunFromMinusThreeToPlusThreePixels) {
    addRoutePoint(300, 200);  // window pixel (220, 160) in a 240 × 320 window
    const TapWindow window{240, 320};
    const ViewProjection view = projection();
    for (const auto& [x, y, hit] :
         {std::tuple{217, 160, 0}, {222, 157, 0}, {223, 160, -1}, {216, 160, -1}, {220, 163, -1}, {220, 156, -1}})
        EXPECT_EQ(checkRouteHit(route, view, window, x, y), hit) << x << "," << y;

    addRoutePoint(301, 201);
    EXPECT_EQ(checkRouteHit(route, view, window, 221, 161), 0) << "the first point hit wins";
    EXPECT_EQ(checkRouteHit(route, view, window, 223, 163), 1);

    addPoi("-deleted-", 100, 100, "a.cdb");
    EXPECT_EQ(checkPoiHit(pois, view, window, 20 + 2, 60 - 3), 0) << "deleted POIs are hit too";
    EXPECT_EQ(checkPoiHit(pois, view, window, 20 + 3, 60), -1);
}

TEST_F(RouteView, NearestRoutePointByGreatCircleFirstOfEqualWins) {
    EXPECT_EQ(NearestRoutePoint(route, {kCentreX, kCentreY}, grid), -1);
    const GeodeticPoint here = utm2llh({kCentreX, kCentreY}, grid);
    auto add = [&](double dLat) {
        TrackPoint& p = route.points[static_cast<std::size_t>(route.count++)];
        p.lat = here.latitude + dLat;
        p.lon = here.longitude;
    };
    add(0.02);
    add(-0.01);
    add(0.01);
    EXPECT_EQ(NearestRoutePoint(route, {kCentreX, kCentreY}, grid), 1);
}

TEST_F(RouteView, RouteDistanceFromAndToTheSelectedPoint) {
    addRoutePoint(200, 200);
    addRoutePoint(200, 100);   // 100 m
    addRoutePoint(200, -200);  // 300 m
    const RouteLayer layer{route, grid, frame, guidance};
    for (const auto& [selected, from, to] : {std::tuple{-1, 400.0, 400.0}, {1, 300.0, 100.0}}) {
        frame.selectedRoutePoint = selected;
        EXPECT_DOUBLE_EQ(showRouteDist(nullptr, layer, projection(), 0, {}), from) << selected;
        EXPECT_DOUBLE_EQ(showRouteDist(nullptr, layer, projection(), 1, {}), to) << selected;
    }

    // Below right of the point (200, 100), or on its other side where the screen ends.
    const QRect box = textRect(mapFont(), 0, 0, "0.30 km");
    const std::tuple<ViewRect, int, int> places[] = {
        {{0, 0, 400, 400}, 210, 110},
        {{80, 40, 250, 120}, 190 - box.width(), 90 - box.height()},
    };
    for (const auto& [visible, x, y] : places) {
        QPainter painter(&image);
        drawn.clear();
        showRouteDist(&painter, layer, projection(), 0, visible);
        const DrawnTexts::Entry* text = drawn.find("0.30 km");
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->x, x) << visible.right;
        EXPECT_EQ(text->y, y) << visible.right;
    }
}

TEST(TargetDistance, MeasuredByGridKind) {
    GridContext grid;
    EXPECT_DOUBLE_EQ(gridDistance(grid, 500000, 5500000, 503000, 5504000), 5000.0);
    grid.MercatorGrid = true;
    const double y = MercatorY(50.0, grid);
    EXPECT_NEAR(gridDistance(grid, 0, y, 1000, y), 1000.0 * std::cos(50.0 * M_PI / 180.0), 0.5);
    grid.MercatorGrid = false;
    grid.PlateCarreeGrid = true;
    EXPECT_NEAR(gridDistance(grid, 90000, 500000, 90000, 501000), distance(50.0, 9.0, 50.1, 9.0), 1e-6);
}

TEST(TargetDistance, ZielTextThresholds) {
    EXPECT_EQ(targetDistanceText(9500.0), "Ziel: 9.500 km");
    EXPECT_EQ(targetDistanceText(10000.0), "Ziel: 10.00 km");
    EXPECT_EQ(targetDistanceText(99999.0), "Ziel: 100.00 km");
    EXPECT_EQ(targetDistanceText(150000.0), "Ziel: 150.0 km");
    EXPECT_EQ(targetDistanceText(1000000.0), "Ziel: 1000 km");
}

class Bearing : public RouteView {
protected:
    void drawBearing(float course, int style = 0) {
        QPainter painter(&image);
        BearingLayer layer{route, grid, frame.viewCentre, guidance, style};
        DrawBearing(painter, layer, course, QColor(192, 192, 192));
    }
};

TEST_F(Bearing, RedLinePointsToTheTargetAndTheDistanceIsWritten) {
    addRoutePoint(200 + 9500, 200);  // 9500 m east
    drawBearing(0.0f);
    EXPECT_TRUE(drawn.has("Ziel: 9.500 km"));
    EXPECT_TRUE(drawn.has("0°"));
    EXPECT_DOUBLE_EQ(guidance.targetDistance, 9500.0);
    EXPECT_GT(countColour(image, QRect(60, 219, 14, 5), kRed), 10) << "bearing line east of the dial centre";
    EXPECT_EQ(countColour(image, QRect(47, 195, 7, 20), kRed), 0) << "nothing red towards north";
}

TEST_F(Bearing, CoursePointerFollowsTheCourseWithoutARoute) {
    drawBearing(270.9f);
    EXPECT_TRUE(drawn.has("270°"));
    EXPECT_FALSE(drawn.has("Ziel: 0.000 km"));
    // The white-filled arrowhead points west: tip at (23, 221).
    EXPECT_GT(countColour(image, QRect(24, 216, 10, 10), kBlack), 5);
    EXPECT_EQ(countColour(image, image.rect(), kRed), 0);
}

TEST_F(Bearing, CompassRoseTurnsTheCourseUp) {
    addRoutePoint(200, 200 - 150000);  // 150 km north
    drawBearing(90.0f, 1);
    EXPECT_TRUE(drawn.has("Ziel: 150.0 km"));
    // Heading east: north lies on the left of the rose, where its yellow disc is drawn.
    const DrawnTexts::Entry* north = drawn.find(" N");
    ASSERT_NE(north, nullptr);
    EXPECT_LT(north->x, 50);
    EXPECT_GT(countColour(image, QRect(15, 210, 16, 20), qRgb(240, 250, 20)), 20);
    EXPECT_FALSE(drawn.has("NO"));
}

class TraceView : public RouteView {
protected:
    int drawTrace(bool findCentre) {
        QPainter painter(&image);
        return show_trace(painter, trace, settings.itracemax, projection(), findCentre);
    }
};

TEST_F(TraceView, SegmentStartsLeaveGapsAndLegsAlternateColours) {
    addTracePoint(20, 100);
    addTracePoint(120, 100);
    addTracePoint(220, 100, true);  // recording resumed here
    addTracePoint(320, 100);
    drawTrace(false);
    EXPECT_TRUE(isColour(image, 70, 100, kYellow)) << "leg (1, 0): odd newer index";
    EXPECT_TRUE(isColour(image, 70, 98, kBlack));
    EXPECT_TRUE(isColour(image, 270, 100, kYellow)) << "leg (3, 2)";
    EXPECT_EQ(countColour(image, QRect(130, 95, 80, 10), kWhite), 800) << "no leg into a segment start";

    image.fill(Qt::white);
    trace.points[2].segmentStart = 0;
    drawTrace(false);
    EXPECT_TRUE(isColour(image, 170, 100, kRed)) << "leg (2, 1): even newer index";
}

TEST_F(TraceView, LegsWithBothEndsOnTheBorderOrOutsideAreSkipped) {
    addTracePoint(0, 100);
    addTracePoint(399, 100);  // x = 0 is on the border: not strictly inside; 399 is
    addTracePoint(-50, 300);
    addTracePoint(450, 300);
    drawTrace(false);
    EXPECT_GT(countColour(image, QRect(0, 95, 400, 10), kYellow), 300);
    EXPECT_EQ(countColour(image, QRect(0, 295, 400, 10), kWhite), 4000);
}

TEST_F(TraceView, FindsAPointNearTheCentreInTheMapView) {
    addTracePoint(100, 100);
    addTracePoint(203, 204);  // 5 pixels off the centre
    addTracePoint(300, 300);
    EXPECT_EQ(drawTrace(true), 1);
    EXPECT_EQ(drawTrace(false), -1);
    trace.points[1].gridX += 1.0;  // now 6 pixels off
    EXPECT_EQ(drawTrace(true), -1);
}

TEST_F(TraceView, AWrappedRingDrawsTheOlderPartToo) {
    settings.itracemax = 10;
    for (int i = 0; i <= 10; ++i) addTracePoint(20 + i * 30, 150);
    trace.next = 3;
    trace.wrapped = true;
    drawTrace(false);
    EXPECT_TRUE(isColour(image, 35, 150, kYellow)) << "leg (1, 0)";
    EXPECT_TRUE(isColour(image, 125, 150, kRed)) << "leg (4, 3), the oldest of the older part";
    EXPECT_TRUE(isColour(image, 275, 150, kYellow)) << "leg (9, 8)";
    EXPECT_EQ(countColour(image, QRect(84, 145, 22, 10), kWhite), 220) << "no leg across the write position";
    EXPECT_EQ(countColour(image, QRect(294, 145, 22, 10), kWhite), 220) << "no leg from the last slot";
}

class PoiView : public RouteView {
protected:
    void drawPois(int labelPosition = 0) {
        drawn.clear();
        QPainter painter(&image);
        show_Poi(painter, pois, projection(), labelPosition, "/home/u/vexa/vexapoi.cdb");
    }
};

TEST_F(PoiView, LabelsAreCutAtTheBracketAndFilledByVolumeButTheLastPositionAndDeletedOnesHidden) {
    addPoi("Kirche (alt)", 100, 100, "/home/u/vexa/vexapoi.cdb");
    addPoi("ZLASTPOS", 200, 250, "x.cdb");
    addPoi("zLastPos", 220, 250, "x.cdb");
    addPoi("-Deleted-", 240, 250, "x.cdb");
    addPoi("Turm", 300, 300, "/home/u/vexa/other.cdb");
    addPoi("Weit", 400, 200, "/home/u/vexa/other.cdb");  // a half width from the centre
    drawPois();
    ASSERT_EQ(drawn.entries().size(), 2u);
    EXPECT_EQ(drawn.entries()[0].text, "Kirche ");
    EXPECT_EQ(drawn.entries()[0].x, 86);
    EXPECT_EQ(drawn.entries()[0].y, 80);
    EXPECT_TRUE(isColour(image, 100, 100, kWhite));
    EXPECT_TRUE(isColour(image, 300, 300, qRgb(220, 20, 20)));
    EXPECT_TRUE(isColour(image, 104, 100, kRouteBlue) || isColour(image, 105, 100, kRouteBlue));
    EXPECT_EQ(countColour(image, QRect(190, 240, 60, 20), kRouteBlue), 0);

    drawPois(1);
    EXPECT_EQ(drawn.entries()[1].x, 280);
    EXPECT_EQ(drawn.entries()[1].y, 320);
}

TEST_F(RouteView, PixelsAndPainterDrawTheSameWideLines) {
    addRoutePoint(-50, 30, LineKind::Motorway);
    addRoutePoint(380, 170, LineKind::Road);
    addRoutePoint(210, 390, LineKind::Path);
    addRoutePoint(20, 250);
    addRoutePoint(20, 260);
    guidance.targetLineOff = true;
    drawRoute();
    const QImage direct = image.copy();
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setClipRect(image.rect());  // a clipped painter draws through Qt
        RouteLayer layer{route, grid, frame, guidance};
        show_route(painter, layer, projection());
    }
    for (QRgb colour : {kBlack, kRed, kYellow, kRouteBlue}) {
        const int a = countColour(direct, direct.rect(), colour), b = countColour(image, image.rect(), colour);
        EXPECT_GT(a, 0);
        EXPECT_NEAR(a, b, a / 50 + 4) << std::hex << colour;
    }
}

}  // namespace
}  // namespace vexa::testing
