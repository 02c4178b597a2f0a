#include <gtest/gtest.h>

#include <QPainter>

#include "maps/map_selection.h"
#include "maps/memory_status.h"
#include "maps/render/map_loading.h"
#include "maps/render/map_frame.h"
#include "tests/maps/map_fixture.h"

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

    const MapEntry& rowNamed(const std::string& part) {
        for (const MapEntry& row : w.table.rows)
            if (row.fileName().find(part) != std::string_view::npos) return row;
        throw std::runtime_error("no row " + part);
    }
};

TEST_F(MapLoading, RowsAreLoadedInViewAndReleasedWhenTheyLeaveItOrTheTableIsRescanned) {
    saveImage(blockPattern(200, 200, 10), w.dir / "karte_32_500000_5600000_100_200_200.png");
    saveImage(blockPattern(200, 200, 20), w.dir / "karte_32_510000_5600000_100_200_200.png");
    ASSERT_EQ(w.scan(), 1);
    EXPECT_EQ(walk(501000, 5599000), (std::vector<int>{1, 1}));
    w.canvas.images.sync(w.table);
    const int west = rowNamed("500000").fileName() == w.table.rows[0].fileName() ? 0 : 1;
    EXPECT_TRUE(w.canvas.images.loaded(west));
    EXPECT_FALSE(w.canvas.images.loaded(1 - west));
    EXPECT_FALSE(w.ui.waitCursor());

    walk(511000, 5599000);
    EXPECT_FALSE(w.canvas.images.loaded(west));
    EXPECT_TRUE(w.canvas.images.loaded(1 - west));
    EXPECT_EQ(w.table.rows[static_cast<std::size_t>(west)].inView, 0);
    EXPECT_EQ(w.canvas.images.loadedCount(), 1u);

    ASSERT_EQ(w.scan(), 1);
    w.canvas.images.sync(w.table);
    EXPECT_EQ(w.canvas.images.loadedCount(), 0u);
}

TEST_F(MapLoading, HybridOverlayIsLaidOverThePhotoExceptTheColourKey) {
    QImage photo(100, 100, QImage::Format_RGB32);
    photo.fill(qRgb(0, 0, 255));
    QImage overlay(100, 100, QImage::Format_RGB32);
    overlay.fill(kHybridColourKey);
    for (int x = 0; x < 100; ++x) overlay.setPixel(x, 50, qRgb(255, 0, 0));
    saveImage(photo, w.dir / "Karte_0_500000_5600000_100_100_100.jpg");
    saveImage(overlay, w.dir / "Karte_1_500000_5600000_100_100_100.png");
    const auto path = (w.dir / "Karte_0_500000_5600000_100_100_100.jpg").string();
    QImage result;
    int error = 0;
    ASSERT_EQ(ReadPictureFile(path, "jpg", 0, w.log, result, error), 1);
    EXPECT_EQ(result.pixel(10, 50), qRgb(255, 0, 0));
    EXPECT_EQ(result.pixel(99, 50), qRgb(255, 0, 0));
    const QColor kept = result.pixelColor(10, 10);   // JPEG: nearly the photo's blue
    EXPECT_LT(kept.red(), 20);
    EXPECT_GT(kept.blue(), 230);

    std::filesystem::remove(w.dir / "Karte_1_500000_5600000_100_100_100.png");
    ASSERT_EQ(ReadPictureFile(path, "jpg", 0, w.log, result, error), 1);
    EXPECT_GT(result.pixelColor(10, 50).blue(), 230);
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

TEST_F(MapLoading, GifAndSixteenColourMapsKeepFewColours) {
    saveGif(blockPattern(120, 120, 90), w.dir / "karte_32_500000_5600000_100_120_120.gif");
    saveImage(blockPattern(120, 120, 90), w.dir / "karte_32_500000_5600000_200_120_120.png");
    ASSERT_EQ(w.scan(), 1);
    LoadResult gif = ReadBitmapFromFile(w.table.rows[0], 0, w.log);
    ASSERT_FALSE(gif.bitmap.isNull());
    EXPECT_EQ(gif.bitmap.depth(), 8);
    EXPECT_EQ(gif.bitmap.pixel(35, 95), blockColour(35, 95, 90));
    LoadResult png = ReadBitmapFromFile(w.table.rows[1], 0, w.log);
    EXPECT_EQ(png.bitmap.depth(), 32);
    LoadResult sixteen = ReadBitmapFromFile(w.table.rows[1], 1, w.log);
    ASSERT_FALSE(sixteen.bitmap.isNull());
    EXPECT_EQ(sixteen.bitmap.format(), QImage::Format_Indexed8);
    EXPECT_LE(sixteen.bitmap.colorCount(), 16);
}

TEST_F(MapLoading, ANameThatIsNotUtf8LoadsByItsBytes) {
    const std::string latin1Name = "karteB\xe4r_32_500000_5600000_100_100_100.png";  // "Bär" in Latin-1
    saveImage(blockPattern(100, 100, 7), w.dir / "plain.png");
    std::filesystem::rename(w.dir / "plain.png", w.dir / latin1Name);
    ASSERT_EQ(w.scan(), 0);
    EXPECT_EQ(w.table.rows[0].fileName(), latin1Name);
    w.view.WantedResolution = 100;
    w.view.AutoResolution = 0;
    EXPECT_EQ(walk(500500, 5599500), std::vector<int>{1});
    EXPECT_FALSE(w.logHas("Nicht alle Karten gelesen"));
    EXPECT_EQ(w.canvas.images.loadedCount(), 1u);
}

TEST_F(MapLoading, MapsBeyondTheMemoryBudgetAreRefusedAsSpeicherengpass) {
    saveImage(blockPattern(100, 80, 3), w.dir / "karte_32_500000_5600000_100_100_80.png");
    ASSERT_EQ(w.scan(), 0);
    for (const auto& [budget, loads] : {std::pair{32000u, true}, {31999u, false}}) {
        SetMapMemoryBudget(budget);
        w.log.setText("");
        EXPECT_EQ(ReadBitmapFromFile(w.table.rows[0], 0, w.log).bitmap.isNull(), !loads) << budget;
        EXPECT_EQ(w.logHas("<<< ReadBitmapFromFile Speicherengpass >>>"), !loads) << budget;
    }
    SetMapMemoryBudget(0);
    EXPECT_EQ(MapMemoryBudget(), static_cast<std::uint64_t>(GlobalMemoryStatus().totalPhys) / 4);
}

TEST_F(MapLoading, BadFilesFailCleanlyAndStopTheWalk) {
    // Named .bmp but holding a JPEG, a mixed-case extension, a truncated PNG, garbage, an
    // image wider than the decoder allows, and a missing file.
    saveImage(blockPattern(100, 100, 1), w.dir / "karte_32_500000_5600000_100_100_100.bmp", "JPG");
    saveImage(blockPattern(100, 100, 1), w.dir / "karte_32_500000_5600000_101_100_100.jpg");
    std::filesystem::rename(w.dir / "karte_32_500000_5600000_101_100_100.jpg",
                            w.dir / "karte_32_500000_5600000_101_100_100.jpG");
    saveImage(blockPattern(100, 100, 1), w.dir / "karte_32_500000_5600000_102_100_100.png");
    const std::string png = readFile(w.dir / "karte_32_500000_5600000_102_100_100.png");
    writeFile(w.dir / "karte_32_500000_5600000_102_100_100.png", png.substr(0, png.size() / 2));
    writeFile(w.dir / "karte_32_500000_5600000_103_100_100.jpg", std::string(3000, 'x'));
    saveImage(QImage(10001, 1, QImage::Format_Mono), w.dir / "karte_32_500000_5600000_104_10001_1.png");

    struct Case { const char* name; const char* line; };
    for (const Case c : {Case{"_100_100_100.bmp", nullptr}, Case{"_102_100_100.png", "Error DecompressImageIndirect"},
                         Case{"_103_100_100.jpg", "Error DecompressImageIndirect"},
                         Case{"_104_10001_1.png", "<<< ReadBitmapFromFile Speicherengpass >>>"},
                         Case{"_105_100_100.png", nullptr}}) {
        MapEntry row;
        row.path = (w.dir / ("karte_32_500000_5600000" + std::string(c.name))).string();
        row.fileNameStart = w.dir.string().size() + 1;
        row.extensionStart = row.path.rfind('.') + 1;
        w.log.setText("");
        EXPECT_TRUE(ReadBitmapFromFile(row, 0, w.log).bitmap.isNull()) << c.name;
        EXPECT_NE(w.log.text().find("An "), std::string::npos) << c.name;
        EXPECT_EQ(w.log.text().find(c.line ? c.line : "DecompressImageIndirect") != std::string::npos, c.line != nullptr)
            << c.name;
    }

    // The mixed-case file is not catalogued; in a walk the first failing row stops it.
    ASSERT_EQ(w.scan(), 3);
    w.view.WantedResolution = 100;
    w.view.AutoResolution = 0;
    std::vector<int> results = walk(500500, 5599500);
    EXPECT_EQ(results[0], 0);
    EXPECT_TRUE(w.logHas("Nicht alle Karten gelesen"));
    EXPECT_EQ(w.canvas.images.loadedCount(), 0u);
}

}  // namespace
}  // namespace vexa::testing
