// The window on a desktop: the device screen follows the window, full screen and back, the
// window's place, size and scale kept between runs, Qt's dialogs in German, drawing while
// another window has the focus, and the menu bar's images turned with the Move display mode.
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "app/button_icons.h"
#include "app/command_ids.h"
#include "app/frame_view.h"
#include "app/menu_bar.h"
#include "app/qt_translations.h"
#include "app/window_placement.h"
#include "tests/app/app_fixture.h"

namespace vexa::testing {
namespace {

TEST_F(AppTest, TheDeviceScreenFollowsTheWindowOnceASizeSettles) {
    MainWindow& w = open();  // scale 2
    std::vector<QSize> reported;
    w.frameView().onScreenResize = [&](int width, int height) { reported.emplace_back(width, height); };
    const int bar = w.menuBar().height();
    const std::pair<QSize, QSize> cases[] = {  // the picture area, the device screen
        {{600, 500}, {300, 250}},    // landscape
        {{481, 1001}, {240, 500}},   // portrait; an odd pixel is no device pixel
        {{100, 100}, {240, 240}},    // the window stops at 240 × 240 device pixels
        {{1600, 1000}, {800, 500}},
    };
    for (const auto& [window, screen] : cases) {
        reported.clear();
        // A drag: many sizes in a row, one report at the end. (No events in between: on a
        // busy machine a pause between two sizes could outlast the settling time.)
        for (int step = 4; step >= 0; --step) w.resize(window + QSize(step * 10, bar + step * 10));
        ASSERT_TRUE(waitFor([&] { return !reported.empty(); }, 2000)) << window.width();
        QTest::qWait(100);
        EXPECT_EQ(reported, std::vector<QSize>{screen}) << window.width() << "x" << window.height();
        EXPECT_EQ(w.frameView().screenSize(), screen);
    }
}

TEST_F(AppTest, FullScreenCoversTheMonitorAndLeavingItRestoresTheWindow) {
    MainWindow& w = open();
    w.resize(560, 700);
    w.move(40, 30);
    settle();
    const QRect before = w.geometry();
    w.fullscreenOn();
    settle();
    const QRect monitor = w.QWidget::screen()->geometry();
    EXPECT_EQ(std::pair(w.geometry(), w.frameView().size()), std::pair(monitor, monitor.size()));
    QTest::keyClick(&w, Qt::Key_Escape);
    settle();
    EXPECT_EQ(std::pair(w.geometry(), w.menuBar().isVisible()), std::pair(before, true));
    // Maximised before: maximised again, and back to the same size from there.
    w.showMaximized();
    settle();
    w.fullscreenOn();
    settle();
    w.fullscreenOff();
    settle();
    EXPECT_TRUE(w.isMaximized());
    w.showNormal();
    settle();
    EXPECT_EQ(w.geometry(), before);
}

// Stored "sWindow" and "iScale", and the command line's --screen and --scale over them.
TEST_F(AppTest, WindowPlaceSizeAndScaleComeBackAndTheCommandLineOverridesThem) {
    const QRect monitor = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        bool screenGiven;
        int givenScale, scale;  // 0: none given
        QRect expected;  // the window's corner and inner size; empty: the screen's size with the menu bar on it
        const char* storedAfter;  // "sWindow" after the run moved the window to (20, 10)
    } cases[] = {{false, 0, 1, {60, 20, 500, 540}, "20,10,500,540"},
                 {false, 2, 2, {60, 20, 500, 540}, "20,10,500,540"},
                 {true, 0, 1, {}, "60,20,500,540"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.storedAfter);
        storage().writeString("sWindow", "60,20,500,540");
        storage().writeNumber("iScale", 1);
        MainWindow& w = open({.screenWidth = 800, .screenHeight = 480, .scale = c.givenScale ? c.givenScale : 2,
                              .remember = true, .screenGiven = c.screenGiven, .scaleGiven = c.givenScale > 0});
        EXPECT_EQ(w.frameView().scale(), c.scale);
        EXPECT_EQ(QRect(w.pos(), w.size()), c.expected.isEmpty() ? QRect(w.pos(), QSize(800, 480) * c.scale) : c.expected);
        // Written once the move settles, while the program runs: a kill keeps them.
        w.move(20, 10);
        EXPECT_TRUE(waitFor([&] { return storage().readString("sWindow") == c.storedAfter; }, 3000));
        EXPECT_EQ(storage().readNumber("iScale"), static_cast<std::uint32_t>(c.scale));
        w.close();
    }
    // A window left on a monitor that is gone comes back onto this one.
    storage().writeString("sWindow", "5000,4000,500,560");
    MainWindow& w = open({.remember = true});
    EXPECT_TRUE(monitor.contains(QRect(w.pos(), w.size()))) << w.pos().x() << "," << w.pos().y();
}

// The default scale follows the monitor; a stored window is kept on a monitor.
TEST(WindowPlacement, TheScaleFollowsTheMonitorAndAStoredWindowIsKeptOnOne) {
    const std::pair<QSize, int> cases[] = {
        {{800, 480}, 1},   {{1366, 728}, 1},  {{1280, 1024}, 2}, {{1920, 1050}, 2},
        {{2560, 1400}, 3}, {{3840, 2120}, 3}, {{200, 200}, 1},
    };
    for (const auto& [available, scale] : cases)
        EXPECT_EQ(defaultScale(available), scale) << available.width() << "x" << available.height();
    const QList<QRect> monitors = {{0, 0, 1920, 1050}, {1920, 0, 1280, 1000}};
    const QSize minimum(240, 290);
    const std::pair<QRect, QRect> windows[] = {
        {{100, 100, 500, 700}, {100, 100, 500, 700}},     // where it was
        {{2000, 50, 500, 700}, {2000, 50, 500, 700}},     // on the second monitor
        {{3000, 500, 500, 700}, {2700, 260, 500, 700}},   // half off the second: moved in
        {{9000, 9000, 500, 700}, {1420, 310, 500, 700}},  // nowhere: onto the first
        {{-50, -30, 3000, 2000}, {0, 0, 1920, 1010}},     // too large: the monitor, title bar on it
        {{10, 10, 100, 100}, {10, 10, 240, 290}},         // too small
    };
    for (const auto& [stored, kept] : windows)
        EXPECT_EQ(keepOnScreen(stored, monitors, minimum), kept) << stored.x() << "," << stored.y();
}

TEST(QtTranslations, QtsOwnDialogsSpeakGerman) {
    const std::unique_ptr<QTranslator> german = installQtTranslations();
    if (!german) GTEST_SKIP() << "qtbase_de.qm is not installed (Debian package qt6-translations-l10n)";
    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(files.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->text(), "Abbrechen");
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

// Same size and every channel of every pixel within a few levels (antialiasing).
bool nearlyEqual(const QImage& a, const QImage& b) {
    for (int y = 0; a.size() == b.size() && y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (const int shift : {0, 8, 16, 24})
                if (std::abs(int(a.pixel(x, y) >> shift & 0xff) - int(b.pixel(x, y) >> shift & 0xff)) > 24) return false;
    return a.size() == b.size();
}

TEST(ButtonImages, StripsTurnTheImagesWithTheOrientation) {
    const QImage normal = buttonImage(cmd::GpsView, 154, 24);
    const QImage half = normal.transformed(QTransform().rotate(180));
    EXPECT_FALSE(nearlyEqual(normal, half));  // not symmetric
    EXPECT_TRUE(nearlyEqual(buttonImage(cmd::GpsView, 168, 24), normal.transformed(QTransform().rotate(-90))));
    EXPECT_TRUE(nearlyEqual(buttonImage(cmd::GpsView, 173, 24), half));
    // The Move button shows the kind: north up, 3D and course up differ.
    EXPECT_NE(buttonImage(cmd::MoveStep, 154), buttonImage(cmd::MoveStep, 177));
    EXPECT_NE(buttonImage(cmd::MoveStep, 154), buttonImage(cmd::MoveStep, 169));
    EXPECT_NE(buttonImage(cmd::MoveStep, 177), buttonImage(cmd::MoveStep, 169));
}

}  // namespace
}  // namespace vexa::testing
