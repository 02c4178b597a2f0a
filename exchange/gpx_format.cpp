// GPX 1.1: the route as a track with altitudes (a segment per piece), the POIs as waypoints.
#include <cmath>

#include "exchange/export_format.h"
#include "exchange/number_text.h"
#include "routes/poi_record.h"
#include "util/text.h"

namespace vexa {

namespace {

constexpr std::string_view kGpxHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<gpx version=\"1.1\" creator=\"VEXA\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
constexpr std::string_view kGpxTail = "</gpx>\n";

// The schema's ranges: latitude −90..90, longitude −180 up to (not including) 180. A grid
// position that did not convert (latitude 102.4) is left out.
bool inRange(ExportPoint& p) {
    if (p.lon >= 180.0) p.lon -= 360.0;
    return std::fabs(p.lat) <= 90.0 && p.lon >= -180.0 && p.lon < 180.0;
}

// <NAME lat="…" lon="…"><ele>…</ele>
void appendPointStart(std::string& out, std::string_view element, const ExportPoint& p, double ele) {
    out += '<';
    out += element;
    out += " lat=\"";
    appendFixed(out, p.lat, 8);
    out += "\" lon=\"";
    appendFixed(out, p.lon, 8);
    out += "\"><ele>";
    appendFixed(out, ele, ele == std::trunc(ele) ? 0 : 2);
    out += "</ele>";
}

}  // namespace

std::string xmlEscaped(std::string_view text) {
    const std::string valid = validUtf8(text);
    std::string out;
    out.reserve(valid.size());
    for (const char c : valid) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default:
            const auto u = static_cast<unsigned char>(c);
            out += (u < 0x20 && c != '\t' && c != '\n' && c != '\r') ? '?' : c;
        }
    }
    return out;
}

namespace {

void appendTrack(std::string& out, std::span<const ExportPoint> points, std::string_view name) {
    out.reserve(out.size() + points.size() * 80 + 128);
    out += "<trk><name>";
    out += xmlEscaped(name);
    out += "</name>";
    forEachPiece(points, [&](std::size_t begin, std::size_t end) {
        out += "<trkseg>\n";
        for (ExportPoint p : points.subspan(begin, end - begin)) {
            if (!inRange(p)) continue;
            appendPointStart(out, "trkpt", p, p.altitude);
            out += "</trkpt>\n";
        }
        out += "</trkseg>";
    });
    out += "</trk>\n";
}

void appendWaypoints(std::string& out, const PoiTable& pois, const GridContext& grid) {
    for (int i = 0; i < pois.count; ++i) {
        const PoiRecord& poi = pois.records[static_cast<std::size_t>(i)];
        ExportPoint p = exportPosition(poi.gridX, poi.gridY, poi.datumCode, grid);
        if (!inRange(p) || !std::isfinite(poi.altitude)) continue;
        appendPointStart(out, "wpt", p, poi.altitude);
        out += "<name>";
        out += xmlEscaped(poi.name);
        out += "</name></wpt>\n";
    }
}

}  // namespace

std::string routeGpxText(std::span<const ExportPoint> points, std::string_view name) {
    std::string out(kGpxHead);
    appendTrack(out, points, name);
    return out += kGpxTail;
}

std::string poiGpxText(const PoiTable& pois, const GridContext& grid) {
    std::string out(kGpxHead);
    appendWaypoints(out, pois, grid);
    return out += kGpxTail;
}

std::string gpxText(const PoiTable& pois, const GridContext& grid, std::span<const ExportPoint> points,
                    std::string_view name) {
    std::string out(kGpxHead);
    appendWaypoints(out, pois, grid);  // the schema wants waypoints before tracks
    if (!points.empty()) appendTrack(out, points, name);
    return out += kGpxTail;
}

}  // namespace vexa
