// The export file formats as text: route OVL, KML and GPX, POI CSV, KML and GPX. Pure
// functions of their records; the files are written by route_export / poi_export.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

struct DateTime;
struct GridContext;
struct PoiRecord;
struct PoiTable;
struct RouteTable;

// The progress bar (0..100) and the text shown on the screen while an export runs.
class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    virtual void setPercent(int percent) = 0;
    virtual void showText(std::string_view text) = 0;
};

// A point as it is written: WGS84 degrees and whole metres. `pieceEnd`: the leg from this
// point on is not drawn, so the next point begins a new track segment or line.
struct ExportPoint {
    double lon = 0.0;
    double lat = 0.0;
    int altitude = 0;
    bool pieceEnd = false;
};

// The WGS84 position of a stored point, from its grid position: the grid's inverse, then for
// datum codes '0' and '3' the shift from the local datum the grid selects.
ExportPoint exportPosition(double gridX, double gridY, char datumCode, const GridContext& grid);
std::vector<ExportPoint> routeExportPoints(const RouteTable& route, const GridContext& grid);

// Calls `piece(begin, end)` for each piece of the route: the points up to a piece end.
template <typename Piece>
void forEachPiece(std::span<const ExportPoint> points, Piece piece) {
    std::size_t begin = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!points[i].pieceEnd && i + 1 < points.size()) continue;
        piece(begin, i + 1);
        begin = i + 1;
    }
}

std::string routeOvlText(std::span<const ExportPoint> points, ExportProgress* progress);
// `lengthKm` goes into the description after the name.
std::string routeKmlText(std::span<const ExportPoint> points, std::string_view name, double lengthKm,
                         ExportProgress* progress);
std::string routeGpxText(std::span<const ExportPoint> points, std::string_view name);

// Every table entry, deleted ones included. The CSV is Latin-1.
std::string poiCsvText(const PoiTable& pois, ExportProgress* progress);
std::string poiKmlText(const PoiTable& pois, const GridContext& grid, const DateTime& local,
                       ExportProgress* progress);
std::string poiGpxText(const PoiTable& pois, const GridContext& grid);
// Both in one file: the waypoints, then the track (left out when there are no points).
std::string gpxText(const PoiTable& pois, const GridContext& grid, std::span<const ExportPoint> points,
                    std::string_view name);

// The first line of both KML files: the root element with the KML 2.0 namespace.
inline constexpr std::string_view kKmlRootLine = "<kml xmlns='http://earth.google.com/kml/2.0'>\n";

// Text for XML content and attributes: well-formed UTF-8, markup characters escaped, control
// characters (not allowed in XML) replaced.
std::string xmlEscaped(std::string_view text);

}  // namespace vexa
