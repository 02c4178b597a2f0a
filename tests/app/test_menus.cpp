// The menu bar: its drop-downs' check marks and gray states, the COM items, and the image
// strips that follow the Move display mode.
#include <thread>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include "app/button_icons.h"
#include "app/command_ids.h"
#include "app/menu_bar.h"
#include "frame/move_display.h"
#include "routes/route_table.h"
#include "tests/app/app_fixture.h"

namespace vexa::testing {
namespace {

QAction* item(MainWindow& w, int id) { return w.menuBar().action(id); }

TEST_F(AppTest, StartUpChecksPoisAndRoutePointsAndGraysAddPoiOutsideTheMapView) {
    MainWindow& w = open();
    EXPECT_TRUE(item(w, cmd::ShowPois)->isChecked());
    EXPECT_TRUE(item(w, cmd::ShowRoutePoints)->isChecked());
    EXPECT_EQ(item(w, cmd::ShowPois)->text(), "Show POIs");
    for (int id : {cmd::MapDirectory, cmd::DisplaySettings, cmd::ListPois, cmd::PoiDbReset,
                   cmd::RouteSave, cmd::PlaceDirectory, cmd::SendRouteToGarmin})
        EXPECT_TRUE(item(w, id)->isEnabled()) << id;
    // "Add POI" is gray in every view but the map view.
    for (int view : {cmd::NmeaView, cmd::GpsView, cmd::MoveView, cmd::KarteView}) {
        run(view);
        EXPECT_EQ(item(w, cmd::AddPoi)->isEnabled(), view == cmd::KarteView) << view;
    }

    run(cmd::ShowPois);
    EXPECT_FALSE(item(w, cmd::ShowPois)->isChecked());
    EXPECT_FALSE(state().frame.showPois);
    EXPECT_TRUE(item(w, cmd::ShowRoutePoints)->isChecked());
}

TEST_F(AppTest, CommandsThatNeedARouteOrATraceSaySoWhenThereIsNone) {
    MainWindow& w = open();
    const struct {
        int id;
        const char* text;
        const char* caption;
    } cases[] = {{cmd::RouteSave, "Keine Route vorhanden", "Speichern Route"},
                 {cmd::SendRouteToGarmin, "Keine Route vorhanden", "Senden Route"},
                 {kCmdTraceToRoute, "Kein Trace vorhanden", "Trace -> Route "}};
    for (const auto& c : cases) {
        // The box is shown with the state free: the GPS thread could take it meanwhile.
        bool stateFree = false;
        w.ui().setMessageResponder([&](const ShownBox&) {
            std::thread gpsThread([&] {
                stateFree = state().stateMutex.try_lock();
                if (stateFree) state().stateMutex.unlock();
            });
            gpsThread.join();
            return Answer::Ok;
        });
        run(c.id);
        ASSERT_FALSE(w.ui().shownMessages().empty()) << c.id;
        EXPECT_EQ(w.ui().shownMessages().back().text, c.text);
        EXPECT_EQ(w.ui().shownMessages().back().caption, c.caption);
        EXPECT_TRUE(stateFree) << c.id;
    }
}

TEST_F(AppTest, TheMapKeepsDrawingWhileAnotherWindowHasTheFocusButNotWhenMinimised) {
    MainWindow& w = open();
    QWidget other;
    other.show();
    other.activateWindow();
    settle();
    QEvent focusMoved(QEvent::ActivationChange);
    QCoreApplication::sendEvent(&w, &focusMoved);
    EXPECT_TRUE(state().frame.active);
    w.showMinimized();
    QEvent minimised(QEvent::WindowStateChange);
    QCoreApplication::sendEvent(&w, &minimised);
    EXPECT_FALSE(state().frame.active);
}

TEST_F(AppTest, OverviewNeedsMapsAndZoneDialogOnlyWithout) {
    open();
    ASSERT_EQ(state().frame.lastMapIndex, -1);
    EXPECT_TRUE(item(window(), cmd::UtmGkZone)->isEnabled());
    run(cmd::Overview);
    EXPECT_FALSE(item(window(), cmd::Overview)->isChecked());
    EXPECT_FALSE(state().frame.overview);
    EXPECT_EQ(view(), DisplayMode::Karte);  // the toggle shows the map view

    openWithMaps(demoMaps());
    ASSERT_GE(state().frame.lastMapIndex, 0);
    EXPECT_FALSE(item(window(), cmd::UtmGkZone)->isEnabled());
    run(cmd::Overview);
    EXPECT_TRUE(item(window(), cmd::Overview)->isChecked());
    run(cmd::Overview);
    EXPECT_FALSE(item(window(), cmd::Overview)->isChecked());
}

TEST_F(AppTest, ComItemsAreRadioChecksThatStoreThePortForTheNextStartAndShowTheirDevice) {
    storage().writeString("ComDevice3", "/dev/ttyTEST3");
    MainWindow& w = open();
    // Nothing stored: COM1, and 1 is written back.
    EXPECT_EQ(state().frame.portName, "COM1:");
    EXPECT_EQ(storage().readNumber("iCom"), 1u);
    EXPECT_TRUE(item(w, cmd::Com1)->isChecked());

    run(cmd::Com1 + 2);
    EXPECT_EQ(state().frame.portName, "COM3:");
    EXPECT_EQ(storage().readNumber("iCom"), 3u);
    for (int id = cmd::Com1; id <= cmd::Com8; ++id)
        EXPECT_EQ(item(w, id)->isChecked(), id == cmd::Com1 + 2) << id;
    EXPECT_EQ(item(w, cmd::Com1 + 2)->text(), "COM3\t/dev/ttyTEST3");
    open();
    EXPECT_EQ(state().frame.portName, "COM3:");
    EXPECT_TRUE(item(window(), cmd::Com1 + 2)->isChecked());
}

TEST_F(AppTest, MovePressedInMoveViewStepsThroughAllNineModesWithTheirStripsUntilCalibration) {
    MainWindow& w = open();
    ASSERT_EQ(view(), DisplayMode::Move);
    ASSERT_EQ(w.menuBar().strip(), 154);
    const int strips[] = {177, 169, 168, 180, 170, 173, 181, 155, 154};
    for (int step = 1; step <= 9; ++step) {
        run(cmd::MoveStep);
        EXPECT_EQ(state().frame.moveDisplayMode, step % 9);
        EXPECT_EQ(w.menuBar().strip(), strips[step - 1]);
    }
    // Modes 5 (landscape, course up) and 6 (upside down, north up).
    state().frame.moveDisplayMode = 4;
    run(cmd::MoveStep);
    EXPECT_TRUE(state().frame.courseUp);
    EXPECT_EQ(state().frame.baseAngle, -90);
    run(cmd::MoveStep);
    EXPECT_FALSE(state().frame.courseUp);
    EXPECT_EQ(state().frame.baseAngle, 180);

    // From another view "Move" only shows the Move view.
    run(cmd::GpsView);
    run(cmd::MoveStep);
    EXPECT_EQ(state().frame.moveDisplayMode, 6);
    EXPECT_EQ(view(), DisplayMode::Move);
    // Calibration switches back to north up and stops the stepping.
    run(cmd::Calibration);
    EXPECT_TRUE(item(w, cmd::Calibration)->isChecked());
    run(cmd::MoveStep);
    EXPECT_EQ(std::pair(state().frame.moveDisplayMode, w.menuBar().strip()), std::pair(0, 154));
    run(cmd::Calibration);
    EXPECT_FALSE(item(w, cmd::Calibration)->isChecked());
}

// Same size and every channel of every pixel within a few levels (antialiasing).
bool nearlyEqual(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 24 || std::abs(qGreen(p) - qGreen(q)) > 24 ||
                std::abs(qBlue(p) - qBlue(q)) > 24 || std::abs(qAlpha(p) - qAlpha(q)) > 24)
                return false;
        }
    return true;
}

TEST(ButtonImages, StripsTurnTheImagesWithTheOrientation) {
    const QTransform quarter = QTransform().rotate(-90);
    const QTransform half = QTransform().rotate(180);
    for (int id : {cmd::GpsView, cmd::KarteView, cmd::Poi}) {
        const QImage normal = buttonImage(id, 154, 24);
        EXPECT_FALSE(nearlyEqual(normal, normal.transformed(half))) << id;  // not symmetric
        EXPECT_TRUE(nearlyEqual(buttonImage(id, 168, 24), normal.transformed(quarter))) << id;
        EXPECT_TRUE(nearlyEqual(buttonImage(id, 173, 24), normal.transformed(half))) << id;
        EXPECT_TRUE(nearlyEqual(buttonImage(id, 155, 24), normal.transformed(half))) << id;
    }
    // The Move button shows the kind: north up, 3D and course up differ.
    EXPECT_NE(buttonImage(cmd::MoveStep, 154), buttonImage(cmd::MoveStep, 177));
    EXPECT_NE(buttonImage(cmd::MoveStep, 154), buttonImage(cmd::MoveStep, 169));
    EXPECT_NE(buttonImage(cmd::MoveStep, 177), buttonImage(cmd::MoveStep, 169));
}

}  // namespace
}  // namespace vexa::testing
