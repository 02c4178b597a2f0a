// The handheld's KML reader: the file searched as plain text. Used for files that are not
// well-formed XML.
#include "exchange/kml_reader.h"
#include "exchange/route_import.h"
#include "util/diagnostic_text.h"
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

// The next occurrence of a marker at or after a position that only moves forward. The last
// answer is kept, so a file with thousands of pieces and a missing end tag is searched once,
// not once per piece.
class Marker {
public:
    Marker(std::string_view text, std::string_view marker) : text_(text), marker_(marker) {}
    std::size_t from(std::size_t pos) {
        if (found_ == npos || found_ < pos) found_ = searched_ ? npos : text_.find(marker_, pos);
        searched_ = found_ == npos;
        return found_;
    }

private:
    std::string_view text_;
    std::string_view marker_;
    std::size_t found_ = npos;
    bool searched_ = false;  // no further occurrence
};

// The "<coordinates>" of the LineString that opens at `line`, when it lies before that
// LineString's end.
std::size_t coordinatesOf(Marker& lineClose, Marker& coordOpen, std::size_t line) {
    const std::size_t close = lineClose.from(line);
    const std::size_t coordinates = coordOpen.from(line);
    if (coordinates == npos || (close != npos && coordinates > close)) return npos;
    return coordinates;
}

}  // namespace

bool ParseKMLText(std::string_view bytes, ImportTarget& target) {
    clearImportedRoute(target);
    Marker lineOpen(bytes, kLineOpen), lineClose(bytes, kLineClose), coordOpen(bytes, kCoordOpen),
        coordClose(bytes, kCoordClose);
    std::size_t line = lineOpen.from(0);
    std::size_t coordinates = line == npos ? npos : coordinatesOf(lineClose, coordOpen, line);
    if (coordinates == npos) {
        reportImport(target, ImportProblem::NoRoute, kKmlNoRoute, kKmlCaption);
        return false;
    }
    int piece = 0;
    bool more = true;
    while (coordinates != npos && more) {
        const std::size_t start = coordinates + kCoordOpen.size();
        const std::size_t end = coordClose.from(start);
        if (end == npos) {
            reportImport(target, ImportProblem::UnclosedCoordinates,
                         "KML Format nicht erkannt\n<coordinates> nicht gefunden", kKmlCaption);
            return target.route.count > 0;
        }
        kmlPieceStarted(target, ++piece);
        forEachPartOutsideComments(bytes.substr(start, end - start),
                                   [&](std::string_view part) { return more = addCoordinates(target, part); });
        line = lineOpen.from(end + kCoordClose.size());
        coordinates = line == npos ? npos : coordinatesOf(lineClose, coordOpen, line);
    }
    kmlFinished(target);
    return target.route.count > 0;
}

}  // namespace vexa
