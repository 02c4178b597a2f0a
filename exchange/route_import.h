// What the route readers share: where imported points go and how each is stored.
#pragma once

#include <string_view>

namespace vexa {

class Ui;
class DiagnosticText;
struct GridContext;
struct RouteTable;

// The records a reader fills and reports to.
struct ImportTarget {
    RouteTable& route;
    const GridContext& grid;
    Ui& ui;
    DiagnosticText& diagnostics;
};

// Appends one WGS84 position to the route, as every reader stores it: on a local-datum grid
// shifted to that datum (code '0' or '3'), grid position from the grid in force, line kind 0.
// `keepAsFloat`: KML and OVL keep longitude and latitude in single precision, as the handheld
// did.
// Positions outside ±180/±90 are not positions and are passed over. Returns false when the
// route is full.
bool addImportedPoint(ImportTarget& target, double lon, double lat, int altitude, bool keepAsFloat);

bool routeFull(const ImportTarget& target);

// A message box that also goes to the diagnostic text.
void reportImport(ImportTarget& target, std::string_view text, std::string_view caption);

}  // namespace vexa
