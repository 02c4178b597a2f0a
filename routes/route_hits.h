// Which route point or POI lies under a tap, which route point is nearest a position, how
// long the route is from or to its selected point, and which POIs are drawn with what label.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "geo/grid.h"
#include "routes/route_geometry.h"

namespace vexa {

struct PoiTable;
struct RouteTable;

// The visible part of the map window, centred in the frame.
struct TapWindow {
    int width = 400;
    int height = 400;
};

// The first route point (POI) whose box from −3 to +3 pixels (right and bottom exclusive)
// holds the tap at window pixel (x, y), or −1.
int checkRouteHit(const RouteTable& route, const ViewProjection& view, TapWindow window, int x, int y);
int checkPoiHit(const PoiTable& pois, const ViewProjection& view, TapWindow window, int x, int y);

// The route point nearest to the grid position by great-circle distance; −1 for no route.
int NearestRoutePoint(const RouteTable& route, GridPoint position, const GridContext& grid);

// Direction 0: the legs from the last point down to `selected` (the way still to go);
// direction 1: from point 0 up to `selected`. −1 selects the whole route. Metres.
double RouteDistance(const RouteTable& route, const GridContext& grid, int selected, int direction);

// RouteDistance for a view drawn frame after frame: the last answer is kept with the points
// and the grid it was summed over, and summed anew only when the legs asked for or the grid
// differ from those (any edit of the route shows there, wherever it was made).
class RouteDistanceMemo {
public:
    double operator()(const RouteTable& route, const GridContext& grid, int selected, int direction);

private:
    std::vector<GridPoint> points_;  // the points the legs of the kept sum join
    GridContext grid_{};
    int first_ = -1;  // the route index of points_[0]
    double sum_ = 0.0;
};

// Neither "-deleted-" nor the stored last position, in any letter case.
bool poiIsShown(std::string_view name);
// The name up to its first "(".
std::string_view poiLabel(std::string_view name);

}  // namespace vexa
