// Route OVL and KML, line for line as the handheld wrote them.
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
        points.push_back(e);
    }
    return points;
}

std::string routeOvlText(std::span<const ExportPoint> points, ExportProgress* progress) {
    std::string out = "[Symbol 1]\nTyp=3\nCol=3\nZoom=2\nSize=4\nArt=1\nPunkte=";
    appendInt(out, static_cast<long>(points.size()));
    out += '\n';
    out.reserve(out.size() + points.size() * 48 + 32);
    if (progress) progress->setPercent(0);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ExportPoint& p = points[i];
        out += "XKoord";
        appendInt(out, static_cast<long>(i));
        out += '=';
        appendFixed(out, p.lon, 6, 8);
        out += "\nYKoord";
        appendInt(out, static_cast<long>(i));
        out += '=';
        appendFixed(out, p.lat, 6, 8);
        out += '\n';
        if (progress)
            reportPoint(progress, i, points.size(),
                        strprintf("XKoord%zu=%.3f YKoord%zu=%.3f", i, p.lon, i, p.lat));
    }
    out += "\n[Overlay]\nSymbols=1\n";
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
           "</LineStyle></Style>\n"
           "<LineString>\n"
           "<extrude>1</extrude><tessellate>1</tessellate>\n"
           "<altitudeMode>clampedToGround</altitudeMode>\n"
           "<coordinates>\n";
    out.reserve(out.size() + points.size() * 32 + 64);
    if (progress) progress->setPercent(0);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ExportPoint& p = points[i];
        appendFixed(out, p.lon, 8, 8);
        out += ',';
        appendFixed(out, p.lat, 8, 8);
        out += ',';
        appendInt(out, p.altitude);
        out += '\n';
        if (progress) reportPoint(progress, i, points.size(), strprintf("%8.8f,%8.8f", p.lon, p.lat));
    }
    out += "</coordinates>\n</LineString></Placemark>\n</kml>\n";
    return out;
}

}  // namespace vexa
