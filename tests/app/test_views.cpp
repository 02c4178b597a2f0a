// The four views, the NMEA list, paints, zoom, taps and the exception handler.
#include <QStackedWidget>
#include <QTest>

#include <atomic>
#include <thread>

#include "app/command_ids.h"
#include "app/frame_view.h"
#include "app/menu_bar.h"
#include "app/nmea_view.h"
#include "maps/map_catalogue.h"
#include "tests/app/app_fixture.h"

namespace vexa::testing {
namespace {

bool hasNonWhitePixels(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) return true;
    return false;
}

TEST_F(AppTest, ViewCommandsSwitchTheScreenAndTheNmeaListShowsTheDiagnosticText) {
    MainWindow& w = open();
    EXPECT_EQ(view(), DisplayMode::Move);
    auto* stack = static_cast<QStackedWidget*>(&w.screen());
    run(cmd::NmeaView);
    EXPECT_EQ(std::pair(view(), stack->currentWidget()), std::pair(DisplayMode::Nmea, static_cast<QWidget*>(&w.nmeaView())));
    EXPECT_TRUE(w.nmeaView().isReadOnly());
    // Newest line on top; lines added while the list is shown appear at once.
    AddNmeaListLine(state().diagnostics, "erste Zeile");
    AddNmeaListLine(state().diagnostics, "zweite Zeile");
    settle();
    EXPECT_TRUE(w.nmeaView().toPlainText().startsWith("zweite Zeile\nerste Zeile\n"));

    run(cmd::GpsView);
    EXPECT_EQ(std::pair(view(), stack->currentWidget()), std::pair(DisplayMode::Gps, static_cast<QWidget*>(&w.frameView())));
    EXPECT_TRUE(hasNonWhitePixels(w.frameView().image()));
    // Lines collected while the list is hidden show when it is shown again.
    AddNmeaListLine(state().diagnostics, "im Hintergrund");
    settle();
    run(cmd::NmeaView);
    EXPECT_TRUE(w.nmeaView().toPlainText().startsWith("im Hintergrund\n"));
    run(cmd::KarteView);
    EXPECT_EQ(std::pair(view(), stack->currentWidget()), std::pair(DisplayMode::Karte, static_cast<QWidget*>(&w.frameView())));
}

TEST_F(AppTest, MapViewsPresentTheMiddleOfTheComposedFrameAndPaintsDrawThemAnewWhileNothingArrives) {
    WindowOptions options;
    options.maps = demoMaps();
    options.screenWidth = 240;
    options.screenHeight = 300;
    options.scale = 1;
    MainWindow& w = open(options);
    // Over Hannover, inside the demo maps.
    state().frame.viewCentre.gridX = 550000;
    state().frame.viewCentre.gridY = 5803000;
    run(cmd::KarteView);
    EXPECT_EQ(w.frameView().image().size(), QSize(240, 300));
    EXPECT_EQ(w.screen().size(), QSize(240, 300));
    EXPECT_TRUE(hasNonWhitePixels(w.frameView().image()));

    // A paint the screen did not ask for composes the view centre once, without painting
    // itself again.
    state().diagnostics.debugMode = true;
    const auto paintAndCount = [&] {
        state().diagnostics.setText("");
        w.frameView().update();
        for (int i = 0; i < 10; ++i) settle();
        return count(state().diagnostics.text(), "show_pos Start");
    };
    state().frame.viewCentre.gridX = 556000;
    const QImage before = w.frameView().image();
    EXPECT_EQ(paintAndCount(), 1);
    EXPECT_NE(w.frameView().image(), before);
    EXPECT_EQ(state().frame.viewCentre.gridX, 556000);

    // While a replay runs the Move view is the worker's: a paint shows its last picture.
    run(cmd::MoveView);
    state().frame.replaying = true;
    EXPECT_EQ(paintAndCount(), 0);
    run(cmd::GpsView);
    const QImage gps = w.frameView().image();
    state().gps.speed = 88.0f;
    paintAndCount();
    EXPECT_EQ(w.frameView().image(), gps);
    state().frame.replaying = false;
    paintAndCount();
    EXPECT_NE(w.frameView().image(), gps);
}

TEST_F(AppTest, ZoomStepsMultiplyAndResetRestoresExactlyOne) {
    MainWindow& w = open();
    const std::pair<int, double> steps[] = {{cmd::ZoomIn, 0.75},     {cmd::ZoomIn, 0.5625},        {cmd::ZoomOut, 0.75},
                                            {cmd::ZoomOut, 1.0},     {cmd::ZoomOut, 4.0 / 3.0},    {cmd::ZoomReset, 1.0}};
    for (const auto& [id, factor] : steps) {
        run(id);
        EXPECT_NEAR(state().frame.zoomFactor, factor, 1e-12) << id;
    }
    EXPECT_EQ(state().frame.zoomFactor, 1.0);
    // The keys "+" and "-" zoom as the buttons do.
    w.characterKey('+');
    EXPECT_DOUBLE_EQ(state().frame.zoomFactor, 0.75);
    w.characterKey('-');
    EXPECT_DOUBLE_EQ(state().frame.zoomFactor, 0.75 * 1.3333333333333333);
}

// 240 × 320: the Move view's thirds are of 294 rows, the top one up to row 97, the middle one
// up to 195. The double tap re-centres only the map view.
TEST_F(AppTest, TapsActByThirdsOfTheMoveViewAndDoubleTapsRecentreTheMapView) {
    MainWindow& w = open();
    ASSERT_EQ(view(), DisplayMode::Move);
    const TrackPoint start = state().frame.viewCentre;
    const auto centre = [&] { return std::pair(state().frame.viewCentre.gridX, state().frame.viewCentre.gridY); };
    w.doubleTap(10, 10);
    EXPECT_EQ(centre(), std::pair(start.gridX, start.gridY));
    // Top left: the next info page, 0 after the eighth; top right: the Move display mode one
    // back, 0 wrapping to 8; bottom left: the next mode.
    state().display.infoPage = 6;
    const struct {
        QPoint tap;
        int infoPage, moveMode;
    } thirds[] = {{{10, 97}, 7, 0}, {{119, 0}, 0, 0}, {{120, 10}, 0, 8}, {{239, 97}, 0, 7}, {{10, 196}, 0, 8}};
    for (const auto& t : thirds) {
        w.tap(t.tap.x(), t.tap.y());
        EXPECT_EQ(std::pair(state().display.infoPage, state().frame.moveDisplayMode), std::pair(t.infoPage, t.moveMode))
            << t.tap.x() << "," << t.tap.y();
    }
    EXPECT_EQ(w.menuBar().strip(), 155);
    // Bottom right: full screen and back.
    w.tap(200, 319);
    settle();
    EXPECT_TRUE(w.fullScreen());
    EXPECT_FALSE(w.menuBar().isVisible());
    w.tap(200, 300);
    settle();
    EXPECT_FALSE(w.fullScreen());
    EXPECT_TRUE(w.menuBar().isVisible());
    // A full-screen size reported late has been taken back before the next taps.
    EXPECT_TRUE(waitFor([&] { return state().frame.screen == ScreenSize{240, 320}; }, 2000));
    QTest::qWait(100);
    // While calibrating the thirds do nothing; the middle one shows the GPS view.
    state().frame.calibrating = true;
    w.tap(200, 98);
    EXPECT_EQ(view(), DisplayMode::Move);
    state().frame.calibrating = false;
    for (const QPoint p : {QPoint(10, 98), QPoint(239, 98), QPoint(120, 195)}) {
        run(cmd::MoveView);
        w.tap(p.x(), p.y());
        EXPECT_EQ(view(), DisplayMode::Gps) << p.x() << "," << p.y();
    }
    w.tap(10, 300);  // in the GPS view, turned: back to the Move view
    EXPECT_EQ(view(), DisplayMode::Move);
    EXPECT_EQ(state().frame.moveDisplayMode, 8);

    run(cmd::KarteView);
    w.doubleTap(120, 160);  // the middle
    EXPECT_EQ(centre(), std::pair(start.gridX, start.gridY));
    // 30 px right and 20 px down at scale 200 and zoom 0.75: +112 m east, −75 m north.
    state().frame.zoomFactor = 0.75;
    w.doubleTap(150, 180);
    EXPECT_EQ(centre(), std::pair(start.gridX + 112, start.gridY - 75));
    EXPECT_EQ(state().frame.lastShown.gridX, start.gridX + 112);
}

TEST_F(AppTest, AnExceptionInAHandlerIsReportedAndTheProgramCarriesOn) {
    MainWindow& w = open();
    w.setCommandObserver([](int id) {
        if (id == cmd::KarteView) throw std::runtime_error("kaputt");
    });
    state().frame.bAutoScreenOn = false;
    const int beeps = w.ui().beeps();
    run(cmd::KarteView);
    const auto shown = messages();
    ASSERT_EQ(shown.size(), 1u);
    // The text is the operation under way: the dispatch of command 40038 (0x9c66).
    EXPECT_EQ(shown[0], "switch (message) 111 9c66 0");
    EXPECT_TRUE(w.ui().shownMessages()[0].caption.empty());
    EXPECT_EQ(w.ui().beeps(), beeps + 1);
    EXPECT_TRUE(state().frame.bAutoScreenOn);
    EXPECT_TRUE(state().diagnostics.text().starts_with("switch (message) 111 9c66 0\r\n"));
    // It goes on: the next command runs.
    run(cmd::NmeaView);
    EXPECT_EQ(view(), DisplayMode::Nmea);
    EXPECT_EQ(messages().size(), 1u);
}

TEST_F(AppTest, AWorkerAskingWhileHoldingTheStateIsAnsweredWhileACommandWaitsForIt) {
    open();
    std::atomic<bool> holding{false};
    std::thread worker([&] {
        std::lock_guard lock(state().stateMutex);
        holding = true;
        window().ui().messageBox("Frage vom Empfang", "", MessageButtons::Ok, MessageIcon::None);
    });
    while (!holding) std::this_thread::yield();
    run(cmd::ZoomIn);  // needs the state the worker holds until its question is answered
    worker.join();
    EXPECT_EQ(state().frame.zoomFactor, 0.75);
    EXPECT_EQ(messages(), std::vector<std::string>{"Frage vom Empfang"});
}

// Counts the queued calls that reach an object (the hand-offs of postToUi).
struct QueuedCallCounter : QObject {
    int calls = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MetaCall) ++calls;
        return false;
    }
};

TEST_F(AppTest, AWorkerDrawingFasterThanTheUiLeavesOneFrameInFlightTheNewest) {
    open();
    run(cmd::MoveView);
    QueuedCallCounter counter;
    window().installEventFilter(&counter);
    std::thread worker([&] {
        for (int i = 1; i <= 200; ++i) {
            QImage frame(40, 40, QImage::Format_RGB32);
            frame.fill(qRgb(i, 0, 0));
            window().presentFrame(std::move(frame));
        }
    });
    worker.join();
    settle();
    window().removeEventFilter(&counter);
    EXPECT_EQ(counter.calls, 1);
    ASSERT_FALSE(window().frameView().image().isNull());
    EXPECT_EQ(window().frameView().image().pixel(0, 0), qRgb(200, 0, 0));
}

// The replay worker draws course-up Move frames while the UI thread resizes the screen: each
// new size reaches the worker's frames, and afterwards every view draws for the last one.
TEST_F(AppTest, TheScreenResizesWhileAReplayDrawsAndEveryViewFollows) {
    replaySpeed_ = 20;  // the drive lasts a minute and a half: the stop comes long before its end
    MainWindow& w = openWithMaps(demoMaps());
    run(cmd::MoveStep);
    run(cmd::MoveStep);
    ASSERT_TRUE(state().frame.courseUp);
    files_.push_back(demoLog());
    run(cmd::EmulateStart);
    for (const QSize size : {QSize(800, 480), QSize(320, 240), QSize(1280, 800), QSize(480, 640)}) {
        w.resizeScreen(size.width(), size.height());
        EXPECT_TRUE(waitFor([&] { return w.frameView().image().size() == size; })) << size.width();
    }
    EXPECT_TRUE(state().frame.replaying);
    run(cmd::EmulateStop);
    ASSERT_TRUE(waitFor([&] { return !w.session().workerRunning.load(); }, 20000));
    JoinFinishedWorker(w.session());
    for (const int view : {cmd::KarteView, cmd::GpsView, cmd::MoveView}) {
        run(view);
        EXPECT_EQ(w.frameView().image().size(), QSize(480, 640)) << view;
    }
    w.resizeScreen(100, 100);
    EXPECT_EQ((state().frame.screen), (ScreenSize{240, 240})) << "never below 240 × 240";
}

TEST_F(AppTest, RouteEditCommandsWorkOnTheRouteTable) {
    open();
    RouteTable& route = state().route;
    for (int i = 0; i < 5; ++i) route.points[static_cast<std::size_t>(i)].gridX = 1000.0 * i;
    route.count = 5;
    run(kCmdRouteReverse);
    EXPECT_EQ(route.points[0].gridX, 4000.0);
    EXPECT_EQ(view(), DisplayMode::Karte);

    // Clearing asks first: Cancel keeps the points, OK clears them.
    state().trace.next = 3;
    const std::pair<int, std::function<bool()>> clears[] = {
        {kCmdRouteClear, [&] { return route.count == 0; }},
        {kCmdTraceClear, [&] { return state().trace.empty(); }},
    };
    for (const auto& [id, cleared] : clears)
        for (const Answer answer : {Answer::Cancel, Answer::Ok}) {
            window().ui().setMessageResponder([answer](const ShownBox&) { return answer; });
            run(id);
            EXPECT_EQ(cleared(), answer == Answer::Ok) << id;
        }
}

// A first start without maps says what to do; with maps and no position the views start over
// the middle of the maps, and the hint is gone. Missing maps are told at the first activation.
TEST_F(AppTest, AFirstStartExplainsItselfAndMapsStartTheViewOverTheirMiddle) {
    MainWindow& w = open();
    run(cmd::KarteView);
    settle();
    EXPECT_TRUE(w.frameView().notice().contains("Tools → Karten Verzeichnis"));
    EXPECT_TRUE(w.frameView().notice().contains("Tools → GPS Start"));
    shot(w.frameView(), "first-start.png");
    run(cmd::GpsView);
    settle();
    EXPECT_TRUE(w.frameView().notice().isEmpty());

    MainWindow& withMaps = openWithMaps(demoMaps());
    ASSERT_GE(state().frame.lastMapIndex, 0);
    const GridPoint middle = mapCollectionCentre(state().maps);
    EXPECT_EQ(std::pair(state().frame.viewCentre.gridX, state().frame.viewCentre.gridY), std::pair(middle.easting, middle.northing));
    run(cmd::KarteView);
    settle();
    EXPECT_TRUE(withMaps.frameView().notice().isEmpty());
    std::filesystem::create_directories(dir_ / "Karten_utm");
    const std::pair<std::filesystem::path, std::string> missing[] = {
        {dir_ / "Karten_utm", "Es sind keine Karten verfügbar"},
        {"/nicht/da", "Kartenverzeichnis nicht gefunden: /nicht/da"},
    };
    for (const auto& [maps, text] : missing) {  // told at the first activation
        openWithMaps(maps);
        EXPECT_EQ(messages(), std::vector<std::string>{text});
        EXPECT_EQ(window().ui().shownMessages()[0].caption, "vexa");
        EXPECT_EQ(std::pair(state().frame.lastMapIndex, state().frame.mapScale), std::pair(-1, 200));
    }
    EXPECT_TRUE(std::filesystem::is_directory(home_ / "vexa"));  // the folder for the program's files
}

}  // namespace
}  // namespace vexa::testing
