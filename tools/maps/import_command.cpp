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

std::optional<int> positive(const char* text, int max) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || value < 1 || value > max) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<std::array<double, 4>> boundsFrom(const char* text) {
    std::array<double, 4> b{};
    int used = 0;
    if (std::sscanf(text, "%lf,%lf,%lf,%lf%n", &b[0], &b[1], &b[2], &b[3], &used) != 4 ||
        text[used] != '\0' || b[0] >= b[2] || b[1] >= b[3])
        return std::nullopt;
    return b;
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "vexa-maps import: %s\n\n%s", message.c_str(), kUsage);
    return 2;
}

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
    ImportRequest request;
    std::vector<std::string> paths;
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "-q") {
            quiet = true;
            continue;
        }
        if (arg.size() > 2 && arg.substr(0, 2) == "--") {
            if (i + 1 >= argc) return usageError(std::string(arg) + " needs a value");
            const char* value = argv[++i];
            if (arg == "--zone") {
                auto zone = positive(value, 60);
                if (!zone) return usageError("--zone takes 1..60");
                request.zone = zone;
            } else if (arg == "--resolution") {
                if (!(request.resolution = positive(value, 100000))) return usageError("--resolution takes 1..100000");
            } else if (arg == "--tile") {
                auto tile = positive(value, 10000);
                if (!tile || *tile < 16) return usageError("--tile takes 16..10000 pixels");
                request.tilePixels = *tile;
            } else if (arg == "--format") {
                request.format = value;
                if (request.format != "jpg" && request.format != "png") return usageError("--format takes jpg or png");
            } else if (arg == "--quality") {
                auto quality = positive(value, 100);
                if (!quality) return usageError("--quality takes 1..100");
                request.quality = *quality;
            } else if (arg == "--resampling") {
                request.resampling = value;
                if (!knownResampling(request.resampling)) return usageError(std::string("unknown resampling ") + value);
            } else if (arg == "--srs") {
                request.georeference.srs = value;
            } else if (arg == "--bounds") {
                if (!(request.georeference.bounds = boundsFrom(value)))
                    return usageError("--bounds takes W,S,E,N with W < E and S < N");
            } else {
                return usageError("unknown option " + std::string(arg));
            }
            continue;
        }
        paths.emplace_back(arg);
    }
    if (paths.size() < 2) return usageError("give at least one SOURCE and the TARGETDIR");
    if (request.georeference.bounds && request.georeference.srs.empty())
        return usageError("--bounds needs --srs");
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
