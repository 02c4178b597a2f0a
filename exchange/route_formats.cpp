// Route OVL and KML, line for line as the handheld wrote them; a route of several pieces as
// several line symbols or LineStrings.
#include <algorithm>

#include "exchange/export_format.h"
#include "exchange/number_text.h"
#include "geo/grid_refresh.h"
#include "routes/route_table.h"
#include "util/text.h"

namespace vexa {

namespace {

void reportPoint(ExportProgress* progress, std::size_t i, std::size_t count, const std::string& text) {
    if (!progress) return;
    progress->showText(text);
    progress->setPercent(static_cast<int>(i * 100 / count));
}

}  // namespace

ExportPoint exportPosition(double gridX, double gridY, char datumCode, const GridContext& grid) {
    const GeodeticPoint g = storedPointToWgs84(gridX, gridY, datumCode, grid);
    return {g.longitude, g.latitude, 0};
}

std::vector<ExportPoint> routeExportPoints(const RouteTable& route, const GridContext& grid) {
    std::vector<ExportPoint> points;
    points.reserve(static_cast<std::size_t>(route.count));
    for (int i = 0; i < route.count; ++i) {
        const TrackPoint& p = route.points[static_cast<std::size_t>(i)];
        ExportPoint e = exportPosition(p.gridX, p.gridY, p.datumCode, grid);
        e.altitude = p.altitude;
        e.pieceEnd = p.lineKind == LineKind::NotDrawn && i + 1 < route.count;
        points.push_back(e);
    }
    return points;
}

std::string routeOvlText(std::span<const ExportPoint> points, ExportProgress* progress) {
    std::string out;
    out.reserve(points.size() * 48 + 128);
    if (progress) progress->setPercent(0);
    // One line symbol per piece.
    int symbols = 0;
    forEachPiece(points, [&](std::size_t begin, std::size_t end) {
        out += "[Symbol ";
        appendInt(out, ++symbols);
        out += "]\nTyp=3\nCol=3\nZoom=2\nSize=4\nArt=1\nPunkte=";
        appendInt(out, static_cast<long>(end - begin));
        out += '\n';
        for (std::size_t i = begin; i < end; ++i) {
            const ExportPoint& p = points[i];
            const auto n = static_cast<long>(i - begin);
            out += "XKoord";
            appendInt(out, n);
            out += '=';
            appendFixed(out, p.lon, 6);
            out += "\nYKoord";
            appendInt(out, n);
            out += '=';
            appendFixed(out, p.lat, 6);
            out += '\n';
            if (progress)
                reportPoint(progress, i, points.size(), strprintf("XKoord%ld=%.3f YKoord%ld=%.3f", n, p.lon, n, p.lat));
        }
    });
    out += "\n[Overlay]\nSymbols=";
    appendInt(out, symbols);
    out += '\n';
    return out;
}

std::string routeKmlText(std::span<const ExportPoint> points, std::string_view name, double lengthKm,
                         ExportProgress* progress) {
    std::string out(kKmlRootLine);
    out += "<Placemark>\n<name>vexa</name>\n<description>";
    out += xmlEscaped(name);
    out += ' ';
    appendFixed(out, lengthKm, 2);
    out += " km</description>\n"
           "<visibility>1</visibility>\n"
           "<open>1</open>\n"
           "<Style><LineStyle>\n"
           "<color>ff0000ff</color>\n"
           "<width>5</width>\n"
           "</LineStyle></Style>\n";
    out.reserve(out.size() + points.size() * 32 + 64);
    if (progress) progress->setPercent(0);
    // A route of several pieces: one LineString each, held together by a MultiGeometry.
    const bool pieces = std::any_of(points.begin(), points.end(), [](const ExportPoint& p) { return p.pieceEnd; });
    if (pieces) out += "<MultiGeometry>\n";
    forEachPiece(points, [&](std::size_t begin, std::size_t end) {
        out += "<LineString>\n"
               "<extrude>1</extrude><tessellate>1</tessellate>\n"
               "<altitudeMode>clampedToGround</altitudeMode>\n"
               "<coordinates>\n";
        for (std::size_t i = begin; i < end; ++i) {
            const ExportPoint& p = points[i];
            appendFixed(out, p.lon, 8);
            out += ',';
            appendFixed(out, p.lat, 8);
            out += ',';
            appendInt(out, p.altitude);
            out += '\n';
            if (progress) reportPoint(progress, i, points.size(), strprintf("%8.8f,%8.8f", p.lon, p.lat));
        }
        out += "</coordinates>\n</LineString>";
    });
    if (pieces) out += "\n</MultiGeometry>";
    out += "</Placemark>\n</kml>\n";
    return out;
}

}  // namespace vexa
