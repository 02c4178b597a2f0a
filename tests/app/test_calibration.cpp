// Calibrating maps on real files: the dialog "Karte umbenennen", renames that never replace a
// file, "alle", Delete after asking, and a map moved by the stylus and renamed by Enter.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QImage>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <set>
#include <tuple>

#include "app/calibration_dialog.h"
#include "app/command_ids.h"
#include "app/frame_view.h"
#include "tests/app/app_fixture.h"
#include "tests/support/ordinary_user.h"

namespace vexa::testing {
namespace {

namespace fs = std::filesystem;

class CalibrationTest : public AppTest {
protected:
    fs::path maps_ = dir_ / "Karten_utm";

    // Three maps of 100 pixels per 1000 m side by side and one of 25; 100 × 100 pixels each.
    MainWindow& openMaps() {
        fs::create_directories(maps_);
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(QColor(200, 225, 180));
        QPainter(&image).drawRect(0, 0, 99, 99);  // the edges show how a map lies
        for (const char* name : {"Karte_32_500000_5500000_100_100_100.png", "Karte_32_501000_5500000_100_100_100.png",
                                 "Karte_32_502000_5500000_100_100_100.png", "Karte_32_496000_5504000_25_100_100.png"})
            image.save(QString::fromStdString((maps_ / name).string()));
        WindowOptions options;
        options.maps = maps_;
        options.scale = 1;
        MainWindow& w = open(options);
        state().frame.viewCentre = TrackPoint{500500.0, 5499500.0};
        run(cmd::KarteView);
        return w;
    }
    std::set<std::string> files() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(maps_)) names.insert(entry.path().filename().string());
        return names;
    }
    // The table says what is on the disk.
    void expectTableMatchesDisk() {
        std::set<std::string> rows;
        for (const MapEntry& row : state().maps.rows) rows.insert(std::string(row.fileName()));
        EXPECT_EQ(rows, files());
    }
    int rowNamed(const std::string& name) {
        for (std::size_t i = 0; i < state().maps.rows.size(); ++i)
            if (state().maps.rows[i].fileName() == name) return static_cast<int>(i);
        return -1;
    }
    // Where the table places the named map: left, right and top; nothing without such a row.
    std::optional<std::tuple<float, float, float>> placed(const std::string& name) {
        const int row = rowNamed(name);
        if (row < 0) return std::nullopt;
        const MapEntry& e = state().maps.rows[static_cast<std::size_t>(row)];
        return std::tuple(e.left, e.right, e.top);
    }
    // Opens the dialog for the named map; `act` works it and returns its result.
    void calibrate(const std::string& name, const std::function<int(CalibrationDialog&)>& act) {
        const int row = rowNamed(name);
        ASSERT_GE(row, 0);
        state().mapView.CalibrationRow = row;
        answer<CalibrationDialog>(act);
        run(cmd::CalibrationMenu);
        EXPECT_EQ(state().mapView.CalibrationRow, -1);
    }
    // With VEXA_SHOTS set: the Move view with the menu open 20 pixels above the tap.
    void shotWithMenu(QMenu& menu, QPoint tap) {
        if (!std::getenv("VEXA_SHOTS")) return;
        QImage picture = window().frameView().image().convertToFormat(QImage::Format_RGB32);
        menu.adjustSize();
        const QImage items = menu.grab().toImage();
        QPainter(&picture).drawImage(std::min(tap.x(), picture.width() - items.width()), tap.y() - 20, items);
        QLabel label;
        label.setPixmap(QPixmap::fromImage(picture));
        shot(label, "move-calibration-menu.png");
    }
    static int shift(CalibrationDialog& d, int dx, int dy, bool all = false) {
        MapPlacement p = d.newPlacement();
        p.x += dx;
        p.y += dy;
        d.setNewPlacement(p);
        d.all()->setChecked(all);
        d.okButton()->click();
        return d.result();
    }
};

// OK with nothing changed keeps the dialog open; a rename never replaces a file: the map keeps
// its name, the other file its content; a free name is taken.
TEST_F(CalibrationTest, OkRenamesTheOneMapButNeverOntoAnExistingFile) {
    openMaps();
    const fs::path occupied = maps_ / "Karte_32_500100_5500000_100_100_100.png";
    std::ofstream(occupied) << "fremd";
    calibrate("Karte_32_500000_5500000_100_100_100.png", [this](CalibrationDialog& d) {
        shot(d, "calibration-dialog.png");
        d.okButton()->click();
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_EQ(shift(d, 100, 0), QDialog::Rejected);
        EXPECT_TRUE(fs::exists(maps_ / "Karte_32_500000_5500000_100_100_100.png"));
        return shift(d, -75, 0);
    });
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[0], "Karte ist unverändert");
    EXPECT_NE(messages()[1].find("gibt es schon"), std::string::npos);
    EXPECT_EQ(fs::file_size(occupied), 5u);
    EXPECT_EQ(placed("Karte_32_500025_5500000_100_100_100.png"), std::tuple(500025.0f, 501025.0f, 5500000.0f));
    EXPECT_FALSE(placed("Karte_32_500000_5500000_100_100_100.png"));
    EXPECT_FALSE(fs::exists(maps_ / "Karte_32_500000_5500000_100_100_100.png"));
}

// "alle" moves every map of the resolution; the one whose new name is taken stays and is named.
TEST_F(CalibrationTest, AllMovesEveryMapOfTheResolutionAndNamesTheOneThatFailed) {
    openMaps();
    std::ofstream(maps_ / "Karte_32_502010_5500005_100_100_100.png") << "fremd";
    calibrate("Karte_32_500000_5500000_100_100_100.png", [](CalibrationDialog& d) {
        const int result = shift(d, 10, 5, true);
        EXPECT_EQ(d.progress()->value(), 100);
        return result;
    });
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].find("Karte_32_502000_5500000_100_100_100.png"), std::string::npos);
    const std::set<std::string> expected = {
        "Karte_32_500010_5500005_100_100_100.png", "Karte_32_501010_5500005_100_100_100.png",
        "Karte_32_502000_5500000_100_100_100.png", "Karte_32_502010_5500005_100_100_100.png",
        "Karte_32_496000_5504000_25_100_100.png"};
    EXPECT_EQ(files(), expected);
    EXPECT_EQ(placed("Karte_32_501010_5500005_100_100_100.png"), std::tuple(501010.0f, 502010.0f, 5500005.0f));
    EXPECT_EQ(placed("Karte_32_502000_5500000_100_100_100.png"), std::tuple(502000.0f, 503000.0f, 5500000.0f));
}

TEST_F(CalibrationTest, ARenameInAReadOnlyFolderFailsAndTheTableStays) {
    openMaps();
    ASSERT_EQ(chmod(maps_.c_str(), 0555), 0);
    asOrdinaryUser(dir_.path(), [this] {
        calibrate("Karte_32_500000_5500000_100_100_100.png", [](CalibrationDialog& d) {
            EXPECT_EQ(shift(d, 0, 10), QDialog::Rejected);
            return QDialog::Rejected;
        });
        EXPECT_EQ(messages().size(), 1u);
        expectTableMatchesDisk();
    });
    chmod(maps_.c_str(), 0755);
    expectTableMatchesDisk();
}

TEST_F(CalibrationTest, DeleteAsksFirst) {
    MainWindow& w = openMaps();
    const std::string name = "Karte_32_501000_5500000_100_100_100.png";
    for (const Answer answer : {Answer::Cancel, Answer::Ok}) {
        w.ui().setMessageResponder([answer](const ShownBox&) { return answer; });
        calibrate(name, [](CalibrationDialog& d) {
            d.deleteButton()->click();
            return d.result();
        });
        EXPECT_EQ(fs::exists(maps_ / name), answer == Answer::Cancel);
    }
    EXPECT_EQ(messages().back(), "Delete " + (maps_ / name).string());
    expectTableMatchesDisk();
}

// Enter takes the map under the centre, the stylus moves it 100 m east (10 pixels at 100 per
// 1000 m), Enter asks for the new name and the file has it; Cancel Kalibrierung restores.
TEST_F(CalibrationTest, AMapMovedByTheStylusIsRenamedOnEnter) {
    MainWindow& w = openMaps();
    QTest::keyClick(&w, Qt::Key_Return);
    const int row = rowNamed("Karte_32_500000_5500000_100_100_100.png");
    ASSERT_EQ(state().mapView.CalibrationRow, row);
    FrameView& screen = w.frameView();
    QTest::mousePress(&screen, Qt::LeftButton, {}, QPoint(100, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(110, 100), screen.mapToGlobal(QPointF(110, 100)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(&screen, &move);
    QTest::mouseRelease(&screen, Qt::LeftButton, {}, QPoint(110, 100));
    EXPECT_FLOAT_EQ(state().maps.rows[static_cast<std::size_t>(row)].left, 500100.0f);
    answer<CalibrationDialog>([](CalibrationDialog& dialog) {
        EXPECT_EQ(dialog.newPlacement().x, 500100);
        dialog.okButton()->click();
        return dialog.result();
    });
    QTest::keyClick(&w, Qt::Key_Return);
    EXPECT_EQ(state().mapView.CalibrationRow, -1);
    EXPECT_TRUE(fs::exists(maps_ / "Karte_32_500100_5500000_100_100_100.png"));
    expectTableMatchesDisk();

    // A drag not made permanent is taken back by "Cancel Kalibrierung".
    QTest::keyClick(&w, Qt::Key_Return);
    const int again = state().mapView.CalibrationRow;
    ASSERT_GE(again, 0);
    state().maps.rows[static_cast<std::size_t>(again)].left += 300.0f;
    run(cmd::CancelCalibration);
    EXPECT_FLOAT_EQ(state().maps.rows[static_cast<std::size_t>(again)].left, 500100.0f);
    EXPECT_EQ(state().mapView.CalibrationRow, -1);
}

// In the Move view 10 pixels right of and 5 below the centre at 100 pixels per 1000 m is 100 m
// east and 50 m south: the current map moves the other way, for good through the rename
// dialog, for now in memory only, or not at all.
TEST_F(CalibrationTest, AMoveViewTapMovesTheCurrentMapForGoodForNowOrNotAtAll) {
    struct Case {
        int command;
        const char* file;
        float left, top;
        bool stillCalibrating;
    };
    const Case cases[] = {
        {cmd::TemporaryCalibration, "Karte_32_500000_5500000_100_100_100.png", 499900.0f, 5500050.0f, true},
        {cmd::CancelCalibration, "Karte_32_500000_5500000_100_100_100.png", 500000.0f, 5500000.0f, false},
        {cmd::PermanentCalibration, "Karte_32_499900_5500050_100_100_100.png", 499900.0f, 5500050.0f, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        MainWindow& w = openMaps();
        run(cmd::Calibration);
        run(cmd::MoveView);
        ASSERT_EQ(state().mapView.CurrentRow, rowNamed("Karte_32_500000_5500000_100_100_100.png"));
        const QPoint tap(240 / 2 + 10, 320 / 2 + 5);  // the default screen
        std::vector<std::string> items;
        w.setMenuRunner([&](QMenu& menu) {
            if (c.command == cmd::PermanentCalibration) shotWithMenu(menu, tap);
            for (QAction* a : menu.actions()) items.push_back(a->text().toStdString());
            return c.command;
        });
        answer<CalibrationDialog>([](CalibrationDialog& dialog) {
            EXPECT_EQ(dialog.newPlacement().x, 499900);
            EXPECT_EQ(dialog.newPlacement().y, 5500050);
            dialog.okButton()->click();
            return dialog.result();
        });
        QTest::mouseClick(&w.frameView(), Qt::LeftButton, {}, tap);
        settle();
        EXPECT_EQ(items, (std::vector<std::string>{"permanente Kalibrierung", "temporäre Kalbrierung",
                                                   "Cancel Kalibrierung"}));
        EXPECT_EQ(placed(c.file), std::tuple(c.left, c.left + 1000.0f, c.top));
        expectTableMatchesDisk();
        EXPECT_EQ(std::pair(state().frame.calibrating, state().mapView.CalibrationRow), std::pair(c.stillCalibrating, -1));
        EXPECT_EQ(view(), DisplayMode::Move);
    }
}

}  // namespace
}  // namespace vexa::testing
