// POI CSV (Latin-1, the format of the POI import, with a header line) and KML.
#include "exchange/export_format.h"
#include "exchange/number_text.h"
#include "platform/clock.h"
#include "routes/poi_record.h"
#include "routes/poi_text.h"
#include "util/text.h"

namespace vexa {

namespace {

void reportPoi(ExportProgress* progress, int i, int count, const PoiRecord& poi) {
    if (!progress) return;
    progress->setPercent(i * 100 / count);
    progress->showText(strprintf("%d %s", i, poi.name.c_str()));
}

}  // namespace

std::string poiCsvText(const PoiTable& pois, ExportProgress* progress) {
    std::string out(kPoiTextHeader);
    for (int i = 0; i < pois.count; ++i) {
        const PoiRecord& poi = pois.records[static_cast<std::size_t>(i)];
        out += poiTextName(utf8ToLatin1(poi.name));
        out += ';';
        out += poi.datumCode;
        out += ';';
        appendFixed(out, poi.lon, 5);
        out += ';';
        appendFixed(out, poi.lat, 5);
        out += ';';
        appendFixed(out, poi.altitude, 0);
        out += '\n';
        reportPoi(progress, i, pois.count, poi);
    }
    return out;
}

std::string poiKmlText(const PoiTable& pois, const GridContext& grid, const DateTime& local,
                       ExportProgress* progress) {
    std::string out(kKmlRootLine);
    out += strprintf("<Folder><name>vexa pois %4d%02d%02d %02d%02d</name>\n", local.year, local.month,
                     local.day, local.hour, local.minute);
    if (progress) progress->setPercent(0);
    for (int i = 0; i < pois.count; ++i) {
        const PoiRecord& poi = pois.records[static_cast<std::size_t>(i)];
        const ExportPoint p = exportPosition(poi.gridX, poi.gridY, poi.datumCode, grid);
        out += "<Placemark><name>";
        out += xmlEscaped(poi.name);
        out += "</name><Point>\n<coordinates>";
        appendFixed(out, p.lon, 5);
        out += ',';
        appendFixed(out, p.lat, 5);
        out += ",0.0</coordinates>\n</Point></Placemark>\n";
        reportPoi(progress, i, pois.count, poi);
    }
    out += "</Folder>\n</kml>\n";
    return out;
}

}  // namespace vexa
