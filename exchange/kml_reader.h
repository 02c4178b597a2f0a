// Route import from KML: `ParseKML` reads the file as XML; a file that is not well-formed XML
// is searched as text the way the handheld did (`ParseKMLText`), so everything it read still
// reads. Both replace the route (emptied first) and give the same messages.
#pragma once

#include <string_view>

namespace vexa {

struct ImportTarget;

// Every LineString of the document in document order (Folders, MultiGeometry), one piece
// after the other; the points of gx:Track elements only when there is no LineString. Returns
// whether the route got points.
bool ParseKML(std::string_view bytes, ImportTarget& target);

// The text search: "<LineString>" … "<coordinates>" … "</coordinates>" blocks in order.
bool ParseKMLText(std::string_view bytes, ImportTarget& target);

// The pieces of the messages both readers give.
inline constexpr std::string_view kKmlCaption = "ParseKML";
inline constexpr std::string_view kKmlNoRoute = "Die KML Datei enthält keine Route";

// Adds the positions of one coordinates text (KML precision); false once the route is full.
bool addCoordinates(ImportTarget& target, std::string_view text);

// "ParseKML %d. Teilroute" to the diagnostic text; at the end the message for a full route,
// or "keine Route" when the coordinates held no position at all.
void kmlPieceStarted(ImportTarget& target, int piece);
void kmlFinished(ImportTarget& target);

}  // namespace vexa
