#include "exchange/kml_reader.h"

#include <cmath>
#include <optional>
#include <vector>

#include "exchange/coordinate_tuples.h"
#include "exchange/number_text.h"
#include "exchange/route_import.h"
#include "exchange/xml_document.h"
#include "util/diagnostic_text.h"
#include "routes/route_table.h"
#include "util/text.h"

namespace vexa {

namespace {

// The text pieces of an element one by one (a comment between them separates like a line
// break), without copying what may be most of a large file.
// Whether an element's text (CDATA included) holds a digit at all: a LineString of blanks is
// no line.
bool holdsNumbers(const pugi::xml_node& element) {
    for (const pugi::xml_node child : element.children()) {
        if (child.type() != pugi::node_pcdata && child.type() != pugi::node_cdata) continue;
        for (const char* c = child.value(); *c; ++c)
            if (*c >= '0' && *c <= '9') return true;
    }
    return false;
}

bool addElementCoordinates(ImportTarget& target, const pugi::xml_node& element) {
    for (const pugi::xml_node child : element.children()) {
        if (child.type() != pugi::node_pcdata && child.type() != pugi::node_cdata) continue;
        if (!addCoordinates(target, child.value())) return false;
    }
    return true;
}

// The position of a Point and the name of its Placemark, as a POI; none when the Point holds
// no position.
std::optional<PoiRecord> placemarkPoint(const pugi::xml_node& point) {
    std::optional<PoiRecord> poi;
    const pugi::xml_node coordinates = childNamed(point, "coordinates");
    if (!coordinates) return poi;
    readCoordinateTuples(elementText(coordinates), [&](double lon, double lat, double alt) {
        if (!(std::fabs(lon) <= 180.0 && std::fabs(lat) <= 90.0)) return true;
        poi.emplace();
        poi->datumCode = kDatumWgs84;
        poi->lon = lon;
        poi->lat = lat;
        poi->altitude = alt;
        return false;
    });
    if (poi) poi->name = poiNameOf(point.parent());  // the Placemark's name
    return poi;
}

}  // namespace

bool addCoordinates(ImportTarget& target, std::string_view text) {
    bool more = true;
    readCoordinateTuples(text, [&](double lon, double lat, double alt) {
        return more = addImportedPoint(target, lon, lat, truncatedMetres(alt));
    });
    return more;
}

void kmlPieceStarted(ImportTarget& target, int piece) {
    AddNmeaListLine(target.diagnostics, strprintf("ParseKML %d. Teilroute", piece));
    target.newPiece = true;
}

void kmlFinished(ImportTarget& target) {
    reportRouteCut(target, "KML");
    // Coordinates blocks without a single position: there is no route in the file either.
    if (target.route.count == 0) reportImport(target, ImportProblem::NoRoute, kKmlNoRoute, kKmlCaption);
}

bool ParseKML(std::string_view bytes, ImportTarget& target, std::vector<PoiRecord>* waypoints) {
    target.diagnostics.setCurrentOperation("ParseKML");
    pugi::xml_document doc;
    if (!loadXml(doc, bytes)) {
        doc.reset();  // the parser's copy of the file goes before the text search
        return ParseKMLText(bytes, target);
    }

    std::vector<pugi::xml_node> lines;
    std::vector<pugi::xml_node> tracks;
    std::vector<PoiRecord> points;
    bool anyLineString = false;
    forEachElement(doc, [&](const pugi::xml_node& node) {
        const std::string_view name = localName(node);
        if (name == "Point") {
            if (auto poi = placemarkPoint(node)) points.push_back(std::move(*poi));
            return false;
        }
        if (name == "LineString") {
            anyLineString = true;
            const pugi::xml_node coordinates = childNamed(node, "coordinates");
            if (coordinates && holdsNumbers(coordinates)) lines.push_back(coordinates);
            return false;
        }
        if (name == "Track") {
            tracks.push_back(node);
            return false;
        }
        return true;
    });
    if (lines.empty() && tracks.empty() && !anyLineString && !points.empty() && waypoints) {
        *waypoints = std::move(points);  // a waypoint file
        return false;
    }
    clearImportedRoute(target);
    if (lines.empty() && tracks.empty()) {
        reportImport(target, ImportProblem::NoRoute, kKmlNoRoute, kKmlCaption);
        return false;
    }

    int piece = 0;
    if (!lines.empty()) {
        for (const pugi::xml_node& coordinates : lines) {
            kmlPieceStarted(target, ++piece);
            if (!addElementCoordinates(target, coordinates)) break;
        }
    } else {
        // An exported track often holds the same path as a LineString too; it is taken only
        // when no LineString holds a point, so it never comes in twice.
        for (const pugi::xml_node& track : tracks) {
            kmlPieceStarted(target, ++piece);
            bool room = true;
            for (const pugi::xml_node coord : track.children()) {
                if (coord.type() != pugi::node_element || localName(coord) != "coord") continue;
                if (!(room = addElementCoordinates(target, coord))) break;
            }
            if (!room) break;
        }
    }
    kmlFinished(target);
    return target.route.count > 0;
}

}  // namespace vexa
