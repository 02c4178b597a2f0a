#include "routes/route_hits.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "geo/distance.h"
#include "routes/poi_record.h"
#include "routes/route_table.h"

namespace vexa {

namespace {

constexpr int kHitHalfBox = 3;

bool inHitBox(ScreenPoint p, int x, int y) {
    return p.x - kHitHalfBox <= x && x < p.x + kHitHalfBox && p.y - kHitHalfBox <= y && y < p.y + kHitHalfBox;
}

// The tap in frame pixels: the window shows the frame's middle.
ScreenPoint tapInFrame(const ViewProjection& view, TapWindow window, int x, int y) {
    const int frameW = view.rect.right - view.rect.left, frameH = view.rect.bottom - view.rect.top;
    return {x + (frameW - window.width) / 2, y + (frameH - window.height) / 2};
}

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

}  // namespace

int checkRouteHit(const RouteTable& route, const ViewProjection& view, TapWindow window, int x, int y) {
    const ScreenPoint tap = tapInFrame(view, window, x, y);
    for (int i = 0; i < route.count; ++i) {
        const TrackPoint& p = route.points[static_cast<std::size_t>(i)];
        if (inHitBox(view.project(p.gridX, p.gridY), tap.x, tap.y)) return i;
    }
    return -1;
}

int checkPoiHit(const PoiTable& pois, const ViewProjection& view, TapWindow window, int x, int y) {
    const ScreenPoint tap = tapInFrame(view, window, x, y);
    const int count = std::min(pois.count, static_cast<int>(pois.records.size()));
    for (int i = 0; i < count; ++i) {
        const PoiRecord& p = pois.records[static_cast<std::size_t>(i)];
        if (inHitBox(view.project(p.gridX, p.gridY), tap.x, tap.y)) return i;
    }
    return -1;
}

int NearestRoutePoint(const RouteTable& route, GridPoint position, const GridContext& grid) {
    const GeodeticPoint here = utm2llh(position, grid);
    double best = 999999999.0;
    int nearest = -1;
    for (int i = 0; i < route.count; ++i) {
        const TrackPoint& p = route.points[static_cast<std::size_t>(i)];
        const double d = distance(here.latitude, here.longitude, p.lat, p.lon);
        if (d < best) {
            best = d;
            nearest = i;
        }
    }
    return nearest;
}

namespace {

// The legs RouteDistance sums: those ending at points from … to.
std::pair<int, int> summedLegs(const RouteTable& route, int selected, int direction) {
    const int s = selected >= 0 ? std::min(selected, route.count - 1) : (direction == 0 ? 0 : route.count - 1);
    return {direction == 0 ? s + 1 : 1, direction == 0 ? route.count - 1 : s};
}

}  // namespace

double RouteDistance(const RouteTable& route, const GridContext& grid, int selected, int direction) {
    if (route.count <= 0) return 0.0;
    const auto [from, to] = summedLegs(route, selected, direction);
    double sum = 0.0;
    for (int i = from; i <= to; ++i) {
        const TrackPoint& a = route.points[static_cast<std::size_t>(i - 1)];
        const TrackPoint& b = route.points[static_cast<std::size_t>(i)];
        sum += gridDistance(grid, b.gridX, b.gridY, a.gridX, a.gridY);
    }
    return sum;
}

double RouteDistanceMemo::operator()(const RouteTable& route, const GridContext& grid, int selected, int direction) {
    if (route.count <= 0) return 0.0;
    const auto [from, to] = summedLegs(route, selected, direction);
    const int first = from - 1;
    const auto count = static_cast<std::size_t>(std::max(to - first + 1, 0));
    bool same = first == first_ && count == points_.size() && grid == grid_;
    for (std::size_t i = 0; same && i < count; ++i) {
        const TrackPoint& p = route.points[static_cast<std::size_t>(first) + i];
        same = p.gridX == points_[i].easting && p.gridY == points_[i].northing;
    }
    if (same) return sum_;
    points_.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const TrackPoint& p = route.points[static_cast<std::size_t>(first) + i];
        points_[i] = {p.gridX, p.gridY};
    }
    grid_ = grid;
    first_ = first;
    sum_ = RouteDistance(route, grid, selected, direction);
    return sum_;
}

bool poiIsShown(std::string_view name) {
    const std::string lower = lowered(name);
    return lower != "-deleted-" && lower != "zlastpos";
}

std::string_view poiLabel(std::string_view name) { return name.substr(0, name.find('(')); }

}  // namespace vexa
