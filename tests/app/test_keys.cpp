// The keys that reach beyond the window's state (the others are scripts in test_stylus.cpp):
// the map directory swapped by key 3, the build stamp, screen copies, the fonts, the backlight
// held by a replay and the route played at start.
#include <QFileSystemModel>
#include <QTest>

#include "app/build_stamp.h"
#include "app/command_ids.h"
#include "app/frame_view.h"
#include "app/map_directory_dialog.h"
#include "display/display_power.h"
#include "display/replay_thread.h"
#include "tests/app/app_fixture.h"

namespace vexa::testing {
namespace {

using KeysTest = AppTest;

// Key 3 held over 2000 ms in the map views goes back to the map directory used before "Karten
// Verzeichnis", and again forth; not at 2000 ms, not while a replay runs.
TEST_F(KeysTest, OldSystemKey3HeldSwapsTheMapDirectoryWithTheOneUsedBefore) {
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    const auto folder = [&](const char* name, int maps) {
        std::filesystem::create_directories(dir_ / name);
        for (int i = 0; i < maps; ++i)
            image.save(QString::fromStdString(
                (dir_ / name / ("Karte_32_" + std::to_string(500 + i) + "000_5500000_100_100_100.png")).string()));
        return dir_ / name;
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
    run(cmd::KarteView);
    const struct {
        std::uint32_t heldMs;
        bool replaying;
        std::filesystem::path folder;
    } cases[] = {{2000, false, chosen}, {2001, true, chosen}, {2001, false, before}, {2500, false, chosen}};
    for (const auto& c : cases) {
        state().frame.replaying = c.replaying;
        window().input().hardwareKey(3, true);
        manualClock_.advance(c.heldMs);
        window().input().hardwareKey(3, false);
        settle();
        state().frame.replaying = false;
        EXPECT_EQ(std::filesystem::path(state().maps.rows.front().path).parent_path(), c.folder) << c.heldMs;
        EXPECT_EQ(state().frame.lastMapIndex, c.folder == before ? 0 : 1);
    }
}

// "v" lists the font and the build; "s" and the panning keys save a screen copy and name it.
TEST_F(KeysTest, KeysListTheBuildAndSaveScreenCopies) {
    WindowInput& input = open({}, true).input();
    input.characterKey('v');
    EXPECT_TRUE(contains(state().diagnostics.text(), buildStamp()) && contains(state().diagnostics.text(), "Font <0>"));
    for (char key : {'s', 'l', 'r', 'o', 'u'}) {
        const std::size_t before = messages().size();
        input.characterKey(key);
        settle();
        ASSERT_EQ(messages().size(), before + 1) << key;
        EXPECT_TRUE(contains(messages().back(), "ScreenCopy")) << key;
    }
}

TEST_F(KeysTest, StartupRouteIsPlayedOnceThenClearedAndTheMapViewShown) {
    startupAnimation_ = true;
    MainWindow& w = openWithMaps(demoMaps());
    ASSERT_TRUE(waitFor([&] { return !state().replay.replayDrawing.load(); }));
    settle();
    EXPECT_EQ(std::tuple(w.replay().replayThread().position(), state().route.count, view()),
              std::tuple(36, 0, DisplayMode::Karte));
    // The view stays at the route's last played point, inside the demo maps (UTM zone 32).
    EXPECT_NEAR(state().frame.viewCentre.gridX, 550000.0, 5000.0);
    EXPECT_NEAR(state().frame.viewCentre.gridY, 5802000.0, 5000.0);
}

// The NMEA replay holds the backlight and gives it back when stopped, long before the end of
// the drive (at 20x it runs for a minute and a half); key "e" drops any hold.
TEST_F(KeysTest, ReplaysHoldTheBacklightUntilStoppedAndKeyEDropsTheHold) {
    replaySpeed_ = 20;
    MainWindow& w = open();
    EmulateStartFile(w.session(), demoLog());
    EXPECT_TRUE(waitFor([&] { return w.power().backlightHeld(); }));
    run(cmd::EmulateStop);
    ASSERT_TRUE(waitFor([&] { return !w.session().workerRunning.load(); }));
    JoinFinishedWorker(w.session());
    EXPECT_FALSE(w.power().backlightHeld());
    w.power().holdBacklight(true);
    w.input().characterKey('e');
    EXPECT_FALSE(w.power().backlightHeld());
}

TEST_F(KeysTest, KeyFStepsToTheNextFaceAndTheViewsDrawWithIt) {
    MainWindow& w = open({}, true);
    FontTable& fonts = w.display().fonts();
    const int count = static_cast<int>(fonts.fontFaces.size());
    ASSERT_GT(count, 1);
    for (const int from : {fonts.fontIndex, count - 1}) {
        fonts.fontIndex = from;
        QTest::keyClick(&w, Qt::Key_F);
        settle();
        const int next = from + 1 == count ? 0 : from + 1;
        const std::string face = fonts.fontFaces[static_cast<std::size_t>(next)];
        EXPECT_EQ(std::pair(fonts.fontIndex, (*currentFontSet())[FontRole::User].face), std::pair(next, face));
        EXPECT_TRUE(contains(state().diagnostics.text(), "Font <" + std::to_string(next) + "> " + face));
    }
}

}  // namespace
}  // namespace vexa::testing
