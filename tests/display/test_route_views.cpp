#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "display/bearing_drawing.h"
#include "display/route_drawing.h"
#include "geo/distance.h"
#include "geo/grid.h"
#include "maps/render/map_frame_context.h"
#include "maps/render/window_turn.h"
#include "routes/route_hits.h"
#include "tests/display/view_fixture.h"
#include "tests/support/golden_file.h"
#include "util/text.h"

namespace vexa::testing {
namespace {

// One drawing of route_views.txt: the layer (or the route distance), then points "x,y" in frame pixels (":k" a line kind,
// ":g" a cleared slot, ":s" a trace segment start; "Name@x,y" a POI, "+" after it in the
// current volume) and options; the record is what the frame shows and the taps hit.
std::string drawnRecord(const std::string& line) {
    ViewWorld w;
    std::istringstream words(line);
    std::string layer, word;
    words >> layer;
    double centreX = kCentreX, course = 0;
    int style = 0, labels = 0, next = -1;
    std::set<std::string> flags;  // off, circles, clip, centre, wrapped, mercator
    ViewRect visible;
    std::vector<std::pair<int, int>> taps;
    w.guidance.targetDistance = -1;
    while (words >> word) {
        int x = 0, y = 0;
        char mark = ' ';
        if (const auto at = word.find('@'); at != std::string::npos) {
            std::string name = word.substr(0, at);
            std::replace(name.begin(), name.end(), '_', ' ');
            std::sscanf(word.c_str() + at + 1, "%d,%d", &x, &y);
            w.addPoi(name, x, y, word.back() == '+' ? "/home/u/vexa/vexapoi.cdb" : "/home/u/vexa/other.cdb");
        } else if (std::sscanf(word.c_str(), "%d,%d:%c", &x, &y, &mark) >= 2) {
            if (layer == "trace") w.addTracePoint(x, y, mark == 's');
            else w.addRoutePoint(x, y, mark >= '0' && mark <= '9' ? LineKind(mark - '0') : LineKind::Blue);
            if (mark == 'g') w.route.points[static_cast<std::size_t>(w.route.count - 1)].gridX = 0.0;
        } else if (std::sscanf(word.c_str(), "tap=%d,%d", &x, &y) == 2) taps.emplace_back(x, y);
        else if (word.find_first_of("=,") == std::string::npos) flags.insert(word);
        else if (!std::sscanf(word.c_str(), "sel=%d", &w.frame.selectedRoutePoint) &&
                 !std::sscanf(word.c_str(), "course=%lf", &course) && !std::sscanf(word.c_str(), "style=%d", &style) &&
                 !std::sscanf(word.c_str(), "labels=%d", &labels) && !std::sscanf(word.c_str(), "next=%d", &next) &&
                 !std::sscanf(word.c_str(), "max=%ld", &w.settings.itracemax) &&
                 std::sscanf(word.c_str(), "visible=%d,%d,%d,%d", &visible.left, &visible.top, &visible.right, &visible.bottom) != 4)
            ADD_FAILURE() << "unknown word " << word;
    }
    w.guidance.targetLineOff = flags.count("off"), w.frame.showRoutePoints = flags.count("circles");
    if (flags.count("mercator")) w.grid = GridContext{.MercatorGrid = true, .MercatorRadius = 6378137.0}, centreX = -kCentreX;
    for (int i = 0; i < w.route.count; ++i) w.route.points[static_cast<std::size_t>(i)].gridX += centreX - kCentreX;
    if (next >= 0) w.trace.next = next, w.trace.wrapped = flags.count("wrapped");
    std::string out;
    {
        QPainter painter(&w.image);
        if (flags.count("clip")) painter.setClipRect(w.image.rect());  // a clipped painter draws through Qt
        const ViewProjection view = projectionAt(w.frame, centreX, kCentreY, 1000);
        RouteLayer route{w.route, w.grid, w.frame, w.guidance};
        BearingLayer bearing{w.route, w.grid, w.frame.viewCentre, w.guidance, style};
        if (layer == "route") show_route(painter, route, view);
        if (layer == "bearing") DrawBearing(painter, bearing, static_cast<float>(course), QColor(192, 192, 192));
        if (layer == "trace") out = strprintf("centre=%d ", show_trace(painter, w.trace, w.settings.itracemax, view, flags.count("centre")));
        if (layer == "pois") show_Poi(painter, w.pois, view, labels, "/home/u/vexa/vexapoi.cdb");
        if (layer == "distance")  // the length to the end, written beside the selected point, and from the start
            out = strprintf("to end %.1f from start %.1f ", showRouteDist(&painter, route, view, 0, visible),
                            showRouteDist(nullptr, route, view, 1, visible));
    }
    for (const auto& [x, y] : taps)  // in a 240 × 320 window: frame pixel (x + 80, y + 40)
        out += strprintf("%d,%d: point %d POI %d; ", x, y, checkRouteHit(w.route, w.projection(), TapWindow{240, 320}, x, y),
                         checkPoiHit(w.pois, w.projection(), TapWindow{240, 320}, x, y));
    if (layer == "route" || layer == "bearing") out += strprintf("dist=%.1f ", w.guidance.targetDistance);
    return out + viewRecord(w.image, w.drawn);
}

TEST(RouteViews, DrawingsGiveTheRecordsOfTheGoldenFile) {
    EXPECT_GT(compareGoldenFile(VEXA_TEST_DATA "/route_views.txt", drawnRecord), 20);
}

// The turned Move view draws route, route point circles and trace straight onto the screen
// through the window's turn. They must show what turning the unturned frame shows but for the
// rounding of their edges: the same colours, each as many pixels within a sixth and all together
// within 6 %, and all but a few pixels of either picture within two pixels of the same colour in
// the other.
TEST(RouteViews, TurnedLinesShowWhatTheTurnedFrameShows) {
    ViewWorld w;
    w.guidance.targetLineOff = true;
    w.frame.showRoutePoints = true;
    for (const auto& [x, y, kind] : std::initializer_list<std::tuple<int, int, int>>{
             {-40, 60, 4}, {330, 120, 2}, {250, 380, 1}, {90, 250, 0}, {100, 100, 0}, {104, 98, 0}, {300, 20, 0}})
        w.addRoutePoint(x, y, LineKind(kind));
    for (int i = 0; i < 40; ++i) w.addTracePoint(60 + 7 * i, 330 - i * i / 6, i == 20);
    const auto drawLayers = [&](QImage& image, const QTransform& turn) {
        QPainter painter(&image);
        painter.setTransform(turn);
        RouteLayer route{w.route, w.grid, w.frame, w.guidance};
        show_route(painter, route, w.projection());
        show_trace(painter, w.trace, w.settings.itracemax, w.projection(), false);
    };
    drawLayers(w.image, QTransform());
    // The pixel count of each colour of the lines; `strays` counts those without one of their
    // colour near in `other`.
    const auto colours = [](const QImage& image, const QImage& other, int& strays) {
        std::map<QRgb, int> counts;
        const auto same = [&](int x, int y, QRgb c) { return other.rect().contains(x, y) && other.pixel(x, y) == c; };
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y);
                if (c == 0xffffffffu || c == kMapBackground) continue;
                ++counts[c];
                bool near = false;
                for (int d = 0; d < 25 && !near; ++d) near = same(x + d % 5 - 2, y + d / 5 - 2, c);
                strays += !near;
            }
        return counts;
    };
    for (const double angle : {33.0, 45.0, 90.0, 161.0, 270.0}) {
        QImage expected(240, 320, QImage::Format_RGB32), turned(240, 320, QImage::Format_RGB32);
        turnWindow(w.image, angle, expected);
        turned.fill(Qt::white);
        drawLayers(turned, WindowTurn({240, 320}, 400, angle).transform());
        int strays = 0, drawnPixels = 0, truePixels = 0;
        std::map<QRgb, int> drawn = colours(turned, expected, strays);
        const std::map<QRgb, int> truth = colours(expected, turned, strays);
        EXPECT_EQ(drawn.size(), truth.size()) << angle;
        for (const auto& [c, count] : truth) {
            EXPECT_NEAR(drawn[c], count, count / 6) << angle << " " << std::hex << c;
            drawnPixels += drawn[c], truePixels += count;
        }
        EXPECT_NEAR(drawnPixels, truePixels, truePixels * 0.06) << angle;
        EXPECT_LT(strays, truePixels / 30) << angle;
    }
}

TEST(RouteHits, NearestRoutePointByGreatCircleFirstOfEqualWins) {
    ViewWorld w;
    EXPECT_EQ(NearestRoutePoint(w.route, {kCentreX, kCentreY}, w.grid), -1);
    const GeodeticPoint here = utm2llh({kCentreX, kCentreY}, w.grid);
    for (const double dLat : {0.02, -0.01, 0.01})
        w.route.points[static_cast<std::size_t>(w.route.count++)] = TrackPoint{0, 0, here.longitude, here.latitude + dLat};
    EXPECT_EQ(NearestRoutePoint(w.route, {kCentreX, kCentreY}, w.grid), 1);
}

// Whatever changed since the last frame, the kept length is the length summed anew.
TEST(RouteHits, RouteDistanceMemoFollowsEveryChange) {
    ViewWorld w;
    for (int i = 0; i < 5; ++i) w.addRoutePoint(10 * i, i * i);
    RouteDistanceMemo memo;
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"nothing", [] {}}, {"a point moved", [&] { w.route.points[3].gridX += 7; }},
        {"a point added", [&] { w.addRoutePoint(0, 0); }}, {"the grid", [&] { w.grid.MercatorGrid = true; }},
        {"the first point", [&] { w.route.points[0].gridY -= 9; }}};
    for (const auto& [name, change] : changes) {
        change();
        for (const auto& [selected, direction] : {std::pair{-1, 0}, {2, 0}, {2, 1}, {-1, 1}})
            EXPECT_EQ(memo(w.route, w.grid, selected, direction), RouteDistance(w.route, w.grid, selected, direction))
                << name << ", selected " << selected << ", direction " << direction;
    }
}

TEST(TargetDistance, MeasuredByGridKindAndWrittenWithTheDigitsItsSizeAllows) {
    GridContext grid;
    EXPECT_DOUBLE_EQ(gridDistance(grid, 500000, 5500000, 503000, 5504000), 5000.0);
    grid.MercatorGrid = true;
    const double y = MercatorY(50.0, grid);
    EXPECT_NEAR(gridDistance(grid, 0, y, 1000, y), 1000.0 * std::cos(50.0 * M_PI / 180.0), 0.5);
    grid = GridContext{.PlateCarreeGrid = true};
    EXPECT_NEAR(gridDistance(grid, 90000, 500000, 90000, 501000), distance(50.0, 9.0, 50.1, 9.0), 1e-6);
    for (const auto& [metres, text] : {std::pair{9500.0, "Ziel: 9.500 km"}, {10000.0, "Ziel: 10.00 km"},
                                       {99999.0, "Ziel: 100.00 km"}, {150000.0, "Ziel: 150.0 km"},
                                       {1000000.0, "Ziel: 1000 km"}})
        EXPECT_EQ(targetDistanceText(metres), text);
}

}  // namespace
}  // namespace vexa::testing
