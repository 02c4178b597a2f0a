#include <gtest/gtest.h>

#include <tuple>

#include "display/replay_buttons.h"
#include "display/screen_output.h"
#include "display/trace_replay.h"
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
    ScreenBufferTurner turner;

    Overlays() {
        map.frame.mapScale = 1000;
        map.frame.displayMode = DisplayMode::Move;
        map.screen_ = ScreenGeometry{240, 320, false};
    }
    QImage showAtCentre() {
        drawn.clear();
        MapFrameContext ctx = map.context(&overlays);
        ctx.turner = &turner;
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
    // A chosen point stays chosen while no positions arrive; arriving ones choose the nearest.
    for (const auto& [chosen, arriving, selected, left] :
         {std::tuple{-1, false, 1, "0.10 km"}, {0, false, 0, "0.16 km"}, {0, true, 1, "0.10 km"}}) {
        map.frame.selectedRoutePoint = chosen;
        map.frame.replaying = arriving;
        showAtCentre();
        EXPECT_EQ(map.frame.selectedRoutePoint, selected);
        EXPECT_TRUE(drawn.has(left)) << left;
    }
}

TEST_F(Overlays, BigNumbersAndInfoLineFollowTheDisplaySettings) {
    // Upright over the map, or after the turn in the 3D view; the 3D frames come first, so the
    // panel there can show no readings but the frame's own.
    for (const int mode : {4, 0}) {
        map.frame.moveDisplayMode = mode;
        display.bigInfo = display.infoLine = false;
        showAtCentre();
        EXPECT_FALSE(drawn.has("42.0 km/h")) << mode;
        display.bigInfo = display.infoLine = true;
        display.infoPage = 1;
        showAtCentre();
        EXPECT_TRUE(drawn.has("42.0 km/h")) << mode;
    }
    EXPECT_TRUE(drawn.has("42.0km/h h=100m 2.50km 00:10:00"));
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

// A kind's buttons show once it has two points (a wrapped trace always has), its pause button
// only while a replay of that kind runs.
TEST(ReplayButtons, AKindShowsFromItsSecondPointAndItsPauseWhileItPlays) {
    auto trace = std::make_unique<TraceTable>();
    auto route = std::make_unique<RouteTable>();
    ReplayControl replay;
    const std::tuple<int, bool, int, bool, bool, std::string> rows[] = {
        {1, false, 1, false, false, "0000"},  // trace then route, trace pause then route pause
        {2, false, 2, false, false, "1100"},
        {0, true, 0, true, false, "1010"},
        {2, false, 2, true, true, "1101"},
    };
    for (const auto& [next, wrapped, count, running, playingRoute, expected] : rows) {
        trace->next = next, trace->wrapped = wrapped, route->count = count;
        replay.replayDrawing = running, replay.playingRoute = playingRoute;
        const ReplayButtonsShown shown = replayButtonsShown(*trace, *route, replay);
        std::string flags;
        for (const bool f : {shown.trace, shown.route, shown.tracePause, shown.routePause}) flags += f ? '1' : '0';
        EXPECT_EQ(flags, expected) << next << " " << wrapped << " " << count;
    }
}

// The route's column at the left edge, the trace's one gap beside it, both in the middle of the
// screen's height.
TEST(ReplayButtons, TwoColumnsInTheMiddleOfTheLeftEdge) {
    for (const QSize screen : {QSize(240, 320), QSize(1280, 800)}) {
        const ReplayButtonLayout layout = replayButtonLayout(screen.width(), screen.height());
        const QRect route = layout[ReplayButton::RouteFast] | layout[ReplayButton::RoutePause];
        const QRect trace = layout[ReplayButton::TraceFast] | layout[ReplayButton::TracePause];
        const int gap = layout[ReplayButton::RouteStart].top() - layout[ReplayButton::RouteFast].bottom() - 1;
        EXPECT_EQ(route.left(), 2) << screen.width();
        EXPECT_EQ(trace.left(), route.right() + 1 + gap) << screen.width();
        EXPECT_EQ(trace.top(), route.top()) << screen.width();
        EXPECT_LE(std::abs(route.top() - (screen.height() - 1 - route.bottom())), 1) << screen.width();
    }
}

}  // namespace
}  // namespace vexa::testing
