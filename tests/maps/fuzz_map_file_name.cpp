// libFuzzer target: a map file name through the catalogue and the map selection. The first
// byte picks the directory's grid and where the position stands; the rest is the file name,
// written as an empty file into that directory and scanned by fill_karte_tab, whose rows
// then go through setMatchKarten, getMatchKarten and the plate carrée hit test.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "geo/grid_context.h"
#include "maps/map_catalogue.h"
#include "maps/map_file_name.h"
#include "maps/map_selection.h"
#include "platform/testing/scripted_ui.h"
#include "tests/support/temp_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vexa;
    if (size < 2) return 0;
    const std::uint8_t flags = data[0];
    std::string name(reinterpret_cast<const char*>(data + 1), size - 1);
    // What a file system allows as one name.
    if (name.size() > 255 || name == "." || name == ".." || name.find_first_of(std::string("/\0", 2)) != std::string::npos)
        return 0;

    // The pure parts on any text first.
    (void)wildcardMatch("karte*_*_*_*_*_*_*.*", name);
    for (const std::string_view field : splitMapFileName(name)) (void)parseMapField(field);
    (void)isMapImageExtension(asciiLower(fileExtension(name)));

    static const char* const suffixes[] = {"Karten_utm", "Karten_gk", "Karten_rpk", "Karten_qpk",
                                           "Karten_mp",  "Karten_ute", "Karten_mg", "Karten_utm"};
    static const testing::TempDir scratch(testing::memoryTempDirectory());
    const std::filesystem::path dir = scratch / suffixes[flags & 7];
    std::filesystem::create_directories(dir);
    const std::filesystem::path file = dir / name;
    std::ofstream(file).close();

    MapTable table;
    GridContext grid;
    FrameState frame;
    DiagnosticText log;
    ScriptedUi ui;
    MapScanContext ctx{table, grid, frame, log, ui, {}, true};
    const int last = fill_karte_tab(ctx, dir.string());
    std::error_code ec;
    std::filesystem::remove(file, ec);
    if (last < 0) return 0;

    // The position: the start the scan chose, or far outside every map.
    const double far = (flags & 8) ? 1e12 : -3e9;
    const GridPoint position = (flags & 16) ? GridPoint{far, -far} : GridPoint{frame.viewCentre.gridX, frame.viewCentre.gridY};
    frame.zoomFactor = (flags & 32) ? 1e-9 : (flags & 64) ? 1e9 : 1.0;
    MapView view;
    int any = 0;
    setMatchKarten(table, view, frame, grid, position, 0, 0, 400, 400, &any);
    (void)getMatchKarten(table, frame, grid, position, 0, 0, 400, 400);
    for (int i = 0; i <= last; ++i) (void)plateCarreeHit(table, i, frame, position, 400, 400);
    return 0;
}
