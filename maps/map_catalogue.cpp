#include "maps/map_catalogue.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <system_error>
#include <vector>

#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "geo/datum.h"
#include "geo/grid_context.h"
#include "maps/map_file_name.h"
#include "platform/ui.h"
#include "util/text.h"

namespace vexa {

namespace {

enum class DirectoryGrid { None, PlateCarree, Mercator, Transverse };

struct DirectoryKind {
    DirectoryGrid grid = DirectoryGrid::None;
    bool rectangular = false;  // rectangular plate carrée pixels: x is stretched
};

// Tests the directory suffixes in their fixed order; each match overrides the flags of the
// ones before it and logs its line.
DirectoryKind applyDirectorySuffixes(const std::string& lowerDir, GridContext& grid,
                                     MapTable& table, DiagnosticText& log) {
    DirectoryKind kind;
    const auto has = [&](std::string_view suffix) {
        return lowerDir.find(suffix) != std::string::npos;
    };
    const auto plateCarree = [&](bool rectangular, const char* line) {
        grid.PlateCarreeGrid = true;
        grid.MercatorGrid = false;
        grid.Ed50Datum = false;
        kind = {DirectoryGrid::PlateCarree, rectangular};
        AddNmeaListLine(log, line);
    };
    const auto mercator = [&](double radius, const char* line) {
        grid.PlateCarreeGrid = false;
        grid.LocalDatumGrid = false;
        grid.MercatorGrid = true;
        grid.Ed50Datum = false;
        grid.MercatorRadius = radius;
        table.mercatorCircumference = 2.0 * kPi * radius;
        table.mercatorHalfCircumference = kPi * radius;
        kind = {DirectoryGrid::Mercator, false};
        AddNmeaListLine(log, line);
    };
    const auto transverse = [&](bool localDatum, bool ed50, const char* line) {
        grid.PlateCarreeGrid = false;
        grid.LocalDatumGrid = localDatum;
        grid.MercatorGrid = false;
        grid.Ed50Datum = ed50;
        kind = {DirectoryGrid::Transverse, false};
        AddNmeaListLine(log, line);
    };
    if (has("_rpk")) plateCarree(true, "Verzeichnis mit Rechteckigen Plattkarten");
    if (has("_qpk")) plateCarree(false, "Verzeichnis mit Quadratischen Plattkarten");
    if (has("_mp")) mercator(6378137.0, "Mercator Projektion, Erdradius = 6378137");
    if (has("_mg")) mercator(6371000.0, "Mercator Projektion, Erdradius = 6371000");
    if (has("_utm")) {
        transverse(false, false, "Verzeichnis mit UTM Karten WGS84");
        grid.GkStrip = 3;
    }
    if (has("_ute")) {
        transverse(true, true, "Verzeichnis mit UTM Karten EURO1950");
        grid.GkStrip = 3;
    }
    if (has("_gk")) {
        transverse(true, false, "Verzeichnis mit Gauss Krüger Karten");
        grid.UtmZone = 32;
    }
    return kind;
}

struct FoundFile {
    std::string name;
    int resolution;
};

// First pass: the files that match the search pattern with an image extension in all lower or
// all upper case, in enumeration order, each with the resolution after its fourth "_".
// Names whose resolution is not a positive number cannot be placed and are left out.
std::vector<FoundFile> findMapFiles(const std::filesystem::path& dir, bool mercator) {
    const char* pattern = mercator ? "karte*_0_*_*_*_*_*.*" : "karte*_*_*_*_*_*_*.*";
    std::vector<FoundFile> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        std::string name = it->path().filename().string();
        if (!wildcardMatch(pattern, name)) continue;
        const std::string_view ext = fileExtension(name);
        const std::string lowerExt = asciiLower(ext);
        std::string upperExt(lowerExt);
        for (char& c : upperExt) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        if (!isMapImageExtension(lowerExt) || (ext != lowerExt && ext != upperExt)) continue;
        const std::optional<int> resolution = parseMapField(splitMapFileName(name)[4]);
        if (!resolution || *resolution <= 0) continue;
        files.push_back({std::move(name), *resolution});
    }
    return files;
}

void logProgress(const MapScanProgress& progress, DiagnosticText& log, int rowNumber, int count,
                 std::string_view fileName) {
    const std::string name(fileName);
    const std::string status = strprintf("%i. %s", rowNumber, name.c_str());
    if (progress.setProgress) {
        progress.setProgress(rowNumber * 100 / count);
    } else if (count < 100) {
        AddNmeaListLine(log, status);
    } else if ((rowNumber - 1) % 50 == 0) {
        AddNmeaListLine(log, strprintf("%i. Karte von %d gelesen", rowNumber, count));
    }
    if (progress.setStatus) progress.setStatus(status);
}

// A row placed from its name lies on a grid: a positive resolution and size, and edges that no
// grid exceeds (a billion units: Mercator metres reach 2·10^7, plate carrée 1/10000 degrees
// 1.8·10^6), so that map selection and drawing can compute with them in whole units.
bool placedOnAGrid(const MapEntry& row) {
    constexpr float kEdgeLimit = 1e9f;
    if (row.resolution <= 0 || row.widthPx <= 0 || row.heightPx <= 0) return false;
    // The stretched resolution of rectangular plate carrée is a whole number too.
    if (!(row.resolution * static_cast<double>(row.xStretch) < 2147483647.0)) return false;
    for (const float edge : {row.left, row.right, row.top, row.bottom})
        if (!(std::abs(edge) < kEdgeLimit)) return false;  // also false for NaN
    return true;
}

void reportBadName(DiagnosticText& log, const std::string& fileName) {
    AddNmeaListLine(log, strprintf("%s wird nicht benutzt, Name ungueltig", fileName.c_str()));
}
}  // namespace

GridPoint mapCollectionCentre(const MapTable& table) {
    double x = 0.0, y = 0.0;
    for (const MapEntry& row : table.rows) {
        x += (static_cast<double>(row.left) + row.right) / 2.0;
        y += (static_cast<double>(row.top) + row.bottom) / 2.0;
    }
    const double n = table.rows.empty() ? 1.0 : static_cast<double>(table.rows.size());
    return {x / n, y / n};
}

int fill_karte_tab(MapScanContext& ctx, const std::optional<std::string>& directory,
                   const MapScanProgress& progress) {
    ctx.log.setCurrentOperation("fill_karte_tab");
    std::string dir = directory ? *directory : ctx.configuredMapDir;
    if (!dir.empty() && dir.back() != '/') dir.push_back('/');

    const DirectoryKind kind = applyDirectorySuffixes(asciiLower(dir), ctx.grid, ctx.table, ctx.log);
    if (kind.grid == DirectoryGrid::None) {
        ctx.ui.messageBox("Kartenverzeichnis ungueltig,\nName enthält nicht \n_GK\n_UTM\n_UTE\n_RPK\n_QPK",
                          "Error", MessageButtons::Ok, MessageIcon::Error);
        AddNmeaListLine(ctx.log, strprintf("Ungueltiges Kartenverzeichnis <%s>", dir.c_str()));
        return -1;
    }
    const bool plateCarree = kind.grid == DirectoryGrid::PlateCarree;
    const bool mercator = kind.grid == DirectoryGrid::Mercator;
    if (plateCarree && ctx.table.empty()) {
        ctx.frame.viewCentre.gridX = 100000.0;
        ctx.frame.viewCentre.gridY = 520000.0;
    }
    if (!plateCarree) ctx.frame.verticalRatio = 1.0;

    const std::vector<FoundFile> files = findMapFiles(dir, mercator);
    const int count = static_cast<int>(files.size());
    if (count == 0) return -1;
    if (progress.setProgress) {
        progress.setProgress(0);
    } else {
        AddNmeaListLine(ctx.log, strprintf("%i Karten in %s", count, dir.c_str()));
    }

    // Distinct resolutions, ascending. The list grows with the directory, so no value is lost.
    std::vector<int> resolutions;
    for (const FoundFile& f : files) resolutions.push_back(f.resolution);
    std::sort(resolutions.begin(), resolutions.end());
    resolutions.erase(std::unique(resolutions.begin(), resolutions.end()), resolutions.end());

    MapTable table;
    try {
        table.rows.reserve(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
        ctx.table = MapTable{};
        ++ctx.table.generation;
        ctx.frame.lastMapIndex = -1;
        ReportSystemError(ctx.log, __LINE__, ENOMEM, "fill_karte_tab LocalAlloc");
        return -1;
    }
    table.capacity = static_cast<std::size_t>(count);
    table.generation = ctx.table.generation + 1;
    table.mercatorCircumference = ctx.table.mercatorCircumference;
    table.mercatorHalfCircumference = ctx.table.mercatorHalfCircumference;
    table.zoneText = ctx.table.zoneText;
    table.stripText = ctx.table.stripText;

    std::string referenceZone;
    for (const int resolution : resolutions) {
        for (const FoundFile& file : files) {
            if (file.resolution != resolution) continue;
            if (!isMapImageExtension(asciiLower(fileExtension(file.name)))) continue;
            if (table.rows.size() >= table.capacity) break;

            MapEntry row;
            row.path = dir + file.name;
            row.fileNameStart = dir.size();
            row.extensionStart = row.path.size() - fileExtension(file.name).size();
            const std::array<std::string_view, 7> field = splitMapFileName(file.name);

            const bool firstRow = table.rows.empty();
            if (firstRow) {
                referenceZone = std::string(field[1]);
                if (plateCarree) {
                    ctx.grid.UtmZone = 32;
                    ctx.grid.GkStrip = 3;
                    ctx.grid.LocalDatumGrid = false;
                } else {
                    const int zone = static_cast<int>(std::strtol(referenceZone.c_str(), nullptr, 10));
                    ctx.grid.GkStrip = zone;
                    ctx.grid.UtmZone = zone;
                }
                table.zoneText = std::string(utf8Prefix(std::to_string(ctx.grid.UtmZone), 15));
                table.stripText = std::string(utf8Prefix(std::to_string(ctx.grid.GkStrip), 5));
            }

            std::array<int, 5> value{};
            bool complete = true;
            for (std::size_t i = 0; i < value.size(); ++i) {
                const std::optional<int> v = parseMapField(field[i + 2]);
                complete = complete && v.has_value();
                value[i] = v.value_or(0);
            }
            // A name with an empty or damaged field cannot be placed: it is not catalogued.
            if (!complete || value[2] <= 0) {
                reportBadName(ctx.log, file.name);
                continue;
            }

            if (!firstRow && !plateCarree && field[1] != referenceZone) {
                const std::string name(file.name);
                if (mercator && field[1] == "1") {
                    AddNmeaListLine(ctx.log, strprintf("Hybrid-Karte %s", name.c_str()));
                } else {
                    AddNmeaListLine(ctx.log, strprintf("%s wird nicht benutzt, anderer UTM STreifen",
                                                       name.c_str()));
                }
                continue;
            }

            const auto [left, top, res, width, height] = value;
            if (plateCarree && kind.rectangular) {
                const int degrees = top / 10000;
                row.xStretch = static_cast<float>(1.0 / std::cos(degrees * kDegToRad));
            }
            row.resolution = res;
            row.widthPx = width;
            row.heightPx = height;
            row.left = static_cast<float>(left);
            row.right = row.left + static_cast<float>(width) * row.xStretch * 1000.0f / static_cast<float>(res);
            row.top = static_cast<float>(top);
            row.bottom = row.top - static_cast<float>(height) * 1000.0f / static_cast<float>(res);
            if (!placedOnAGrid(row)) {  // numbers that put the map outside any grid
                reportBadName(ctx.log, file.name);
                continue;
            }
            if (plateCarree) row.xResolution = static_cast<int>(res * static_cast<double>(row.xStretch));
            const std::string fileName(row.fileName());
            table.rows.push_back(std::move(row));
            logProgress(progress, ctx.log, static_cast<int>(table.rows.size()), count, fileName);
        }
        if (ctx.traceAndRouteEmpty && ctx.frame.viewCentre.gridX == 0.0 && !table.rows.empty()) {
            const GridPoint centre = mapCollectionCentre(table);
            ctx.frame.viewCentre.gridX = centre.easting;
            ctx.frame.viewCentre.gridY = centre.northing;
        }
    }

    ctx.table = std::move(table);
    SortKarten(ctx.table, ctx.log);
    if (progress.setProgress) progress.setProgress(100);
    AddNmeaListLine(ctx.log, strprintf("%i Karten werden benutzt %s",
                                       static_cast<int>(ctx.table.rows.size()), dir.c_str()));
    ctx.frame.lastMapIndex = ctx.table.lastIndex();
    return ctx.table.lastIndex();
}

void SortKarten(MapTable& table, DiagnosticText& log) {
    const auto baseName = [](const MapEntry& row) {
        const std::string lower = asciiLower(row.fileName());
        return lower.substr(0, lower.find('.'));
    };
    std::size_t i = 0;
    while (i + 1 < table.rows.size()) {
        const std::string base = baseName(table.rows[i]);
        if (base != baseName(table.rows[i + 1])) {
            ++i;
            continue;
        }
        const std::string ext(table.rows[i + 1].extension());
        AddNmeaListLine(log, strprintf("%s wird benutzt", ext.c_str()));
        AddNmeaListLine(log, strprintf("%s doppelt", base.c_str()));
        table.rows.erase(table.rows.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

}  // namespace vexa
