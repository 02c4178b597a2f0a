// The handheld's KML reader: the file searched as plain text. Used for files that are not
// well-formed XML.
#include "exchange/kml_reader.h"
#include "exchange/route_import.h"
#include "frame/diagnostics.h"
#include "routes/route_table.h"

namespace vexa {

namespace {

constexpr std::string_view kLineOpen = "<LineString>";
constexpr std::string_view kLineClose = "</LineString>";
constexpr std::string_view kCoordOpen = "<coordinates>";
constexpr std::string_view kCoordClose = "</coordinates>";
constexpr std::size_t npos = std::string_view::npos;

// Calls `part` for each piece of the coordinates text between XML comments, until it returns
// false (a comment separates like a line break).
template <typename Part>
void forEachPartOutsideComments(std::string_view text, Part part) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find("<!--", pos);
        if (!part(text.substr(pos, open == npos ? npos : open - pos)) || open == npos) return;
        const std::size_t close = text.find("-->", open + 4);
        pos = close == npos ? text.size() : close + 3;
    }
}

// The "<coordinates>" of the LineString that opens at `line`, when it lies before that
// LineString's end.
std::size_t coordinatesOf(std::string_view bytes, std::size_t line) {
    const std::size_t close = bytes.find(kLineClose, line);
    const std::size_t coordinates = bytes.find(kCoordOpen, line);
    if (coordinates == npos || (close != npos && coordinates > close)) return npos;
    return coordinates;
}

}  // namespace

bool ParseKMLText(std::string_view bytes, ImportTarget& target) {
    target.route.count = 0;
    std::size_t line = bytes.find(kLineOpen);
    std::size_t coordinates = line == npos ? npos : coordinatesOf(bytes, line);
    if (coordinates == npos) {
        reportImport(target, kKmlNoRoute, kKmlCaption);
        return false;
    }
    int piece = 0;
    while (coordinates != npos && !routeFull(target)) {
        const std::size_t start = coordinates + kCoordOpen.size();
        const std::size_t end = bytes.find(kCoordClose, start);
        if (end == npos) {
            reportImport(target, "KML Format nicht erkannt\n<coordinates> nicht gefunden", kKmlCaption);
            return target.route.count > 0;
        }
        kmlPieceStarted(target, ++piece);
        forEachPartOutsideComments(bytes.substr(start, end - start),
                                   [&](std::string_view part) { return addCoordinates(target, part); });
        line = bytes.find(kLineOpen, end + kCoordClose.size());
        coordinates = line == npos ? npos : coordinatesOf(bytes, line);
    }
    kmlFinished(target);
    return target.route.count > 0;
}

}  // namespace vexa
