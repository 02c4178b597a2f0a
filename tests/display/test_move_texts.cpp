#include <gtest/gtest.h>

#include <tuple>

#include "display/big_display.h"
#include "display/move_texts.h"
#include "display/position_text.h"
#include "display/view_layout.h"
#include "maps/render/frame_interfaces.h"
#include "tests/display/view_fixture.h"
#include "util/text.h"

namespace vexa::testing {
namespace {

// Decimal degrees, degrees minutes seconds (also for the grid format 0); other formats keep the
// text. The hemisphere letter carries the sign; without letters the value keeps its sign, also
// between −1° and 0.
TEST(GeoText, TheCoordinateFormats) {
    const struct {
        int format;
        double lon, lat;
        const char *ew, *ns, *expected;
    } cases[] = {{1, 11.5, 48.25, "E", "N", "E 11.50000° N 48.25000°"},
                 {2, 9.758333, 48.1173, "E", "N", "E 9°45'30\" N 48°07'02\""},
                 {0, 9.758333, 48.1173, "E", "N", "E 9°45'30\" N 48°07'02\""},
                 {3, 1.0, 2.0, "W", "S", "E 9°45'30\" N 48°07'02\""},
                 {2, -3.25, -0.5, "W", "S", "W 3°15'00\" S 0°30'00\""},
                 {2, -3.25, -0.5, "", "", " -3°15'00\"  -0°30'00\""},
                 {1, -3.25, -0.5, "W", "S", "W 3.25000° S 0.50000°"},
                 {1, -3.25, -0.5, "", "", " -3.25000°  -0.50000°"}};
    std::string text = "unchanged";
    for (const auto& c : cases) {
        fillGeomsg(text, c.format, c.lon, c.lat, c.ew, c.ns);
        EXPECT_EQ(text, c.expected) << c.format << " " << c.lon;
    }
}

TEST(GeoText, RebuiltFromTheLastGridPosition) {
    ViewWorld w;
    w.last.grid = llh2utm(9.0, 52.0, 1, w.grid);
    w.gps.eastWest.assign("E"), w.gps.northSouth.assign("N");
    Fill_GeoUtmMsg(w.texts.geoText, 1, w.last, w.gps, w.grid, w.maps);
    EXPECT_NEAR(w.last.longitude, 9.0, 1e-6);
    EXPECT_NEAR(w.last.latitude, 52.0, 1e-6);
    EXPECT_EQ(w.texts.geoText, "E 9.00000° N 52.00000°");
    EXPECT_EQ(std::string(w.gps.gridText.view()), strprintf("32 %.0f %.0f", w.last.grid.easting, w.last.grid.northing));
    w.gps.northSouth.assign("");
    Fill_GeoUtmMsg(w.texts.geoText, 1, w.last, w.gps, w.grid, w.maps);
    EXPECT_EQ(w.texts.geoText, " 9.00000°  52.00000°") << "no letters when one is missing";
}

TEST(CheckPosKarte, MapsCountWidenedByHalfAScreenAtTheirScale) {
    MapTable maps;
    EXPECT_FALSE(checkPosKarte(maps, {500000, 5500000}, 240, 320, 1.0));
    maps.rows.resize(1);
    MapEntry& map = maps.rows[0];
    map.left = 500000, map.right = 501000, map.bottom = 5500000, map.top = 5501000;
    map.resolution = 400;  // 240 pixels = 600 m, 320 pixels = 800 m
    // The left edge widened by 300 m, the top one by 400 m; zoomed out twice as far.
    for (const auto& [e, n, zoom, inside] : {std::tuple{499700, 5500500, 1.0, true}, {499699, 5500500, 1.0, false},
                                             {500500, 5501400, 1.0, true}, {500500, 5501401, 1.0, false},
                                             {499401, 5500500, 2.0, true}})
        EXPECT_EQ(checkPosKarte(maps, GridPoint{double(e), double(n)}, 240, 320, zoom), inside) << e << "," << n;
}

class MoveTexts : public ::testing::Test, public ViewWorld {
protected:
    MoveTextContext ctx{gps, last, grid, maps, view, frame, route, guidance, display, texts, {240, 320}};
    FrameReadings readings{45.0f, 12.34, 321, 4567.0, "01:02:03"};

    void showMoreInfo(bool mapFound) {
        drawn.clear();
        QPainter painter(&image);
        ShowMoreInfo(painter, ctx, {kCentreX, kCentreY}, mapFound, readings);
    }
    // Whether `text` was drawn where the view's layout puts its line `name` (in the window, the
    // frame's middle).
    bool drawnWhereTheLayoutSays(DisplayMode view, const std::string& name, const std::string& text) const {
        const ScreenSize screen = ctx.screen;
        const DrawnTexts::Entry* e = drawn.find(text);
        for (const LayoutElement& part : viewLayout(view, screen))
            if (part.name == name)
                return e && QPoint(e->x, e->y) == part.rect.topLeft() + QPoint(screen.left(), screen.top());
        return false;
    }
};

// The missing-map notice is checked through whole frames with real maps (test_view_overlays).
TEST_F(MoveTexts, TheInfoLineIsAtTheBottomOnlyWhenSwitchedOn) {
    frame.displayMode = DisplayMode::Move;
    maps.rows.push_back(MapEntry{});
    showMoreInfo(true);
    EXPECT_TRUE(drawn.entries().empty()) << "no info line unless switched on";
    display.infoLine = true;
    showMoreInfo(true);
    EXPECT_TRUE(drawnWhereTheLayoutSays(DisplayMode::Move, "info line", "12.3km/h h=321m 4.57km 01:02:03"));
}

TEST_F(MoveTexts, KarteViewNamesTheMapAndTheTarget) {
    frame.displayMode = DisplayMode::Karte;
    gps.eastWest.assign("E"), gps.northSouth.assign("N");
    showMoreInfo(true);
    EXPECT_TRUE(drawn.has("Keine Karte für Position") && drawn.has("UTM 32 500000 5500000"));
    MapEntry coarse;
    coarse.path = "/m/coarse_200.png", coarse.fileNameStart = 3, coarse.resolution = 1000, coarse.containsPosition = 1;
    maps.rows = {coarse, coarse};
    maps.rows[1].path = "/m/fine_500.png", maps.rows[1].resolution = 2000;
    addRoutePoint(200, 200);
    guidance.targetDistance = 1500.0;
    showMoreInfo(true);
    EXPECT_TRUE(drawnWhereTheLayoutSays(DisplayMode::Karte, "map name", "coarse_200.png")) << "the map of the current scale";
    EXPECT_TRUE(drawnWhereTheLayoutSays(DisplayMode::Karte, "position", "UTM 32 500000 5500000 Ziel: 1.50 km"));

    display.coordFormat = 1;
    showMoreInfo(true);
    EXPECT_TRUE(drawn.has(texts.geoText + " Ziel: 1.50 km"));
    EXPECT_EQ(texts.geoText.rfind("E ", 0), 0u);
}

class BigDisplay : public ::testing::Test, public ViewWorld {
protected:
    FrameReadings readings{0.0f, 99.95, 512, 123456.0, "02:00:00"};

    void show(int mode, int moveDisplayMode = 0, bool afterOutput = false) {
        QPainter painter(&image);
        ShowBigDisplay(painter, gps, readings, mode, moveDisplayMode, afterOutput, {240, 320});
    }
};

TEST_F(BigDisplay, ModesChooseTheNumbers) {
    const std::pair<int, std::vector<std::string>> modes[] = {
        {0, {}}, {1, {"100.0 km/h"}}, {3, {"123.46 km"}}, {4, {}}, {6, {"02:00:00"}},
        {7, {"100.0 km/h", "123.46 km", "512 m", "02:00:00"}}, {8, {}}};
    for (const auto& [mode, expected] : modes) {
        drawn.clear();
        show(mode);
        std::vector<std::string> texts;
        for (const DrawnTexts::Entry& e : drawn.entries()) texts.push_back(e.text);
        EXPECT_EQ(texts, expected) << mode;
    }
}

// Pages 2 and 5 add their profile under the number: speed half its maximum all along (with the
// maximum's label), altitude at its maximum all along.
TEST_F(BigDisplay, ProfilePagesAddTheirProfile) {
    gps.speedProfile.fill(45), gps.speedMax = 90;
    gps.altitudeProfile.fill(300), gps.altitudeMax = 300;
    for (const auto& [page, record] : {std::pair{2, "grey 118,73-171,80 3; black 84,67-269,132 4340; \"100.0 km/h\" 84,62; \"90\" 232,101; "},
                                 {5, "grey 96,80-96,80 1; black 84,68-257,132 6193; \"512 m\" 84,62; "}}) {
        image.fill(Qt::white);
        drawn.clear();
        show(page);
        EXPECT_EQ(viewRecord(image, drawn), record) << page;
    }
}

// Upright at the top left of the window; upside down after the 3D view at the bottom right;
// in landscape after the rotation along the left edge, reading upwards.
TEST_F(BigDisplay, TurnedWithTheMoveDisplayMode) {
    for (const auto& [mode, after, record] :
         {std::tuple{0, false, "grey 118,73-171,80 3; black 88,67-269,92 1365; \"100.0 km/h\" 84,62; "},
          {6, true, "black 130,307-311,332 1375; \"100.0 km/h\" 84,62; "},
          {5, true, "black 107,170-131,351 1320; \"100.0 km/h\" 44,102; "}}) {
        image.fill(Qt::white);
        drawn.clear();
        show(1, mode, after);
        EXPECT_EQ(viewRecord(image, drawn), record) << mode;
    }
}

}  // namespace
}  // namespace vexa::testing
