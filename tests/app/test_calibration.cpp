// Calibrating maps on real files: the dialog "Karte umbenennen", renames that never replace a
// file, "alle", Delete after asking, a map moved by a tap in the Move view or by the stylus.
#include <QAction>
#include <QCheckBox>
#include <QImage>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

#include "app/calibration_dialog.h"
#include "app/command_ids.h"
#include "app/frame_view.h"
#include "tests/app/app_fixture.h"
#include "tests/support/golden_file.h"
#include "tests/support/ordinary_user.h"
#include "util/text.h"

namespace vexa::testing {
namespace {

namespace fs = std::filesystem;

const std::string kFirst = "Karte_32_500000_5500000_100_100_100.png";

class CalibrationTest : public AppTest {
protected:
    fs::path maps_ = dir_ / "Karten_utm";

    // Three maps of 100 pixels per 1000 m side by side and one of 25; 100 × 100 pixels each.
    MainWindow& openMaps() {
        fs::remove_all(maps_);
        fs::create_directories(maps_);
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(QColor(200, 225, 180));
        for (const char* name : {"Karte_32_500000_5500000_100_100_100.png", "Karte_32_501000_5500000_100_100_100.png",
                                 "Karte_32_502000_5500000_100_100_100.png", "Karte_32_496000_5504000_25_100_100.png"})
            image.save(QString::fromStdString((maps_ / name).string()));
        MainWindow& w = open({.scale = 1, .maps = maps_});
        state().frame.viewCentre = TrackPoint{500500.0, 5499500.0};
        run(cmd::KarteView);
        return w;
    }
    // The files with their table rows ("left,top"; "-" without a row, "gone" for a row without
    // its file, "fremd" for a file that is no map), the boxes and the calibration afterwards; the
    // folder is named <maps>.
    std::string record(bool withBoxes = true) {
        std::map<std::string, std::string> maps;
        for (const auto& entry : fs::directory_iterator(maps_))
            maps[entry.path().filename().string()] = fs::file_size(entry) == 5 ? " fremd" : " -";
        for (const MapEntry& row : state().maps.rows) {
            std::string& what = maps[std::string(row.fileName())];
            what = what.empty() ? " gone" : strprintf(" %.0f,%.0f", row.left, row.top);
            // Wherever a map was moved, it still covers its pixels at its resolution.
            const float side = 1000.0f / static_cast<float>(row.resolution);
            if (std::abs(row.right - row.left - row.widthPx * side) > 1 || std::abs(row.top - row.bottom - row.heightPx * side) > 1)
                what += strprintf(" reaching %.0f,%.0f", row.right, row.bottom);
        }
        std::string out;
        for (const auto& [name, what] : maps) out += name + what + "; ";
        for (const std::string& box : withBoxes ? messages() : std::vector<std::string>()) out += "box " + box + "; ";
        out += strprintf("calibrating=%d row=%d", state().frame.calibrating, state().mapView.CalibrationRow);
        for (std::size_t at; (at = out.find(maps_.string())) != std::string::npos;) out.replace(at, maps_.string().size(), "<maps>");
        return oneLine(out);
    }
    // Opens the dialog for the named map; `act` works it and returns its result.
    void calibrate(const std::string& name, const std::function<int(CalibrationDialog&)>& act) {
        for (std::size_t i = 0; i < state().maps.rows.size(); ++i)
            if (state().maps.rows[i].fileName() == name) state().mapView.CalibrationRow = static_cast<int>(i);
        answer<CalibrationDialog>(act);
        run(cmd::CalibrationMenu);
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

// Each case line of calibration.txt names a scenario, perhaps with a number, run on fresh maps.
TEST_F(CalibrationTest, ScenariosLeaveTheMapsAsRecorded) {
    const std::map<std::string, std::function<void(int)>> scenarios = {
        // OK with nothing changed keeps the dialog open; a rename onto a taken name fails.
        {"rename", [&](int) {
             std::ofstream(maps_ / "Karte_32_500100_5500000_100_100_100.png") << "fremd";
             calibrate(kFirst, [](CalibrationDialog& d) {
                 d.okButton()->click();
                 EXPECT_EQ(std::pair(d.result(), shift(d, 100, 0)), std::pair(0, 0));
                 return shift(d, -75, 0);
             });
         }},
        {"all", [&](int) {
             std::ofstream(maps_ / "Karte_32_502010_5500005_100_100_100.png") << "fremd";
             calibrate(kFirst, [](CalibrationDialog& d) {
                 const int result = shift(d, 10, 5, true);
                 EXPECT_EQ(d.progress()->value(), 100);
                 return result;
             });
         }},
        {"delete", [&](int answer) {
             window().ui().setMessageResponder([answer](const ShownBox&) { return Answer(answer); });
             calibrate("Karte_32_501000_5500000_100_100_100.png", [](CalibrationDialog& d) {
                 d.deleteButton()->click();
                 return d.result();
             });
         }},
        // The menu of a tap in the Move view, 10 pixels right of and 5 below the centre: the
        // current map moves 100 m west and 50 m north, for good, for now or not at all.
        {"move-view-tap", [&](int command) {
             run(cmd::Calibration);
             run(cmd::MoveView);
             window().setMenuRunner([&](QMenu& menu) {
                 std::vector<std::string> items;
                 for (QAction* a : menu.actions()) items.push_back(a->text().toStdString());
                 EXPECT_EQ(items, (std::vector<std::string>{"permanente Kalibrierung", "temporäre Kalbrierung",
                                                            "Cancel Kalibrierung"}));
                 return command;
             });
             answer<CalibrationDialog>([](CalibrationDialog& d) {
                 EXPECT_EQ(std::pair(d.newPlacement().x, d.newPlacement().y), std::pair(499900, 5500050));
                 d.okButton()->click();
                 return d.result();
             });
             QTest::mouseClick(&window().frameView(), Qt::LeftButton, {}, QPoint(240 / 2 + 10, 320 / 2 + 5));
             settle();
             EXPECT_EQ(view(), DisplayMode::Move);
         }},
        // Moved for now, then a second tap's "Cancel Kalibrierung": the map is back where its
        // name puts it.
        {"move-view-tap-cancel", [&](int) {
             scenarios.at("move-view-tap")(cmd::TemporaryCalibration);
             window().setMenuRunner([](QMenu&) { return cmd::CancelCalibration; });
             QTest::mouseClick(&window().frameView(), Qt::LeftButton, {}, QPoint(240 / 2 + 10, 320 / 2 + 5));
             settle();
         }},
        // Enter takes the map under the centre, the stylus moves it 10 pixels, 100 m east,
        // Enter asks for the new name.
        {"stylus", [&](int) {
             QTest::keyClick(&window(), Qt::Key_Return);
             FrameView& screen = window().frameView();
             QTest::mousePress(&screen, Qt::LeftButton, {}, QPoint(100, 100));
             QMouseEvent move(QEvent::MouseMove, QPointF(110, 100), screen.mapToGlobal(QPointF(110, 100)),
                              Qt::NoButton, Qt::LeftButton, {});
             QApplication::sendEvent(&screen, &move);
             QTest::mouseRelease(&screen, Qt::LeftButton, {}, QPoint(110, 100));
             answer<CalibrationDialog>([](CalibrationDialog& d) {
                 EXPECT_EQ(d.newPlacement().x, 500100);
                 d.okButton()->click();
                 return d.result();
             });
             QTest::keyClick(&window(), Qt::Key_Return);
         }},
    };
    EXPECT_GT(compareGoldenFile((sourceDir() / "tests/data/calibration.txt").string(),
                                [&](const std::string& line) {
                                    std::istringstream in(line);
                                    std::string name;
                                    int number = 0;
                                    in >> name >> number;
                                    openMaps();
                                    scenarios.at(name)(number);
                                    return record();
                                }),
              7);
}

// A rename in a read-only folder fails with a box, and the table stays.
TEST_F(CalibrationTest, ARenameInAReadOnlyFolderFailsAndTheTableStays) {
    openMaps();
    const std::string before = record();
    ASSERT_EQ(chmod(maps_.c_str(), 0555), 0);
    asOrdinaryUser(dir_.path(), [&] {
        calibrate(kFirst, [](CalibrationDialog& d) { return shift(d, 0, 10); });
        EXPECT_EQ(std::pair(messages().size(), record(false)), std::pair(std::size_t{1}, before));
    });
    chmod(maps_.c_str(), 0755);
}

}  // namespace
}  // namespace vexa::testing
