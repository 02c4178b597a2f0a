// Records the exchange readers and writers work on: a route, a grid, the scripted user and
// the diagnostic text, and small helpers to build files.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "exchange/route_import.h"
#include "util/diagnostic_text.h"
#include "geo/grid_context.h"
#include "platform/testing/scripted_ui.h"
#include "routes/route_table.h"

namespace vexa::testing {

struct ExchangeFixture {
    std::unique_ptr<RouteTable> route = std::make_unique<RouteTable>();
    GridContext grid;  // UTM zone 32 on WGS84
    ScriptedUi ui;
    DiagnosticText diagnostics;
    ImportTarget target{*route, grid, ui, diagnostics};

    const TrackPoint& point(int i) const { return route->points[static_cast<std::size_t>(i)]; }
    // The message texts shown, in order.
    std::vector<std::string> messages() const;
    // Whether the diagnostic text holds the line.
    bool diagnosed(const std::string& line) const;
    // A route of points (lon, lat, altitude) as the readers store them.
    void setRoute(const std::vector<std::array<double, 3>>& points);
};

// A KML document with one LineString per coordinates text.
std::string kmlWithLines(const std::vector<std::string>& coordinates);
// "lon,lat,alt\n" for `count` points along a line from (9.0, 53.0).
std::string coordinateLines(int count);

}  // namespace vexa::testing
