#include "exchange/ovl_reader.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "exchange/number_text.h"
#include "exchange/route_import.h"
#include "routes/route_table.h"

namespace vexa {

namespace {

// The next line of `rest`, without its "\n" or "\r\n"; `rest` moves past it.
std::string_view nextLine(std::string_view& rest) {
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// The number after the line's first "=".
bool valueOf(std::string_view line, double& value) {
    const std::size_t eq = line.find('=');
    return eq != std::string_view::npos && readLeadingNumber(line.substr(eq + 1), value);
}

// Binary overlays (the format of the map programs' own files) hold zero bytes near the start;
// text overlays never do.
bool looksBinary(std::string_view bytes) {
    return bytes.substr(0, 4096).find('\0') != std::string_view::npos;
}

// The number after "XKoord", the point's place in its symbol.
long indexOf(std::string_view line) {
    double index = 0.0;
    std::size_t pos = 6;
    return scanNumber(line, pos, index) && std::fabs(index) < 1e9 ? static_cast<long>(index) : 0;
}

struct OvlPoint {
    long index;
    double lon;
    double lat;
};

// A "[Symbol n]" section, or the lines before the first section.
struct OvlSymbol {
    int type = 0;  // Typ=: 3 a line, 4 a closed line (area); 0 when the section names none
    std::vector<OvlPoint> points;

    // Rectangles, circles, text labels and pictures are no part of a route.
    bool isLine() const { return type == 0 || type == 3 || type == 4; }

    // Its points in their numbered order as one piece of the route; false once the route is full.
    bool addTo(ImportTarget& target) {
        std::stable_sort(points.begin(), points.end(),
                         [](const OvlPoint& a, const OvlPoint& b) { return a.index < b.index; });
        target.newPiece = true;
        for (const OvlPoint& p : points)
            if (!addImportedPoint(target, p.lon, p.lat, 0)) return false;
        return true;
    }
};

}  // namespace

bool parseOVL(std::string_view bytes, ImportTarget& target) {
    clearImportedRoute(target);
    if (looksBinary(bytes)) {
        reportImport(target, ImportProblem::BinaryOverlay,
                     "Binäre Overlay Datei: nur Text-Overlays mit XKoord/YKoord können gelesen werden",
                     kOvlCaption);
        return false;
    }
    // One symbol at a time: its Typ may follow its points, and only lines belong to the route.
    OvlSymbol symbol;
    bool more = true;
    const auto endSymbol = [&] {
        if (more && symbol.isLine()) more = symbol.addTo(target);
        symbol = OvlSymbol{};
    };
    std::string_view rest = bytes;
    while (!rest.empty() && more) {
        const std::string_view line = nextLine(rest);
        if (line.starts_with("[")) {
            endSymbol();
            continue;
        }
        if (line.starts_with("Typ=")) {
            double type = 0.0;
            if (valueOf(line, type)) symbol.type = static_cast<int>(type);
            continue;
        }
        if (!line.starts_with("XKoord")) continue;
        double lon = 0.0;
        const bool haveLon = valueOf(line, lon);
        // The very next line must hold the latitude; otherwise it is looked at afresh.
        std::string_view after = rest;
        const std::string_view next = nextLine(after);
        if (!next.starts_with("YKoord")) continue;
        rest = after;
        double lat = 0.0;
        if (haveLon && valueOf(next, lat)) symbol.points.push_back({indexOf(line), lon, lat});
    }
    endSymbol();
    if (!reportRouteCut(target, "Overlay") && target.route.count == 0)
        reportImport(target, ImportProblem::NoRoute, "Die Overlay Datei enthält keine Route", kOvlCaption);
    return target.route.count > 0;
}

}  // namespace vexa
