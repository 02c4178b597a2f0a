#include "maps/map_calibration.h"

#include <cerrno>

#include "geo/grid_context.h"
#include "maps/map_file_name.h"
#include "platform/file_rename.h"
#include "util/system_error.h"
#include "util/text.h"

namespace vexa {

int calibrationZone(const GridContext& grid) {
    if (grid.PlateCarreeGrid) return 0;
    return grid.LocalDatumGrid ? grid.GkStrip : grid.UtmZone;
}

MapPlacement placementFromName(const MapEntry& row, int zone) {
    const auto fields = splitMapFileName(row.fileName());
    const auto field = [&](std::size_t i) { return parseMapField(fields[i]).value_or(0); };
    return {zone, field(2), field(3), field(4), field(5), field(6)};
}

MapPlacement placementOfRow(const MapEntry& row, int zone) {
    return {zone, static_cast<int>(row.left), static_cast<int>(row.top), row.resolution, row.widthPx, row.heightPx};
}

std::string calibratedMapName(const MapTable& table, const GridContext& grid, const MapEntry& row,
                              const MapPlacement& p) {
    const std::string ext(row.extension());
    if (grid.PlateCarreeGrid)
        return strprintf("Karte_%d_%d_%d_%d_%d_%d.%s", p.zone, p.x, p.y, p.resolution, p.width, p.height, ext.c_str());
    const std::string& zone = grid.LocalDatumGrid ? table.stripText : table.zoneText;
    return strprintf("Karte_%s_%d_%d_%d_%d_%d.%s", zone.c_str(), p.x, p.y, p.resolution, p.width, p.height,
                     ext.c_str());
}

void setRowPlacement(MapEntry& row, float left, float top, int resolution) {
    row.resolution = resolution;
    row.left = left;
    row.top = top;
    if (resolution <= 0) return;
    row.right = row.left + static_cast<float>(row.widthPx) * 1000.0f / static_cast<float>(resolution);
    row.bottom = row.top - static_cast<float>(row.heightPx) * 1000.0f / static_cast<float>(resolution);
}

bool renameMapRow(MapEntry& row, const std::string& newName, int& error) {
    const std::string directory = row.path.substr(0, row.fileNameStart);
    if (!renameNoReplace(row.path, directory + newName, error)) return false;
    row.path = directory + newName;
    row.extensionStart = row.path.size() - fileExtension(newName).size();
    return true;
}

std::string renameFailure(int error, const std::string& name) {
    std::string text = strprintf("MoveFile LastError = %ld,\n siehe Winerror.h", static_cast<long>(error));
    if (error == EEXIST) return text + "\n" + name + " gibt es schon, die Karte bleibt wie sie war";
    return text + "\n" + name + ": " + systemErrorText(error);
}

void ResetKalib(MapEntry& row) {
    const MapPlacement named = placementFromName(row, 0);
    if (named.resolution <= 0) return;
    setRowPlacement(row, static_cast<float>(named.x), static_cast<float>(named.y), named.resolution);
    row.moved = 0;
}

std::vector<std::string> MoveSameResolution(MapTable& table, const GridContext& grid, int excluded, int dx,
                                            int dy, int oldResolution, int newResolution,
                                            const std::function<void(int)>& progress) {
    std::vector<std::string> failures;
    if (progress) progress(0);
    const int rows = static_cast<int>(table.rows.size());
    for (int i = 0; i < rows; ++i) {
        MapEntry& row = table.rows[static_cast<std::size_t>(i)];
        if (i == excluded || row.resolution != oldResolution) continue;
        if (progress) progress(rows > 1 ? i * 100 / (rows - 1) : 100);
        MapPlacement p = placementOfRow(row, calibrationZone(grid));
        p.x = static_cast<int>(row.left - static_cast<float>(dx));
        p.y = static_cast<int>(row.top - static_cast<float>(dy));
        p.resolution = newResolution;
        const std::string name = calibratedMapName(table, grid, row, p);
        int error = 0;
        if (!renameMapRow(row, name, error)) {
            failures.push_back(renameFailure(error, std::string(row.fileName())));
            continue;
        }
        row.left -= static_cast<float>(dx);
        row.right -= static_cast<float>(dx);
        row.top -= static_cast<float>(dy);
        row.bottom -= static_cast<float>(dy);
        row.resolution = newResolution;
        if (row.xResolution != 0) row.xResolution = newResolution;
    }
    if (progress) progress(100);
    return failures;
}

}  // namespace vexa
