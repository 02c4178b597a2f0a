#include "tools/maps/import_command.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>
#include <array>
#include <optional>
#include <functional>

#include "maps/import/map_import.h"
#include "tools/tool_command_line.h"
#include "util/number_scan.h"

namespace vexa {
namespace {

constexpr const char* kUsage =
    "usage: vexa-maps import SOURCE... TARGETDIR [options]\n"
    "\n"
    "Warps georeferenced rasters onto the grid of a VEXA map folder and cuts them into map tiles.\n"
    "\n"
    "  SOURCE     GeoTIFF, PNG/JPEG/GIF with a world file and .prj, MBTiles, GDAL VRT,\n"
    "             or the zoom level folder of XYZ tiles (DIR/{z} holding {x}/{y}.png)\n"
    "  TARGETDIR  its suffix chooses the grid: _utm _ute _gk _mp _mg _qpk _rpk; created when\n"
    "             missing; maps already there fix the zone\n"
    "  --zone N              UTM zone or Gauss-Krueger strip (default: the sources' middle)\n"
    "  --resolution N        pixels per 1000 grid units (default: the sources' own, rounded up)\n"
    "  --tile N              tile size in pixels (default 1000)\n"
    "  --format jpg|png      tile format (default jpg)\n"
    "  --quality Q           JPEG quality 1..100 (default 85)\n"
    "  --resampling R        near, bilinear (default), cubic, cubicspline, lanczos, average, mode\n"
    "  --srs SRS             the sources' coordinate system when they do not name one (EPSG:25832)\n"
    "  --bounds W,S,E,N      the sources' bounds in that system when they have no georeference\n"
    "  -q                    no progress\n"
    "\n"
    "Exit status: 0 imported, 1 the import failed or was interrupted, 2 wrong command line.\n";

std::atomic<bool> interrupted{false};

void onInterrupt(int) { interrupted.store(true); }

std::optional<int> positive(const std::string& text, int max) {
    long value = 0;
    if (!readCount(text, 1, max, value)) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<std::array<double, 4>> boundsFrom(const std::string& value) {
    const char* text = value.c_str();
    std::array<double, 4> b{};
    int used = 0;
    if (std::sscanf(text, "%lf,%lf,%lf,%lf%n", &b[0], &b[1], &b[2], &b[3], &used) != 4 ||
        text[used] != '\0' || b[0] >= b[2] || b[1] >= b[3])
        return std::nullopt;
    return b;
}

enum Option { kZone, kResolution, kTile, kFormat, kQuality, kResampling, kSrs, kBounds, kQuiet };
constexpr OptionDef kOptions[] = {
    {kZone, "zone", 0, true},     {kResolution, "resolution", 0, true}, {kTile, "tile", 0, true},
    {kFormat, "format", 0, true}, {kQuality, "quality", 0, true},       {kResampling, "resampling", 0, true},
    {kSrs, "srs", 0, true},       {kBounds, "bounds", 0, true},         {kQuiet, "quiet", 'q'},
};

// The bar redraws only when its text changes: a few hundred writes for any import.
class ProgressBar {
public:
    explicit ProgressBar(bool terminal) : terminal_(terminal) {}
    void operator()(const ImportProgress& p) {
        if (!terminal_) return;
        const int percent = p.tilesTotal ? p.tilesDone * 100 / p.tilesTotal : 100;
        if (percent == lastPercent_ && p.tilesWritten == lastWritten_) return;
        lastPercent_ = percent, lastWritten_ = p.tilesWritten;
        constexpr int kWidth = 30;
        const int filled = percent * kWidth / 100;
        std::fprintf(stderr, "\r[%.*s%*s] %3d %%  %d tiles written", filled, "##############################",
                     kWidth - filled, "", percent, p.tilesWritten);
        std::fflush(stderr);
        shown_ = true;
    }
    void finish() {
        if (shown_) std::fputc('\n', stderr);
    }

private:
    bool terminal_;
    bool shown_ = false;
    int lastPercent_ = -1, lastWritten_ = -1;
};

}  // namespace

int runImportCommand(int argc, char** argv) {
    const ToolCommandLine commandLine("vexa-maps import", kUsage);
    const ReadOptions read = commandLine.read(kOptions, argc, argv);
    ImportRequest request;
    std::vector<std::string> paths = read.operands;
    bool quiet = false;
    for (const OptionFound& option : read.options) {
        const std::string& value = option.value;
        switch (option.id) {
            case kZone:
                if (!(request.zone = positive(value, 60))) commandLine.wrong("--zone takes 1..60");
                break;
            case kResolution:
                if (!(request.resolution = positive(value, 100000))) commandLine.wrong("--resolution takes 1..100000");
                break;
            case kTile: {
                const auto tile = positive(value, 10000);
                if (!tile || *tile < 16) commandLine.wrong("--tile takes 16..10000 pixels");
                request.tilePixels = *tile;
                break;
            }
            case kFormat:
                request.format = value;
                if (request.format != "jpg" && request.format != "png") commandLine.wrong("--format takes jpg or png");
                break;
            case kQuality: {
                const auto quality = positive(value, 100);
                if (!quality) commandLine.wrong("--quality takes 1..100");
                request.quality = *quality;
                break;
            }
            case kResampling:
                request.resampling = value;
                if (!knownResampling(request.resampling)) commandLine.wrong("unknown resampling " + value);
                break;
            case kSrs: request.georeference.srs = value; break;
            case kBounds:
                if (!(request.georeference.bounds = boundsFrom(value)))
                    commandLine.wrong("--bounds takes W,S,E,N with W < E and S < N");
                break;
            case kQuiet: quiet = true; break;
        }
    }
    if (paths.size() < 2) commandLine.wrong("give at least one SOURCE and the TARGETDIR");
    if (request.georeference.bounds && request.georeference.srs.empty()) commandLine.wrong("--bounds needs --srs");
    request.targetDir = paths.back();
    paths.pop_back();
    request.sources = std::move(paths);

    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    ProgressBar bar(!quiet && isatty(STDERR_FILENO));
    const ImportResult result = importMaps(request, std::ref(bar), &interrupted);
    bar.finish();
    if (!result.ok) {
        std::fprintf(stderr, "vexa-maps import: %s\n", result.message.c_str());
        return 1;
    }
    if (!quiet)
        std::printf("%s: %d tiles written (%d empty ones left out), zone %s, %d pixels per 1000 grid units\n",
                    request.targetDir.c_str(), result.tilesWritten, result.tilesTotal - result.tilesWritten,
                    result.zone.c_str(), result.resolution);
    return 0;
}

}  // namespace vexa
