// The window on a desktop: the device screen follows the window, full screen and back, the
// window's place, size and scale kept between runs, Qt's dialogs in German.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QScreen>
#include <QTest>

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
    struct Case {
        QSize window;  // the picture area
        QSize screen;
    };
    const Case cases[] = {
        {{600, 500}, {300, 250}},    // landscape
        {{481, 1001}, {240, 500}},   // portrait; an odd pixel is no device pixel
        {{100, 100}, {240, 240}},    // the window stops at 240 × 240 device pixels
        {{1600, 1000}, {800, 500}},
    };
    for (const Case& c : cases) {
        reported.clear();
        // A drag: many sizes in a row, one report at the end. (No events in between: on a
        // busy machine a pause between two sizes could outlast the settling time.)
        for (int step = 4; step >= 0; --step) w.resize(c.window + QSize(step * 10, bar + step * 10));
        ASSERT_TRUE(waitFor([&] { return !reported.empty(); }, 2000)) << c.window.width();
        QTest::qWait(100);
        EXPECT_EQ(reported, std::vector<QSize>{c.screen}) << c.window.width() << "x" << c.window.height();
        EXPECT_EQ(w.frameView().screenSize(), c.screen);
    }
}

TEST_F(AppTest, FullScreenCoversTheMonitorAndLeavingItRestoresTheWindow) {
    MainWindow& w = open();
    w.resize(560, 700);
    w.move(40, 30);
    settle();
    const QRect before = w.geometry();
    const QPoint frame = w.pos();
    w.fullscreenOn();
    settle();
    const QRect monitor = w.QWidget::screen()->geometry();
    EXPECT_EQ(w.geometry(), monitor);
    EXPECT_EQ(w.frameView().size(), monitor.size()) << "the picture takes the whole monitor";
    QTest::keyClick(&w, Qt::Key_Escape);
    settle();
    EXPECT_EQ(w.geometry(), before);
    EXPECT_EQ(w.pos(), frame);
    EXPECT_TRUE(w.menuBar().isVisible());
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
    struct Case {
        const char* name;
        bool screenGiven;
        int givenScale;  // 0: none given
        QRect expected;  // picture area's window: corner and inner size; empty: from the screen
        int scale;
        const char* storedAfter;  // "sWindow" after the run moved the window to (20, 10)
    };
    const Case cases[] = {
        {"stored", false, 0, {60, 20, 500, 540}, 1, "20,10,500,540"},
        {"scale given", false, 2, {60, 20, 500, 540}, 2, "20,10,500,540"},
        {"screen given", true, 0, {}, 1, "60,20,500,540"},
    };
    for (const Case& c : cases) {
        storage().writeString("sWindow", "60,20,500,540");
        storage().writeNumber("iScale", 1);
        WindowOptions options;
        options.remember = true;
        options.screenGiven = c.screenGiven;
        options.screenWidth = 800;
        options.screenHeight = 480;
        options.scaleGiven = c.givenScale > 0;
        if (c.givenScale > 0) options.scale = c.givenScale;
        MainWindow& w = open(options);
        EXPECT_EQ(w.frameView().scale(), c.scale) << c.name;
        if (c.expected.isEmpty()) {
            EXPECT_EQ(w.size(), QSize(800, 480) * c.scale) << c.name << ": the menu bar is on the screen";
        } else {
            EXPECT_EQ(QRect(w.pos(), w.size()), c.expected) << c.name;
        }
        // Written once the move settles, while the program runs: a kill keeps them.
        w.move(20, 10);
        EXPECT_TRUE(waitFor([&] { return storage().readString("sWindow") == c.storedAfter; }, 3000)) << c.name;
        EXPECT_EQ(storage().readNumber("iScale"), static_cast<std::uint32_t>(c.scale)) << c.name;
        w.close();
    }
    // A window left on a monitor that is gone comes back onto this one.
    storage().writeString("sWindow", "5000,4000,500,560");
    WindowOptions options;
    options.remember = true;
    MainWindow& w = open(options);
    EXPECT_TRUE(monitor.contains(QRect(w.pos(), w.size()))) << w.pos().x() << "," << w.pos().y();
}

TEST(WindowPlacement, DefaultScaleFollowsTheMonitor) {
    const std::pair<QSize, int> cases[] = {
        {{800, 480}, 1},   {{1366, 728}, 1},  {{1280, 1024}, 2}, {{1920, 1050}, 2},
        {{2560, 1400}, 3}, {{3840, 2120}, 3}, {{200, 200}, 1},
    };
    for (const auto& [available, scale] : cases)
        EXPECT_EQ(defaultScale(available), scale) << available.width() << "x" << available.height();
}

TEST(WindowPlacement, AStoredWindowIsKeptOnAMonitor) {
    const QList<QRect> monitors = {{0, 0, 1920, 1050}, {1920, 0, 1280, 1000}};
    const QSize minimum(240, 290);
    const std::pair<QRect, QRect> cases[] = {
        {{100, 100, 500, 700}, {100, 100, 500, 700}},     // where it was
        {{2000, 50, 500, 700}, {2000, 50, 500, 700}},     // on the second monitor
        {{3000, 500, 500, 700}, {2700, 260, 500, 700}},   // half off the second: moved in
        {{9000, 9000, 500, 700}, {1420, 310, 500, 700}},  // nowhere: onto the first
        {{-50, -30, 3000, 2000}, {0, 0, 1920, 1010}},     // too large: the monitor, title bar on it
        {{10, 10, 100, 100}, {10, 10, 240, 290}},         // too small
    };
    for (const auto& [stored, kept] : cases)
        EXPECT_EQ(keepOnScreen(stored, monitors, minimum), kept) << stored.x() << "," << stored.y();
}

TEST_F(AppTest, QtsOwnDialogsAndButtonsSpeakGerman) {
    const std::unique_ptr<QTranslator> german = installQtTranslations();
    if (!german) GTEST_SKIP() << "qtbase_de.qm is not installed (Debian package qt6-translations-l10n)";
    QFileDialog files(nullptr, "Speichern");
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setAcceptMode(QFileDialog::AcceptSave);
    const auto* buttons = files.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), "Abbrechen");
    EXPECT_EQ(buttons->button(QDialogButtonBox::Save)->text().remove('&'), "Speichern");
    files.setDirectory(QString::fromStdString((sourceDir() / "data/demo").string()));
    files.resize(720, 420);
    shot(files, "file-dialog-de.png");
}

}  // namespace
}  // namespace vexa::testing
