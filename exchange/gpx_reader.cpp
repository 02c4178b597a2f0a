#include "exchange/gpx_reader.h"

#include "exchange/number_text.h"
#include "exchange/route_import.h"
#include "exchange/xml_document.h"
#include "util/diagnostic_text.h"
#include "routes/route_table.h"
#include "util/text.h"

namespace vexa {

namespace {

constexpr std::string_view kGpxNoRoute = "Die GPX Datei enthält keine Route";

struct GpxPoint {
    double lon = 0.0;
    double lat = 0.0;
    double ele = 0.0;
};

bool readPoint(const pugi::xml_node& node, GpxPoint& p) {
    if (!readLeadingNumber(node.attribute("lat").value(), p.lat) ||
        !readLeadingNumber(node.attribute("lon").value(), p.lon))
        return false;
    p.ele = 0.0;
    if (const pugi::xml_node ele = childNamed(node, "ele"))
        if (!readLeadingNumber(elementText(ele), p.ele)) p.ele = 0.0;
    return true;
}

PoiRecord waypointOf(const pugi::xml_node& node, const GpxPoint& p) {
    PoiRecord poi;
    poi.name = poiNameOf(node);
    poi.datumCode = kDatumWgs84;
    poi.lon = p.lon;
    poi.lat = p.lat;
    poi.altitude = p.ele;
    return poi;
}

}  // namespace

GpxContent ParseGPX(std::string_view bytes, ImportTarget& target) {
    target.diagnostics.setCurrentOperation("ParseGPX");
    GpxContent content;
    pugi::xml_document doc;
    if (!loadXml(doc, bytes)) {
        reportImport(target, ImportProblem::NotXml, "Die GPX Datei ist kein gültiges XML", kGpxCaption);
        return content;
    }
    // Track segments, else routes: each is one piece of the route.
    std::vector<pugi::xml_node> trackSegments, routes;
    forEachElement(doc, [&](const pugi::xml_node& node) {
        const std::string_view name = localName(node);
        if (name == "trkseg") trackSegments.push_back(node);
        else if (name == "rte") routes.push_back(node);
        else if (name == "wpt") {
            GpxPoint p;
            if (readPoint(node, p)) content.waypoints.push_back(waypointOf(node, p));
        } else {
            return true;
        }
        return false;
    });
    const bool tracks = !trackSegments.empty();
    const std::vector<pugi::xml_node>& pieces = tracks ? trackSegments : routes;
    const char* pointName = tracks ? "trkpt" : "rtept";
    bool anyPoint = false;
    for (const pugi::xml_node& piece : pieces) anyPoint = anyPoint || childNamed(piece, pointName);
    if (!anyPoint) {
        if (content.waypoints.empty())
            reportImport(target, ImportProblem::NoRoute, kGpxNoRoute, kGpxCaption);
        return content;
    }

    clearImportedRoute(target);
    int number = 0;
    bool more = true;
    for (const pugi::xml_node& piece : pieces) {
        AddNmeaListLine(target.diagnostics, strprintf("ParseGPX %d. Teilroute", ++number));
        target.newPiece = true;
        for (const pugi::xml_node node : piece.children()) {
            if (node.type() != pugi::node_element || localName(node) != pointName) continue;
            GpxPoint p;
            if (!readPoint(node, p)) continue;
            if (!(more = addImportedPoint(target, p.lon, p.lat, truncatedMetres(p.ele)))) break;
        }
        if (!more) break;
    }
    reportRouteCut(target, "GPX");
    // Points none of which can be read make no route either.
    if (target.route.count == 0 && content.waypoints.empty())
        reportImport(target, ImportProblem::NoRoute, kGpxNoRoute, kGpxCaption);
    content.routePoints = target.route.count;
    return content;
}

}  // namespace vexa
