#include <gtest/gtest.h>

#include <sstream>

#include "frame/frame_state.h"
#include "geo/grid_context.h"
#include "maps/map_selection.h"
#include "tests/support/golden_file.h"
#include "util/text.h"

namespace vexa {
namespace {

// A map of `sizeKm` kilometres square with its top-left corner at (left, top).
MapEntry square(float left, float top, int resolution, float sizeKm) {
    MapEntry row;
    row.left = left, row.top = top, row.right = left + sizeKm * 1000.0f, row.bottom = top - sizeKm * 1000.0f;
    row.resolution = resolution;
    return row;
}

// One selection of map_selections.txt: rows "resolution:left,top,km" ("!" after it: flagged in
// view and containing from before), then options; the record is what the selection chose and
// the map at the chosen scale under the position, and whether the first row's drawn rectangle
// holds the centre on a plate carrée screen. "manual=R" keeps resolution R as the user chose
// it (automatic choice off). The view is 400 × 400 pixels away from the screen's corner: only
// its size counts.
std::string selectionRecord(const std::string& line) {
    MapTable table;
    MapView view;
    FrameState frame;
    GridContext grid;
    double e = 0, n = 0;
    int any = -1, calibrate = -1, manual = -1;
    float stretch = 1.0f;
    view.MapStatusText = "";
    std::istringstream words(line);
    for (std::string word; words >> word;) {
        float left = 0, top = 0, km = 0;
        int resolution = 0;
        if (std::sscanf(word.c_str(), "%d:%f,%f,%f", &resolution, &left, &top, &km) == 4) {
            table.rows.push_back(square(left, top, resolution, km));
            if (word.back() == '!') table.rows.back().inView = table.rows.back().containsPosition = 1;
        } else if (!std::sscanf(word.c_str(), "at=%lf,%lf", &e, &n) && !std::sscanf(word.c_str(), "zoom=%lf", &frame.zoomFactor) &&
                   !std::sscanf(word.c_str(), "wanted=%d", &view.WantedResolution) &&
                   !std::sscanf(word.c_str(), "calibrate=%d", &calibrate) && !std::sscanf(word.c_str(), "stretch=%f", &stretch) &&
                   !std::sscanf(word.c_str(), "manual=%d", &manual))
            ADD_FAILURE() << "unknown word " << word;
    }
    if (stretch != 1.0f)  // the row is that much wider; on the screen it covers 1/stretch of it
        table.rows[0].xStretch = stretch, table.rows[0].right = table.rows[0].left + (table.rows[0].right - table.rows[0].left) * stretch;
    if (manual >= 0) view.AutoResolution = 0, view.WantedResolution = manual;
    if (calibrate >= 0) startCalibration(view, calibrate, table.rows[static_cast<std::size_t>(calibrate)].resolution);
    setMatchKarten(table, view, frame, grid, GridPoint{e, n}, 100, 50, 500, 450, &any);
    std::string out = strprintf("shown=%d scale=%d any=%d row=%d", view.ShownResolution, frame.mapScale, any, view.CurrentRow);
    for (const MapEntry& row : table.rows) out += strprintf(" %d%d", row.inView, row.containsPosition);
    out += strprintf(" match=%d", getMatchKarten(table, frame, grid, GridPoint{e, n}, 100, 50, 500, 450));
    if (!table.rows.empty()) out += strprintf(" hit=%d", plateCarreeHit(table, 0, frame, GridPoint{e, n}, 400, 400));
    return out + " \"" + view.MapStatusText + "\"";
}

TEST(SetMatchKarten, SelectionsGiveTheRecordsOfTheGoldenFile) {
    EXPECT_GT(testing::compareGoldenFile(VEXA_TEST_DATA "/map_selections.txt", selectionRecord), 8);
}

}  // namespace
}  // namespace vexa
