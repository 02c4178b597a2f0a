#include <gtest/gtest.h>

#include <QPainter>

#include <sstream>

#include "maps/map_selection.h"
#include "maps/memory_status.h"
#include "maps/render/map_loading.h"
#include "maps/render/map_frame.h"
#include "tests/maps/map_fixture.h"
#include "tests/support/golden_file.h"
#include "util/text.h"

namespace vexa::testing {
namespace {

class MapLoading : public ::testing::Test {
protected:
    MapWorld w;

    // One frame at the position; returns what show_pos_UP answered for each row.
    std::vector<int> walk(double e, double n) {
        MapFrameContext ctx = w.context();
        int any = 0;
        setMatchKarten(w.table, w.view, w.frame, w.grid, GridPoint{e, n}, 0, 0, 400, 400, &any);
        QPainter painter(&w.canvas.buffer);
        const TrackPoint p{e, n};
        std::vector<int> results;
        for (int i = 0; i <= w.table.lastIndex(); ++i) results.push_back(show_pos_UP(ctx, painter, i, p));
        return results;
    }
};

TEST_F(MapLoading, RowsAreLoadedInViewAndReleasedWhenTheyLeaveItOrTheTableIsRescanned) {
    saveImage(blockPattern(200, 200, 10), w.dir / "karte_32_500000_5600000_100_200_200.png");
    saveImage(blockPattern(200, 200, 20), w.dir / "karte_32_510000_5600000_100_200_200.png");
    ASSERT_EQ(w.scan(), 1);
    EXPECT_EQ(walk(501000, 5599000), (std::vector<int>{1, 1}));
    w.canvas.images.sync(w.table);
    const int west = w.table.rows[0].fileName().find("_500000_") != std::string_view::npos ? 0 : 1;
    EXPECT_TRUE(w.canvas.images.loaded(west) && !w.canvas.images.loaded(1 - west));
    EXPECT_FALSE(w.ui.waitCursor());
    walk(511000, 5599000);
    EXPECT_TRUE(!w.canvas.images.loaded(west) && w.canvas.images.loaded(1 - west));
    EXPECT_EQ(w.table.rows[static_cast<std::size_t>(west)].inView, 0);

    ASSERT_EQ(w.scan(), 1);
    w.canvas.images.sync(w.table);
    EXPECT_EQ(w.canvas.images.loadedCount(), 0u);
}

TEST_F(MapLoading, HybridOverlayIsLaidOverThePhotoExceptTheColourKey) {
    QImage overlay(100, 100, QImage::Format_RGB32);
    overlay.fill(kHybridColourKey);
    QPainter(&overlay).fillRect(0, 50, 100, 1, QColor(255, 0, 0));
    saveImage(overlay, w.dir / "Karte_1_500000_5600000_100_100_100.png");
    overlay.fill(qRgb(0, 0, 255));
    saveImage(overlay, w.dir / "Karte_0_500000_5600000_100_100_100.jpg");
    const auto path = (w.dir / "Karte_0_500000_5600000_100_100_100.jpg").string();
    QImage result;
    int error = 0;
    // The red line over the photo's blue (JPEG: nearly blue); without the overlay the photo alone.
    for (const bool withOverlay : {true, false}) {
        if (!withOverlay) std::filesystem::remove(w.dir / "Karte_1_500000_5600000_100_100_100.png");
        ASSERT_EQ(ReadPictureFile(path, "jpg", 0, w.log, result, error), 1);
        EXPECT_EQ(result.pixel(10, 50) == qRgb(255, 0, 0) && result.pixel(99, 50) == qRgb(255, 0, 0), withOverlay);
        const QColor kept = result.pixelColor(10, withOverlay ? 10 : 50);
        EXPECT_TRUE(kept.red() < 20 && kept.blue() > 230) << withOverlay;
    }
}

TEST_F(MapLoading, RealSizeCorrectsTheRowAndAsksForTheRename) {
    saveImage(blockPattern(1024, 800, 10), w.dir / "karte_32_500000_5600000_100_1000_800.png");
    ASSERT_EQ(w.scan(), 0);
    walk(501000, 5599000);
    const MapEntry& row = w.table.rows[0];
    EXPECT_EQ(row.widthPx, 1024);
    EXPECT_EQ(row.right, 510240.0f);
    EXPECT_EQ(row.bottom, 5592000.0f);
    EXPECT_EQ(w.view.PendingMapName, "Karte_32_500000_5600000_100_1024_800.png");
    EXPECT_EQ(w.ui.commands(), (std::vector<int>{40074}));
}

// One read of map_reads.txt: how the file is written, its name, and options; the record is the
// image read (size, depth, colours) or "none", and the lines logged.
std::string readRecord(const std::string& line) {
    MapWorld w;
    std::istringstream words(line);
    std::string kind, name, word;
    words >> kind >> name;
    int colourMode = 0;
    std::uint64_t budget = 0;
    while (words >> word)
        if (!std::sscanf(word.c_str(), "colours=%d", &colourMode) && !std::sscanf(word.c_str(), "budget=%lu", &budget))
            ADD_FAILURE() << "unknown word " << word;
    const auto file = w.dir / name;
    const QImage blocks = blockPattern(120, 100, 90);
    if (kind == "image") saveImage(blocks, file, name.ends_with(".bmp") ? "JPG" : nullptr);  // a .bmp holds a JPEG
    if (kind == "half") saveImage(blocks, file, "PNG"), writeFile(file, readFile(file).substr(0, 2000));
    if (kind == "junk") writeFile(file, std::string(3000, 'x'));
    if (kind == "wide") saveImage(QImage(10001, 1, QImage::Format_Mono), file, "PNG");
    MapEntry row;
    row.path = file.string();
    row.fileNameStart = w.dir.string().size() + 1;
    row.extensionStart = row.path.rfind('.') + 1;
    SetMapMemoryBudget(budget);
    const QImage image = ReadBitmapFromFile(row, colourMode, w.log).bitmap;
    SetMapMemoryBudget(0);
    std::string out = image.isNull() ? "none" : strprintf("%dx%d depth %d colours %d", image.width(), image.height(), image.depth(), image.colorCount());
    std::istringstream log(w.log.text());
    for (std::string logged; std::getline(log, logged);) {
        if (logged.ends_with('\r')) logged.pop_back();
        if (const auto at = logged.find(w.dir.string()); at != std::string::npos) logged.replace(at, w.dir.string().size(), "<dir>");
        if (const auto at = logged.find("Line="); at != std::string::npos) logged.erase(at + 5, logged.find(' ', at) - at - 5);
        out += "; " + logged;
    }
    return out;
}

TEST(MapReads, ReadsGiveTheRecordsOfTheGoldenFile) {
    EXPECT_GT(compareGoldenFile(VEXA_TEST_DATA "/map_reads.txt", readRecord), 8);
    EXPECT_EQ(MapMemoryBudget(), static_cast<std::uint64_t>(GlobalMemoryStatus().totalPhys) / 4) << "0: a quarter of the memory";
}

// A walk loads a map whose name is not UTF-8 by its bytes; the first map that fails stops it.
TEST_F(MapLoading, AWalkLoadsByTheNamesBytesAndStopsAtABadFile) {
    const std::string latin1Name = "karteB\xe4r_32_500000_5600000_100_100_100.png";  // "Bär" in Latin-1
    saveImage(blockPattern(100, 100, 7), w.dir / "plain.png");
    std::filesystem::rename(w.dir / "plain.png", w.dir / latin1Name);
    const auto bad = w.temp.path() / "Schlecht_utm";
    std::filesystem::create_directory(bad);
    writeFile(bad / "karte_32_500000_5600000_100_100_100.jpg", std::string(3000, 'x'));
    w.view.WantedResolution = 100;
    w.view.AutoResolution = 0;
    for (const auto& [folder, loaded] : {std::pair{w.dir, 1}, {bad, 0}}) {
        ASSERT_EQ(w.scan(folder), 0);
        EXPECT_EQ(walk(500500, 5599500), std::vector<int>{loaded});
        EXPECT_EQ(w.logHas("Nicht alle Karten gelesen"), loaded == 0);
    }
    EXPECT_EQ(w.canvas.images.loadedCount(), 0u);
}

}  // namespace
}  // namespace vexa::testing
