#include "maps/import/xyz_tile_folder.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <string_view>
#include <vector>

#include <gdal.h>

#include "util/text.h"

namespace vexa {
namespace {

// Half the circumference of the Web Mercator sphere (radius 6378137 m).
constexpr double kWebMercatorHalfWorld = 20037508.342789244;

std::optional<int> wholeNumber(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

struct Tile {
    int x, y;
    std::filesystem::path file;
};

std::vector<Tile> tilesIn(const std::filesystem::path& folder) {
    std::vector<Tile> tiles;
    std::error_code ec;
    for (const auto& column : std::filesystem::directory_iterator(folder, ec)) {
        const auto x = wholeNumber(column.path().filename().string());
        if (!x || !column.is_directory()) continue;
        for (const auto& file : std::filesystem::directory_iterator(column.path(), ec)) {
            const auto y = wholeNumber(file.path().stem().string());
            const std::string ext = file.path().extension().string();
            if (y && (ext == ".png" || ext == ".jpg" || ext == ".jpeg")) tiles.push_back({*x, *y, file.path()});
        }
    }
    return tiles;
}

std::string xmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else out += c;
    }
    return out;
}

}  // namespace

bool isXyzZoomFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) return false;
    const auto name = (folder.filename().empty() ? folder.parent_path() : folder).filename().string();
    return wholeNumber(name).has_value();
}

std::optional<std::string> xyzFolderVrt(const std::filesystem::path& folder, std::string& error) {
    const auto dir = folder.filename().empty() ? folder.parent_path() : folder;
    const int zoom = wholeNumber(dir.filename().string()).value_or(-1);
    const std::vector<Tile> tiles = tilesIn(dir);
    if (zoom < 0 || zoom > 30 || tiles.empty()) {
        error = dir.string() + ": no tiles {x}/{y}.png in this zoom level folder";
        return std::nullopt;
    }
    GDALDatasetH first = GDALOpen(tiles.front().file.c_str(), GA_ReadOnly);
    if (!first) {
        error = tiles.front().file.string() + ": GDAL cannot read this tile";
        return std::nullopt;
    }
    const int size = GDALGetRasterXSize(first);
    const int bands = GDALGetRasterCount(first);
    const bool palette = GDALGetRasterColorTable(GDALGetRasterBand(first, 1)) != nullptr;
    GDALClose(first);

    int minX = INT_MAX, minY = INT_MAX, maxX = 0, maxY = 0;
    for (const Tile& t : tiles) {
        minX = std::min(minX, t.x), maxX = std::max(maxX, t.x);
        minY = std::min(minY, t.y), maxY = std::max(maxY, t.y);
    }
    const double pixel = 2.0 * kWebMercatorHalfWorld / (static_cast<double>(size) * (1LL << zoom));
    const int width = (maxX - minX + 1) * size, height = (maxY - minY + 1) * size;
    // Red, green, blue and alpha; a tile without alpha counts as opaque where it exists.
    std::string vrt = strprintf("<VRTDataset rasterXSize=\"%d\" rasterYSize=\"%d\">\n"
                                "<SRS>EPSG:3857</SRS>\n<GeoTransform>%.10f,%.10f,0,%.10f,0,%.10f</GeoTransform>\n",
                                width, height, -kWebMercatorHalfWorld + minX * size * pixel, pixel,
                                kWebMercatorHalfWorld - minY * size * pixel, -pixel);
    const char* interpretation[] = {"Red", "Green", "Blue", "Alpha"};
    for (int band = 1; band <= 4; ++band) {
        vrt += strprintf("<VRTRasterBand dataType=\"Byte\" band=\"%d\"><ColorInterp>%s</ColorInterp>\n", band,
                         interpretation[band - 1]);
        for (const Tile& t : tiles) {
            const std::string file = xmlEscaped(t.file.string());
            const std::string rect = strprintf(
                "<SrcRect xOff=\"0\" yOff=\"0\" xSize=\"%d\" ySize=\"%d\"/><DstRect xOff=\"%d\" yOff=\"%d\" "
                "xSize=\"%d\" ySize=\"%d\"/>",
                size, size, (t.x - minX) * size, (t.y - minY) * size, size, size);
            if (palette) {
                vrt += strprintf("<ComplexSource><SourceFilename>%s</SourceFilename><SourceBand>1</SourceBand>"
                                 "%s<ColorTableComponent>%d</ColorTableComponent></ComplexSource>\n",
                                 file.c_str(), rect.c_str(), band);
            } else if (band == 4 && bands != 4 && bands != 2) {
                vrt += strprintf("<ComplexSource><SourceFilename>%s</SourceFilename><SourceBand>1</SourceBand>"
                                 "%s<ScaleOffset>255</ScaleOffset><ScaleRatio>0</ScaleRatio></ComplexSource>\n",
                                 file.c_str(), rect.c_str());
            } else {
                const int sourceBand = bands <= 2 ? (band == 4 ? 2 : 1) : band;
                vrt += strprintf("<SimpleSource><SourceFilename>%s</SourceFilename><SourceBand>%d</SourceBand>"
                                 "%s</SimpleSource>\n",
                                 file.c_str(), sourceBand, rect.c_str());
            }
        }
        vrt += "</VRTRasterBand>\n";
    }
    vrt += "</VRTDataset>\n";
    return vrt;
}

}  // namespace vexa
