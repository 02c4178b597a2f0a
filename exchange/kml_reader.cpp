#include "exchange/kml_reader.h"

#include <vector>

#include "exchange/coordinate_tuples.h"
#include "exchange/number_text.h"
#include "exchange/route_import.h"
#include "exchange/xml_document.h"
#include "util/diagnostic_text.h"
#include "platform/ui.h"
#include "routes/route_table.h"
#include "util/text.h"

namespace vexa {

namespace {

// The text pieces of an element one by one (a comment between them separates like a line
// break), without copying what may be most of a large file.
bool addElementCoordinates(ImportTarget& target, const pugi::xml_node& element) {
    for (const pugi::xml_node child : element.children()) {
        if (child.type() != pugi::node_pcdata && child.type() != pugi::node_cdata) continue;
        if (!addCoordinates(target, child.value())) return false;
    }
    return true;
}

}  // namespace

bool addCoordinates(ImportTarget& target, std::string_view text) {
    readCoordinateTuples(text, [&](double lon, double lat, double alt) {
        return addImportedPoint(target, lon, lat, truncatedMetres(alt), true) && !routeFull(target);
    });
    return !routeFull(target);
}

void kmlPieceStarted(ImportTarget& target, int piece) {
    AddNmeaListLine(target.diagnostics, strprintf("ParseKML %d. Teilroute", piece));
}

void kmlFinished(ImportTarget& target) {
    if (routeFull(target)) target.ui.messageBox(strprintf("KML hat mehr als %d Punkte", kRouteCapacity), "");
    // Coordinates blocks without a single position: there is no route in the file either.
    if (target.route.count == 0) reportImport(target, kKmlNoRoute, kKmlCaption);
}

bool ParseKML(std::string_view bytes, ImportTarget& target) {
    target.diagnostics.setCurrentOperation("ParseKML");
    pugi::xml_document doc;
    if (!loadXml(doc, bytes)) {
        doc.reset();  // the parser's copy of the file goes before the text search
        return ParseKMLText(bytes, target);
    }

    target.route.count = 0;
    std::vector<pugi::xml_node> lines;
    std::vector<pugi::xml_node> tracks;
    bool anyLineString = false;
    forEachElement(doc, [&](const pugi::xml_node& node) {
        const std::string_view name = localName(node);
        if (name == "LineString") {
            anyLineString = true;
            if (const pugi::xml_node coordinates = childNamed(node, "coordinates")) lines.push_back(coordinates);
            return false;
        }
        if (name == "Track") {
            tracks.push_back(node);
            return false;
        }
        return true;
    });
    if (lines.empty() && (anyLineString || tracks.empty())) {
        reportImport(target, kKmlNoRoute, kKmlCaption);
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
        // when there is none, so it never comes in twice.
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
