// The hardware keys (press and release, long presses on an old system) and the character
// shortcuts.
#include <QKeyEvent>
#include <QFileSystemModel>
#include <QTest>

#include "app/command_ids.h"
#include "app/frame_view.h"
#include "app/map_directory_dialog.h"
#include "app/menu_bar.h"
#include "app/nmea_view.h"
#include "display/display_power.h"
#include "display/replay_thread.h"
#include "tests/app/app_fixture.h"

namespace vexa::testing {
namespace {

class KeysTest : public AppTest {
protected:
    MainWindow& openKeys(bool oldSystem) {
        WindowOptions options;
        options.oldKeys = oldSystem;
        return open(options, true);
    }
    // Holds hardware key `key` for `ms` milliseconds of the test clock.
    void hold(int key, std::uint32_t ms) {
        window().hardwareKey(key, true);
        manualClock_.advance(ms);
        window().hardwareKey(key, false);
        settle();
    }
};

TEST_F(KeysTest, NewSystemKeysActAtOnce) {
    MainWindow& w = openKeys(false);
    ASSERT_EQ(view(), DisplayMode::Move);
    hold(2, 3000);  // no long press on a new system
    EXPECT_EQ(state().frame.moveDisplayMode, 1);
    EXPECT_EQ(w.menuBar().strip(), 177);
    hold(1, 3000);
    EXPECT_EQ(view(), DisplayMode::Gps);
    hold(1, 10);
    EXPECT_EQ(view(), DisplayMode::Move);
    EXPECT_EQ(state().frame.moveDisplayMode, 1);  // switchWindow shows Move without stepping
    EXPECT_EQ(state().gps.lastActivityTick.load(), manualClock_.tickCount());
}

TEST_F(KeysTest, OldSystemKey2StepsBackAfterALongPressAndKey1SwitchesOnlyOnAShortOne) {
    MainWindow& w = openKeys(true);
    const struct {
        int key;
        std::uint32_t ms;
        int moveMode;
        DisplayMode view;
        bool timerChecked;  // the long-press timer has stopped
    } holds[] = {{2, 1000, 1, DisplayMode::Move, false}, {2, 1001, 0, DisplayMode::Move, false},
                 {2, 1500, 8, DisplayMode::Move, true},  {1, 1499, 8, DisplayMode::Gps, true},
                 {1, 1500, 8, DisplayMode::Gps, false}};
    for (const auto& h : holds) {
        hold(h.key, h.ms);
        EXPECT_EQ(std::pair(state().frame.moveDisplayMode, view()), std::pair(h.moveMode, h.view)) << h.key << " " << h.ms;
        if (h.timerChecked) {
            EXPECT_FALSE(w.hardwareKeys().timerActive(h.key)) << h.key << " " << h.ms;
        }
    }
    EXPECT_EQ(w.menuBar().strip(), 155);
}

TEST_F(KeysTest, OldSystemKey1HeldSwitchesTheDisplayOffUntilAKeyOrAnErrorWakesIt) {
    MainWindow& w = openKeys(true);
    const std::pair<const char*, std::function<void()>> wakes[] = {
        {"key 4", [&] { hold(4, 10); }},
        {"key 1", [&] { hold(1, 10); }},
        {"letter", [&] { QTest::keyClick(&w, Qt::Key_X); }},
        {"error", [&] { ReportApiError(state().diagnostics, "ReadFile", 5, "COM1:"); }},
    };
    for (const auto& [name, wake] : wakes) {
        SCOPED_TRACE(name);
        const int beeps = w.ui().beeps();
        w.hardwareKey(1, true);
        ASSERT_TRUE(w.hardwareKeys().timerActive(1));
        ASSERT_TRUE(waitFor([&] { return state().frame.bManualScreenOff.load(); }, 5000));
        manualClock_.advance(1600);
        w.hardwareKey(1, false);
        settle();
        EXPECT_EQ(std::tuple(w.frameView().blank(), state().frame.bAutoScreenOn.load(), w.ui().beeps()),
                  std::tuple(true, false, beeps + 1));
        wake();
        settle();
        EXPECT_EQ(std::tuple(w.frameView().blank(), state().frame.bAutoScreenOn.load(), state().frame.bManualScreenOff.load()),
                  std::tuple(false, true, false));
        EXPECT_EQ(view(), DisplayMode::Move);  // waking does nothing else
    }
}

// Key 3 held over 2000 ms in the map views goes back to the map directory used before "Karten
// Verzeichnis", and again forth; not at 2000 ms, not while a replay runs.
TEST_F(KeysTest, OldSystemKey3HeldSwapsTheMapDirectoryWithTheOneUsedBefore) {
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    const auto folder = [&](const char* name, int maps) {
        const std::filesystem::path dir = dir_ / name;
        std::filesystem::create_directories(dir);
        for (int i = 0; i < maps; ++i)
            image.save(QString::fromStdString(
                (dir / ("Karte_32_" + std::to_string(500000 + 1000 * i) + "_5500000_100_100_100.png")).string()));
        return dir;
    };
    const auto before = folder("Alt_utm", 1);
    const auto chosen = folder("Neu_utm", 2);
    WindowOptions options;
    options.oldKeys = true;
    options.maps = before;
    open(options, true);
    answer<MapDirectoryDialog>([&](MapDirectoryDialog& dialog) {
        dialog.scanAndKeep(dialog.model()->index(QString::fromStdString(chosen.string())));
        return dialog.result();
    });
    run(cmd::MapDirectory);
    ASSERT_EQ(state().frame.lastMapIndex, 1);
    run(cmd::KarteView);
    struct Case {
        std::uint32_t heldMs;
        bool replaying;
        int lastMapIndex;  // 0: the folder used before, 1: the chosen one
    };
    const Case cases[] = {{2000, false, 1}, {2001, true, 1}, {2001, false, 0}, {2500, false, 1}};
    for (const Case& c : cases) {
        state().frame.replaying = c.replaying;
        hold(3, c.heldMs);
        state().frame.replaying = false;
        EXPECT_EQ(state().frame.lastMapIndex, c.lastMapIndex) << c.heldMs << " " << c.replaying;
        EXPECT_EQ(std::filesystem::path(state().maps.rows.front().path).parent_path(),
                  c.lastMapIndex == 0 ? before : chosen);
    }
}

TEST_F(KeysTest, KeyboardKeysF1ToF4AreTheHardwareKeysUnlessConfiguredOtherwise) {
    const auto click = [&](Qt::Key key) {
        QTest::keyClick(&window(), key);
        settle();
    };
    openKeys(false);
    click(Qt::Key_F2);
    EXPECT_EQ(state().frame.moveDisplayMode, 1);
    click(Qt::Key_F1);
    EXPECT_EQ(view(), DisplayMode::Gps);

    storage().writeString("sHardwareKey1", "F9");
    openKeys(false);
    click(Qt::Key_F1);
    EXPECT_EQ(view(), DisplayMode::Move);
    click(Qt::Key_F9);
    EXPECT_EQ(view(), DisplayMode::Gps);
}

TEST_F(KeysTest, CharacterShortcuts) {
    MainWindow& w = openKeys(false);
    // "d" asks before deleting the settings, and only in the NMEA view.
    w.characterKey('d');
    EXPECT_TRUE(messages().empty());
    run(cmd::NmeaView);
    w.characterKey('d');
    EXPECT_EQ(messages(), std::vector<std::string>{"Registry Entries ?"});
    QTest::keyClick(&w, 'q');  // debug mode, whose rules the diagnostic text keeps
    EXPECT_TRUE(state().diagnostics.debugMode);

    // "h" toggles the altitude correction.
    w.characterKey('h');
    EXPECT_EQ(state().settings.iHKorrektur, 1);
    EXPECT_TRUE(state().diagnostics.text().starts_with("Höhen Korrektur ist aktiv"));

    // "c" clears the trace and returns to the north-up Move view.
    state().trace.next = 5;
    run(cmd::MoveView);
    run(cmd::MoveStep);
    w.characterKey('c');
    settle();
    EXPECT_TRUE(state().trace.empty());
    EXPECT_EQ(state().frame.moveDisplayMode, 0);
    EXPECT_EQ(view(), DisplayMode::Move);

    // "k" climb and descent of the route, "v" the build time stamp.
    const int heights[] = {100, 150, 120, 200};
    state().route.count = 4;
    for (int i = 0; i < 4; ++i) state().route.points[static_cast<std::size_t>(i)].altitude = heights[i];
    w.characterKey('k');
    EXPECT_TRUE(state().diagnostics.text().starts_with("Höhendifferenz: Auf = 130 m Ab = 30 m"));
    w.characterKey('v');
    EXPECT_NE(state().diagnostics.text().find("Build " __DATE__), std::string::npos);
    EXPECT_NE(state().diagnostics.text().find("Font <0>"), std::string::npos);

    // Panning saves a screen copy and names it, as "s" does.
    for (char key : {'s', 'l', 'r', 'o', 'u'}) {
        const std::size_t before = messages().size();
        w.characterKey(key);
        settle();
        ASSERT_EQ(messages().size(), before + 1) << key;
        EXPECT_NE(messages().back().find("ScreenCopy"), std::string::npos) << key;
    }
}

TEST_F(KeysTest, MapKeysStepTheResolutionAndWalkTheMapCorners) {
    MainWindow& w = openWithMaps(demoMaps(), true);
    // "i" and "j" step through the resolutions of the maps under the centre (10, 25 and 100
    // over Hannover), ending at the first and at the last map's; only in the map views.
    state().frame.viewCentre.gridX = 555000;
    state().frame.viewCentre.gridY = 5805000;
    run(cmd::GpsView);
    w.characterKey('i');
    EXPECT_EQ(state().mapView.WantedResolution, -1);
    run(cmd::KarteView);
    ASSERT_EQ(state().frame.mapScale, 100);
    const std::pair<char, int> steps[] = {{'i', 25}, {'i', 10}, {'i', 10}, {'j', 25}, {'j', 100}, {'j', 100}};
    for (const auto& [key, expected] : steps) {
        w.characterKey(key);
        settle();
        EXPECT_EQ(state().frame.mapScale, expected);
    }

    // "n" walks the corners of every map, only in the map view.
    run(cmd::MoveView);
    w.characterKey('n');
    EXPECT_TRUE(w.frameView().notice().isEmpty());
    run(cmd::KarteView);
    const MapEntry first = state().maps.rows[0];
    const double expected[4][2] = {{first.left, first.top}, {first.right, first.top},
                                   {first.left, first.bottom}, {first.right, first.bottom}};
    for (const auto& corner : expected) {
        w.characterKey('n');
        settle();
        EXPECT_EQ(state().frame.lastShown.gridX, corner[0]);
        EXPECT_EQ(state().frame.lastShown.gridY, corner[1]);
        EXPECT_EQ(w.frameView().notice(), "0");
    }
    w.characterKey('n');
    settle();
    EXPECT_EQ(w.frameView().notice(), "1");
}

TEST_F(KeysTest, CtrlQClosesTheWindow) {
    MainWindow& w = openKeys(false);
    ASSERT_TRUE(w.isVisible());
    QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
    settle();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(state().frame.active);
}

TEST_F(AppTest, StartupRouteIsPlayedOnceThenClearedAndTheMapViewShown) {
    startupAnimation_ = true;
    MainWindow& w = openWithMaps(demoMaps());
    ASSERT_TRUE(waitFor([&] { return !state().replay.replayDrawing.load(); }));
    settle();
    EXPECT_EQ(w.replayThread().position(), 36);
    EXPECT_EQ(state().route.count, 0);
    EXPECT_EQ(view(), DisplayMode::Karte);
    // The view stays at the route's last played point, inside the demo maps (UTM zone 32).
    EXPECT_NEAR(state().frame.viewCentre.gridX, 550000.0, 5000.0);
    EXPECT_NEAR(state().frame.viewCentre.gridY, 5802000.0, 5000.0);
}

// The stepping itself belongs to the trace replay; the window passes digits on in the map views only.
TEST_F(AppTest, DigitKeysStepTheTraceInTheMapViewsOnly) {
    MainWindow& w = open();
    state().trace.next = 12;
    w.characterKey('3');
    EXPECT_EQ(state().trace.replayPos, 2);  // from −1
    run(cmd::NmeaView);
    w.characterKey('5');
    EXPECT_EQ(state().trace.replayPos, 2);
}

TEST_F(AppTest, KeysBAndABlankTheWindowAnyKeyWakesItAndReplaysHoldTheBacklight) {
    MainWindow& w = open({}, true);
    w.characterKey('b');
    settle();
    EXPECT_FALSE(state().frame.bAutoScreenOn);
    EXPECT_TRUE(w.frameView().blank());  // no desktop to switch the screen: the window blanks
    EXPECT_TRUE(contains(state().diagnostics.text(), "Your Pocket PC does not support DisplayOff"));
    manualClock_.advance(5000);
    QTest::keyClick(&w, Qt::Key_X);
    settle();
    EXPECT_FALSE(w.frameView().blank());
    EXPECT_TRUE(state().frame.bAutoScreenOn);
    EXPECT_EQ(state().gps.lastActivityTick.load(), manualClock_.tickCount());
    // "a" renews only an off display: switched off by the power rule, the window not yet dark.
    const auto offs = [&] { return count(state().diagnostics.text(), "Display Off"); };
    const int before = offs();
    QTest::keyClick(&w, Qt::Key_A);
    EXPECT_EQ(offs(), before);
    state().frame.bAutoScreenOn = false;
    QTest::keyClick(&w, Qt::Key_A);
    settle();
    EXPECT_EQ(offs(), before + 1);
    EXPECT_TRUE(w.frameView().blank());

    // The NMEA replay takes the hold and gives it back when stopped, long before the end of the
    // drive (at 20x it runs for a minute and a half); key "e" drops any hold.
    replaySpeed_ = 20;
    open();
    EmulateStartFile(window().session(), demoLog());
    EXPECT_TRUE(waitFor([&] { return window().power().backlightHeld(); }));
    run(cmd::EmulateStop);
    ASSERT_TRUE(waitFor([&] { return !window().session().workerRunning.load(); }));
    JoinFinishedWorker(window().session());
    EXPECT_FALSE(state().frame.replaying);
    EXPECT_FALSE(window().power().backlightHeld());
    window().power().holdBacklight(true);
    window().characterKey('e');
    EXPECT_FALSE(window().power().backlightHeld());
}

TEST_F(AppTest, KeyFStepsToTheNextFaceAndTheViewsDrawWithIt) {
    MainWindow& w = open({}, true);
    const int count = static_cast<int>(w.fonts().fontFaces.size());
    ASSERT_GT(count, 1);
    for (const int from : {w.fonts().fontIndex, count - 1}) {
        w.fonts().fontIndex = from;
        QTest::keyClick(&w, Qt::Key_F);
        settle();
        const int next = from + 1 == count ? 0 : from + 1;
        EXPECT_EQ(w.fonts().fontIndex, next);
        const std::string face = w.fonts().fontFaces[static_cast<std::size_t>(next)];
        EXPECT_EQ((*currentFontSet())[FontRole::User].face, face);
        EXPECT_TRUE(contains(state().diagnostics.text(), "Font <" + std::to_string(next) + "> " + face));
    }
}

}  // namespace
}  // namespace vexa::testing
