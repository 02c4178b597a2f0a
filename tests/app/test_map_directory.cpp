// The dialog "Karten Verzeichnis" on real folders: a tap chooses, a double tap scans and keeps
// a folder, one without maps keeps the dialog open, the keyboard and the path field choose
// folders, "ohne Karten" empties the table, ten thousand maps scan with progress while the
// window keeps painting, and "Karten importieren…" adds a GeoTIFF's tiles to the current folder.
#include <QTest>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include <cstdlib>
#include <fstream>
#include <algorithm>

#include "app/command_ids.h"
#include "app/map_directory_dialog.h"
#include "tests/app/app_fixture.h"

namespace vexa::testing {
namespace {

namespace fs = std::filesystem;

class MapDirectoryTest : public AppTest {
protected:
    // Empty files named as maps: the scan reads names only.
    fs::path makeMaps(const std::string& folder, int count) {
        const fs::path dir = dir_ / folder;
        fs::create_directories(dir);
        for (int i = 0; i < count; ++i)
            std::ofstream(dir / ("Karte_32_" + std::to_string(500000 + (i % 100) * 1000) + "_" +
                                 std::to_string(5500000 + (i / 100) * 1000) + "_100_100_100.png"));
        return dir;
    }
    static QModelIndex indexOf(MapDirectoryDialog& d, const fs::path& folder) {
        return d.model()->index(QString::fromStdString(folder.string()));
    }
};

TEST_F(MapDirectoryTest, TapsTheKeyboardAndThePathFieldChooseAndADoubleTapKeepsAFolderWithMaps) {
    MainWindow& w = open();
    const fs::path empty = dir_ / "leer_utm";
    fs::create_directories(empty);
    const fs::path maps = makeMaps("Karten_utm", 3);
    answer<MapDirectoryDialog>([&](MapDirectoryDialog& d) {
        EXPECT_EQ(w.windowTitle(), "Karten Verzeichnis");
        EXPECT_EQ(d.status()->text(), "0 Karte(n) in ");
        EXPECT_EQ(d.model()->filePath(d.tree()->currentIndex()).toStdString(), home_.string());
        d.choose(indexOf(d, maps));
        EXPECT_EQ(d.status()->text().toStdString(), maps.string() + "/");
        d.scanAndKeep(indexOf(d, empty));
        EXPECT_EQ(d.status()->text().toStdString(), "0 Karte(n) in " + empty.string() + "/");
        EXPECT_EQ(std::pair(d.result(), state().settings.KartDir), std::pair(int(QDialog::Rejected), empty.string() + "/"));
        d.scanAndKeep(indexOf(d, maps));
        EXPECT_EQ(d.status()->text().toStdString(), "3 Karte(n) in " + maps.string() + "/");
        return d.result();
    });
    run(cmd::MapDirectory);
    EXPECT_EQ(std::pair(w.windowTitle(), state().frame.lastMapIndex), std::pair(QString("VEXA"), 2));
    open();  // the folder is stored
    EXPECT_EQ(std::pair(state().settings.KartDir, state().frame.lastMapIndex), std::pair(maps.string() + "/", 2));

    // The tree opens at the map folder; the keyboard and the path field choose folders; "ohne
    // Karten" empties the table.
    const fs::path alpha = dir_ / "alpha_utm", beta = dir_ / "beta_utm";
    fs::create_directories(alpha / "beta_utm");  // a namesake in an open branch
    fs::create_directories(beta);
    answer<MapDirectoryDialog>([&](MapDirectoryDialog& d) {
        d.show();
        EXPECT_EQ(d.model()->filePath(d.tree()->currentIndex()).toStdString(), maps.string());
        d.tree()->setFocus();
        d.tree()->setCurrentIndex(indexOf(d, alpha));
        d.tree()->expand(indexOf(d, alpha));
        EXPECT_TRUE(waitFor([&] { return d.model()->rowCount(indexOf(d, alpha)) == 1; }));
        QTest::keyClicks(d.tree(), "b");
        EXPECT_EQ(d.model()->filePath(d.tree()->currentIndex()).toStdString(), beta.string());
        EXPECT_EQ(d.status()->text().toStdString(), beta.string() + "/");
        const std::pair<std::string, std::string> typed[] = {
            {"/nicht/da", "Kein Ordner: /nicht/da"},
            {"  " + alpha.string() + " ", "0 Karte(n) in " + alpha.string() + "/"},
            {"file://" + (maps / "Karte_32_500000_5500000_100_100_100.png").string(), "3 Karte(n) in " + maps.string() + "/"},
        };
        for (const auto& [text, status] : typed) {
            d.path()->clear();
            QTest::keyClicks(d.path(), QString::fromStdString(text));
            QTest::keyClick(d.path(), Qt::Key_Return);
            EXPECT_EQ(d.status()->text().toStdString(), status) << text;
        }
        return d.result();
    });
    run(cmd::MapDirectory);
    EXPECT_EQ(std::pair(state().settings.KartDir, state().frame.lastMapIndex), std::pair(maps.string() + "/", 2));
    answer<MapDirectoryDialog>([](MapDirectoryDialog& d) {
        d.withoutMapsButton()->click();
        return d.result();
    });
    run(cmd::MapDirectory);
    EXPECT_EQ(std::tuple(state().frame.lastMapIndex, state().maps.rows.size(), state().frame.mapScale), std::tuple(-1, 0u, 200));
}

// The progress itself belongs to the catalogue; here the window keeps running during the scan.
TEST_F(MapDirectoryTest, TenThousandMapsScanWithProgressWhileTheWindowPaints) {
    open();
    const fs::path maps = makeMaps("Viele_utm", 10000);
    int progress = 0, ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    answer<MapDirectoryDialog>([&](MapDirectoryDialog& d) {
        QObject::connect(d.progress(), &QProgressBar::valueChanged, [&](int v) { progress = v; });
        ticker.start(0);
        d.scanAndKeep(indexOf(d, maps));
        ticker.stop();
        return d.result();
    });
    run(cmd::MapDirectory);
    EXPECT_EQ(state().frame.lastMapIndex, 9999);
    EXPECT_EQ(progress, 100);
    EXPECT_GT(ticks, 10);  // events ran during the scan
}

TEST_F(MapDirectoryTest, ImportedMapsJoinTheTableOfTheCurrentFolder) {
    const fs::path maps = makeMaps("Karten_utm", 3), tiff = dir_ / "dtk.tif";
    const std::string make = "gdal_translate -q -a_srs EPSG:25832 -a_ullr 510000 5510000 511000 5509000 "
                             "-outsize 100 100 '" + (demoMaps() / "Karte_32_300000_5700000_10_1000_1000.png").string() +
                             "' '" + tiff.string() + "'";
    ASSERT_EQ(std::system(make.c_str()), 0);
    openWithMaps(maps);
    files_.push_back(tiff);
    run(cmd::ImportMaps);
    ASSERT_EQ(state().maps.rows.size(), 4u) << ::testing::PrintToString(messages());
    EXPECT_TRUE(std::any_of(state().maps.rows.begin(), state().maps.rows.end(), [](const MapEntry& row) {
        return row.fileName() == "Karte_32_510000_5510000_100_1000_1000.jpg";
    }));
}

}  // namespace
}  // namespace vexa::testing
