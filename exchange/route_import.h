// What the route readers share: where imported points go and how each is stored.
#pragma once

#include <cstddef>
#include <string_view>

namespace vexa {

class Ui;
class DiagnosticText;
struct GridContext;
struct RouteTable;

// What a reader found wrong with a file, kept beside the message the user sees, for callers
// that say it in words of their own.
enum class ImportProblem {
    None,
    NotXml,               // not well-formed XML (GPX)
    BinaryOverlay,        // an overlay in the binary format, not a text overlay
    NoRoute,              // nothing in the file makes a route
    UnclosedCoordinates,  // KML read as text: a <coordinates> without its end; the pieces before it stay
    RouteCut,             // more positions than the route takes: it holds the first 4000
};

// The records a reader fills and reports to.
struct ImportTarget {
    RouteTable& route;
    const GridContext& grid;
    Ui& ui;
    DiagnosticText& diagnostics;
    // Positions the file offered so far, also those that did not fit: more than the route's
    // capacity means that the route was cut (a file of exactly 4000 points was not).
    std::size_t offered = 0;
    // Reading goes on past a full route, counting the positions (to learn `spreadOver`).
    bool countAll = false;
    // The number of positions the file holds, when it is more than the route takes: the route
    // keeps 4000 of them spread evenly, first and last included.
    std::size_t spreadOver = 0;
    // The next stored point begins a new piece (a GPX track segment, a KML LineString, an OVL
    // line): the leg that joins it to the previous piece is not drawn.
    bool newPiece = false;
    // The last problem the reader reported.
    ImportProblem problem = ImportProblem::None;
};

// Empties the route before a reader fills it.
void clearImportedRoute(ImportTarget& target);

// Appends one WGS84 position to the route, as every reader stores it: on a local-datum grid
// shifted to that datum (code '0' or '3'), grid position from the grid in force, line kind 0.
// Positions outside ±180/±90 are not positions and are passed over. Returns false when the
// reader should stop: the route is full (and neither `countAll` nor `spreadOver` is set).
bool addImportedPoint(ImportTarget& target, double lon, double lat, int altitude);

bool routeFull(const ImportTarget& target);
// The file held more positions than the route took, and the route was not thinned.
bool routeCut(const ImportTarget& target);

// The index of the k-th of `capacity` items spread evenly over `total` (> capacity) items;
// the first is 0, the last total − 1.
std::size_t evenlySpreadIndex(std::size_t k, std::size_t total, std::size_t capacity);

// A message box that also goes to the diagnostic text; the problem is kept in the target.
void reportImport(ImportTarget& target, ImportProblem problem, std::string_view text, std::string_view caption);
// When the route was cut, "<fileKind> hat mehr als 4000 Punkte" and the problem RouteCut;
// returns whether it was.
bool reportRouteCut(ImportTarget& target, const char* fileKind);

}  // namespace vexa
