// mapgen [--fonts DIR] SOURCE_DIR OUT_DIR
//
// Draws the demo maps: UTM zone 32 (WGS84) map files of the area around Hannover at 10, 25
// and 100 pixels per km, from the committed inputs only: the place table with population and
// feature codes (data/places/), and the GSHHG coastlines, rivers and borders dumped by
// dump-vectors.sh (data/demo/vectors/). The type is DejaVu Sans from the Debian package
// fonts-dejavu-core. Same inputs, same bytes: `make demo-maps` runs it.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <QFontDatabase>
#include <QGuiApplication>
#include <QStringList>

#include "geo/grid_context.h"
#include "tools/mapgen/draw_layer.h"
#include "tools/mapgen/layers.h"
#include "tools/mapgen/tiles.h"
#include "tools/mapgen/towns.h"
#include "tools/mapgen/vectors.h"

namespace {

namespace fs = std::filesystem;
using namespace vexa;
using namespace vexa::mapgen;

int fail(const std::string& message) {
    std::fprintf(stderr, "mapgen: %s\n", message.c_str());
    return 1;
}

// Loads the two DejaVu Sans faces from the font files themselves, so that the maps do not
// depend on which fonts the machine's font configuration would pick.
bool loadFonts(const fs::path& dir, QString& family, std::string& error) {
    for (const char* file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"}) {
        const fs::path path = dir / file;
        const int id = QFontDatabase::addApplicationFont(QString::fromStdString(path.string()));
        const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
        if (families.isEmpty()) {
            error = "cannot load the font " + path.string() + " (package fonts-dejavu-core)";
            return false;
        }
        family = families.front();
    }
    return true;
}

bool loadVectors(const fs::path& dir, MapData& data, std::string& error) {
    std::vector<Segment> shores;
    if (!readSegments(dir / "coastlines.txt", shores, error) ||
        !readSegments(dir / "rivers.txt", data.rivers, error) ||
        !readSegments(dir / "borders.txt", data.borders, error))
        return false;
    data.shores = joinSegments(shores);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    fs::path fontDir = "/usr/share/fonts/truetype/dejavu";
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fonts") == 0 && i + 1 < argc) fontDir = argv[++i];
        else args.emplace_back(argv[i]);
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: mapgen [--fonts DIR] SOURCE_DIR OUT_DIR\n");
        return 2;
    }
    const fs::path source = args[0];
    const fs::path out = args[1];

    // No display is needed: the maps are drawn into images.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    std::string error;
    QString family;
    MapData data;
    if (!loadFonts(fontDir, family, error) ||
        !loadTowns(source / "data/places/places.tsv", source / "data/places/details.tsv",
                   data.towns, error) ||
        !loadVectors(source / "data/demo/vectors", data, error))
        return fail(error);

    std::error_code ec;
    fs::create_directories(out, ec);
    if (ec) return fail("cannot create " + out.string() + ": " + ec.message());
    removeOldTiles(out);

    const GridContext grid;  // UTM zone 32 on WGS84
    std::vector<fs::path> written;
    for (const MapLayer& layer : demoLayers()) {
        if ((layer.tilePx * 1000) % layer.resolution != 0)
            return fail("tiles of " + std::to_string(layer.resolution) + " px/km do not end on a whole metre");
        const QImage picture = drawLayer(layer, data, grid, family);
        if (!writeTiles(layer, picture, grid.UtmZone, out, written, error)) return fail(error);
    }
    std::uintmax_t total = 0;
    for (const fs::path& file : written) total += fs::file_size(file);
    std::printf("mapgen: %zu map files, %ju bytes, in %s\n", written.size(), total, out.c_str());
    return 0;
}
