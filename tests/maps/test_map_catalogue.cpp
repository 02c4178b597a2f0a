#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>
#include <tuple>

#include "maps/map_catalogue.h"
#include "maps/map_file_name.h"
#include "tests/maps/map_fixture.h"
#include "tests/support/golden_file.h"
#include "tests/support/ordinary_user.h"
#include "util/text.h"

namespace vexa::testing {
namespace {

void touch(const std::filesystem::path& file) { writeFile(file, ""); }

class FillKarteTab : public ::testing::Test {
protected:
    MapWorld w;
    void touchMaps(std::initializer_list<const char*> names) {
        for (const char* name : names) touch(w.dir / name);
    }
};

// What the scan of a folder gives, as one line: its result, the rows by name, the grid, the
// start position and the log lines but the numbered list of the files, whose order is the
// folder's.
std::string scanRecord(const std::string& folder, std::istringstream names) {
    MapWorld w(folder);
    w.frame.viewCentre.gridX = 0.0;  // no start position yet
    for (std::string name; names >> name;) {
        if (name.ends_with('/')) std::filesystem::create_directory(w.dir / name);
        else touch(w.dir / name);
    }
    std::string out = "scan=" + std::to_string(w.scan());
    std::vector<MapEntry> rows = w.table.rows;
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.fileName() < b.fileName(); });
    for (const MapEntry& r : rows)
        out += strprintf("; %s %.2f %.2f %.2f %.2f %d %.5f %d", std::string(r.fileName()).c_str(), r.left, r.top,
                         r.right, r.bottom, r.resolution, r.xStretch, r.xResolution);
    const GridContext& g = w.grid;
    out += strprintf("; grid zone=%d strip=%d %s%s%s%s%.0f", g.UtmZone, g.GkStrip, g.LocalDatumGrid ? "local " : "",
                     g.Ed50Datum ? "ed50 " : "", g.PlateCarreeGrid ? "plate " : "", g.MercatorGrid ? "mercator " : "",
                     g.MercatorGrid ? w.table.mercatorHalfCircumference : 0.0);
    out += strprintf("; centre %.0f %.0f", w.frame.viewCentre.gridX, w.frame.viewCentre.gridY);
    std::vector<std::string> lines;
    std::istringstream log(w.log.text());
    for (std::string line; std::getline(log, line);) {
        if (line.ends_with('\r')) line.pop_back();
        if (const auto at = line.find(w.dir.string()); at != std::string::npos) line.replace(at, w.dir.string().size(), "<dir>");
        if (line.find_first_not_of("0123456789") != line.find(". ")) lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) out += "; " + line;
    for (ShownMessage m : w.ui.messages()) out += "; message " + m.caption + ": " + (std::replace(m.text.begin(), m.text.end(), '\n', '|'), m.text);
    return out;
}

// The catalogue's pattern for map names, and a name split at its underscores whatever its
// prefix, an empty one too.
TEST(MapFileName, WildcardsInAnyLetterCaseAndFieldsAfterAnyPrefix) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"karte*_*.*", "KARTE_32.png", true}, {"karte*_*.*", "karte_32", false}, {"a*b", "aXbXb", true},
        {"a*b", "aXbXc", false},              {"a?c", "abc", true},              {"a?c", "ac", false},
        {"*", "", true},                      {"a**", "a", true},                {"*z.png", "MAP_Z.PNG", true}};
    for (const auto& [pattern, name, match] : cases)
        EXPECT_EQ(wildcardMatch(pattern, name), match) << pattern << " " << name;
    EXPECT_EQ(parseMapFileName("_33_1_2_3_4_5.png")->zone, "33");
}

TEST(MapFolders, ScansGiveTheRecordsOfTheGoldenFile) {
    EXPECT_GT(compareGoldenFile(VEXA_TEST_DATA "/map_folders.txt",
                                [](const std::string& line) {
                                    const std::size_t blank = line.find(' ');
                                    return scanRecord(line.substr(0, blank), std::istringstream(line.substr(blank + 1)));
                                }),
              12);
}

TEST_F(FillKarteTab, MoreThanHundredResolutionsAllFitInTheTableAscending) {
    for (int r = 150; r >= 1; --r) touch(w.dir / ("karte_32_500000_5600000_" + std::to_string(r * 3) + "_10_10.jpg"));
    ASSERT_EQ(w.scan(), 149);
    ASSERT_LE(150u, w.table.capacity);
    for (std::size_t i = 0; i < 150; ++i) EXPECT_EQ(w.table.rows[i].resolution, 3 * static_cast<int>(i + 1));
    // With 100 files or more, progress is logged for every 50th row only.
    EXPECT_TRUE(w.logHas("1. Karte von 150 gelesen") && w.logHas("101. Karte von 150 gelesen"));
    EXPECT_FALSE(w.logHas("2. Karte von 150 gelesen"));
}

TEST_F(FillKarteTab, SameMapInTwoFormatsKeepsOneRow) {
    touchMaps({"karte_32_500000_5600000_100_1000_800.jpg", "karte_32_500000_5600000_100_1000_800.png",
               "karte_32_510000_5600000_100_1000_800.png"});
    ASSERT_EQ(w.scan(), 1);
    const std::string kept(w.table.rows[w.table.rows[0].fileName().find("510000") == std::string::npos ? 0 : 1].fileName());
    EXPECT_TRUE(w.logHas(kept.substr(kept.size() - 3) + " wird benutzt"));
    EXPECT_TRUE(w.logHas("karte_32_500000_5600000_100_1000_800 doppelt"));
}

// A folder that gives no maps keeps the table; without a folder the configured one is scanned.
TEST_F(FillKarteTab, AFolderWithoutMapsKeepsTheTable) {
    touch(w.dir / "karte_32_500000_5600000_100_10_10.jpg");
    MapScanContext configured{w.table, w.grid, w.frame, w.log, w.ui, w.dir.string(), true};
    ASSERT_EQ(fill_karte_tab(configured, std::nullopt), 0);
    for (const char* folder : {"Karten", "leer_gk"}) {
        std::filesystem::create_directory(w.temp.path() / folder);
        EXPECT_EQ(w.scan(w.temp.path() / folder), -1);
        EXPECT_EQ(w.table.rows.size(), 1u) << folder;
        EXPECT_EQ(w.grid.LocalDatumGrid, folder[0] == 'l') << folder;  // only a valid name sets the grid
    }
}

// The scan lists one folder and looks at no entry twice: a folder it may not read has no maps;
// a link onto itself and a folder named like a map are not maps.
TEST_F(FillKarteTab, UnreadableFoldersAndLinkLoopsAreNoMaps) {
    touchMaps({"Karte_32_500000_5600000_100_10_10.png", "Karte_32_500100_5600000_100_10_10.png"});
    const std::string self = "Karte_32_500200_5600000_100_10_10.png";
    std::filesystem::create_symlink(self, w.dir / self);
    std::filesystem::create_directory_symlink(".", w.dir / "schleife");
    std::filesystem::create_directory(w.dir / "Karte_32_500300_5600000_100_10_10.png");
    EXPECT_EQ(w.scan(), 1);
    const auto locked = w.temp.path() / "Gesperrt_utm";
    std::filesystem::create_directory(locked);
    touch(locked / self);
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    asOrdinaryUser(w.temp.path(), [&] {
        EXPECT_EQ(w.scan(locked), -1);
        EXPECT_EQ(w.table.rows.size(), 2u);  // the table stays
    });
    chmod(locked.c_str(), 0755);
}

TEST_F(FillKarteTab, ProgressGoesToTheCallbacks) {
    touchMaps({"karte_32_500000_5600000_100_10_10.jpg", "karte_32_500000_5600000_200_10_10.jpg"});
    std::string shown;
    MapScanContext ctx{w.table, w.grid, w.frame, w.log, w.ui, {}, true};
    MapScanProgress progress{[&](int p) { shown += std::to_string(p) + " "; }, [&](std::string_view s) { shown += s; }};
    ASSERT_EQ(fill_karte_tab(ctx, w.dir.string(), progress), 1);
    EXPECT_EQ(shown, "0 50 1. karte_32_500000_5600000_100_10_10.jpg100 2. karte_32_500000_5600000_200_10_10.jpg100 ");
    EXPECT_FALSE(w.logHas("1. karte_32_500000_5600000_100_10_10.jpg"));
}

}  // namespace
}  // namespace vexa::testing
