#include <gtest/gtest.h>

#include <tuple>

#include "display/view_overlays.h"
#include "maps/render/map_frame.h"
#include "tests/display/view_fixture.h"
#include "tests/maps/map_fixture.h"

namespace vexa::testing {
namespace {

class ReplayLink : public GpsLink {};

// A whole frame through show_pos with the overlays over an empty map table.
class Overlays : public ::testing::Test, public ViewWorld {
protected:
    MapWorld map;
    ViewRecords records{route, trace, pois,  settings, gps,     last,    grid, map.table,
                        map.view, map.frame, guidance, display, texts, "vexapoi.cdb"};
    ViewOverlays overlays{records};

    Overlays() {
        map.frame.mapScale = 1000;
        map.frame.displayMode = DisplayMode::Move;
        map.screen_ = ScreenGeometry{240, 320, false};
    }
    QImage showAtCentre() {
        drawn.clear();
        MapFrameContext ctx = map.context(&overlays);
        show_pos(ctx, TrackPoint{kCentreX, kCentreY}, FrameReadings{0.0f, 42.0, 100, 2500.0, "00:10:00"});
        return map.presenter.shown;  // the window's 240 × 320 middle: frame pixel (x, y) at (x − 80, y − 40)
    }
};

TEST_F(Overlays, RouteTraceAndPoisAppearInTheMoveView) {
    addRoutePoint(100, 100);
    addRoutePoint(300, 100);
    addTracePoint(100, 300);
    addTracePoint(300, 300);
    addPoi("Mühle (alt)", 250, 250, "vexapoi.cdb");
    showAtCentre();
    EXPECT_FALSE(drawn.has("Mühle ")) << "POIs only when switched on";
    map.frame.showPois = true;
    const QImage shown = showAtCentre();
    EXPECT_TRUE(isColour(shown, 200 - 80, 100 - 40, kRouteBlue));
    EXPECT_TRUE(isColour(shown, 200 - 80, 300 - 40, kYellow));
    EXPECT_TRUE(drawn.has("Mühle "));
    EXPECT_NE(viewRecord(shown, drawn).find("grey "), std::string::npos) << "target line";
    EXPECT_DOUBLE_EQ(guidance.targetDistance, std::hypot(100.0, 100.0));
}

TEST_F(Overlays, GuidancePicksTheNearestPointAndWritesTheWayLeft) {
    addRoutePoint(150, 200);
    addRoutePoint(210, 200);
    addRoutePoint(210, 100);
    // A chosen point stays chosen while no positions arrive.
    for (const auto& [chosen, selected, left] : {std::tuple{-1, 1, "0.10 km"}, {0, 0, "0.16 km"}}) {
        map.frame.selectedRoutePoint = chosen;
        showAtCentre();
        EXPECT_EQ(map.frame.selectedRoutePoint, selected);
        EXPECT_TRUE(drawn.has(left)) << left;
    }
}

TEST_F(Overlays, BigNumbersAndInfoLineFollowTheDisplaySettings) {
    showAtCentre();
    EXPECT_FALSE(drawn.has("42.0 km/h"));
    display.bigInfo = display.infoLine = true;
    display.infoPage = 1;
    showAtCentre();
    EXPECT_TRUE(drawn.has("42.0 km/h") && drawn.has("42.0km/h h=100m 2.50km 00:10:00"));
    EXPECT_FALSE(drawn.has("Keine Karte für Position")) << "no maps at all";

    // Maps loaded, but none under the position; then one under it.
    QImage blank(100, 100, QImage::Format_RGB32);
    blank.fill(Qt::white);
    for (const auto& [name, notice] : {std::pair{"karte_32_600000_5600000_1000_100_100.png", true},
                                       {"karte_32_499950_5500050_1000_100_100.png", false}}) {
        saveImage(blank, map.dir / name);
        map.scan();
        showAtCentre();
        EXPECT_EQ(drawn.has("Keine Karte für Position"), notice) << name;
    }
}

}  // namespace
}  // namespace vexa::testing
