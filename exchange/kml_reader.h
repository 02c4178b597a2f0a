// Route import from KML: `ParseKML` reads the file as XML; a file that is not well-formed XML
// is searched as text the way the handheld did (`ParseKMLText`), so everything it read still
// reads. Both replace the route (emptied first) and give the same messages.
#pragma once

#include <string_view>
#include <vector>

#include "routes/poi_record.h"

namespace vexa {

struct ImportTarget;

// Every LineString of the document in document order (Folders, MultiGeometry), each a piece
// of its own; the points of gx:Track elements only when there is no LineString. A document of
// Points only (a waypoint file) leaves the route alone and gives its Placemarks as POIs to
// `waypoints` (WGS84, code '2', grid position not yet computed) when that is given. Returns
// whether the route got points.
bool ParseKML(std::string_view bytes, ImportTarget& target, std::vector<PoiRecord>* waypoints = nullptr);

// The text search: "<LineString>" … "<coordinates>" … "</coordinates>" blocks in order.
bool ParseKMLText(std::string_view bytes, ImportTarget& target);

// The pieces of the messages both readers give.
inline constexpr std::string_view kKmlCaption = "ParseKML";
inline constexpr std::string_view kKmlNoRoute = "Die KML Datei enthält keine Route";

// Adds the positions of one coordinates text; false once the route is full.
bool addCoordinates(ImportTarget& target, std::string_view text);

// "ParseKML %d. Teilroute" to the diagnostic text, and the next point begins a new piece; at
// the end the message for a route that was cut,
// or "keine Route" when the coordinates held no position at all.
void kmlPieceStarted(ImportTarget& target, int piece);
void kmlFinished(ImportTarget& target);

}  // namespace vexa
