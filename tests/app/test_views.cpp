// The four views, the NMEA list, paints, zoom, taps and the exception handler.
#include <QStackedWidget>
#include <QTest>

#include <array>
#include <atomic>
#include <cstdio>
#include <sstream>
#include <thread>

#include "app/command_ids.h"
#include "app/frame_view.h"
#include "app/menu_bar.h"
#include "app/nmea_view.h"
#include "maps/map_catalogue.h"
#include "tests/app/app_fixture.h"
#include "tests/support/golden_file.h"
#include "util/text.h"

namespace vexa::testing {
namespace {

namespace fs = std::filesystem;

// The NMEA list is a page of its own; a line collected while it is hidden shows with it, one
// added while it shows at once, the newest on top.
TEST_F(AppTest, TheNmeaListShowsTheNewestLineFirst) {
    MainWindow& w = open();
    auto* stack = static_cast<QStackedWidget*>(&w.screen());
    AddNmeaListLine(state().diagnostics, "erste Zeile");
    run(cmd::NmeaView);
    EXPECT_EQ(stack->currentWidget(), &w.nmeaView());
    AddNmeaListLine(state().diagnostics, "zweite Zeile");
    settle();
    EXPECT_TRUE(w.nmeaView().toPlainText().startsWith("zweite Zeile\nerste Zeile\n"));
    EXPECT_TRUE(w.nmeaView().isReadOnly());
    run(cmd::GpsView);
    EXPECT_EQ(stack->currentWidget(), &w.frameView());
}

TEST_F(AppTest, MapViewsPresentTheMiddleOfTheComposedFrameAndPaintsDrawThemAnewWhileNothingArrives) {
    MainWindow& w = openWithMaps(demoMaps());
    state().frame.viewCentre = TrackPoint{550000, 5803000};  // Hannover, inside the demo maps
    run(cmd::KarteView);
    // A paint the screen did not ask for composes the view centre once; while a replay runs
    // the Move view is the worker's and the GPS view shows its last picture.
    state().diagnostics.debugMode = true;
    const auto paint = [&] {
        state().diagnostics.setText("");
        w.frameView().update();
        for (int i = 0; i < 10; ++i) settle();
        return count(state().diagnostics.text(), "show_pos Start");
    };
    state().frame.viewCentre.gridX = 556000;
    const QImage before = w.frameView().image();
    EXPECT_EQ(paint(), 1);
    EXPECT_NE(w.frameView().image(), before);
    EXPECT_EQ(state().frame.viewCentre.gridX, 556000);
    run(cmd::MoveView);
    state().frame.replaying = true;
    EXPECT_EQ(paint(), 0);
    run(cmd::GpsView);
    const QImage gps = w.frameView().image();
    state().gps.speed = 88.0f;
    paint();
    EXPECT_EQ(w.frameView().image(), gps);
    state().frame.replaying = false;
    paint();
    EXPECT_NE(w.frameView().image(), gps);
}

// Each case line of window_steps.txt opens a window, over the demo maps ("maps") or a folder
// ("maps=leer_utm", empty, or a path), and works it: a number runs that command, "kC" types the
// character C, "tX,Y" taps and "dX,Y" double taps there, "iN" sets the info page, "zF" the zoom,
// "c1" calibrates, "r" makes a route and a trace, "n" answers the boxes Cancel, "w" waits for
// late window events. The record is what the window shows afterwards.
TEST_F(AppTest, CommandsTapsAndKeysLeaveTheWindowAsRecorded) {
    bool held = false;  // a box was shown while the state was held
    Answer answer = Answer::Ok;
    const auto record = [&](const std::string& line) {
        std::istringstream steps(line);
        std::string step;
        steps >> step;
        const std::string maps = step.substr(std::min<std::size_t>(step.size(), 5));
        fs::create_directories(dir_ / "leer_utm");
        MainWindow& w = step == "open" ? open()
                                       : openWithMaps(maps.empty() ? demoMaps() : maps == "leer_utm" ? dir_ / maps : fs::path(maps));
        const TrackPoint start = state().frame.viewCentre;
        held = false;
        answer = Answer::Ok;
        w.ui().setMessageResponder([&](const ShownBox&) {
            std::thread([&] {
                if (state().stateMutex.try_lock()) state().stateMutex.unlock();
                else held = true;
            }).join();
            return answer;
        });
        while (steps >> step) {
            int x = 0, y = 0;
            std::sscanf(step.c_str() + 1, "%d,%d", &x, &y);
            switch (step[0]) {
            case 'k': w.input().characterKey(step[1]); break;
            case 't': w.input().tap(x, y); break;
            case 'd': w.input().doubleTap(x, y); break;
            case 'i': state().display.infoPage = x; break;
            case 'z': state().frame.zoomFactor = std::stod(step.substr(1)); break;
            case 'c': state().frame.calibrating = x; break;
            case 'w': QTest::qWait(300); break;
            case 'n': answer = Answer::Cancel; break;
            case 'r':  // a route of five points 1 km apart and a trace
                for (int i = 0; i < 5; ++i) state().route.points[static_cast<std::size_t>(i)].gridX = 1000.0 * i;
                state().route.count = 5;
                state().trace.next = 3;
                break;
            default: run(std::stoi(step));
            }
            settle();
        }
        std::string marks;
        for (const auto& [id, on, letter] : {std::tuple(cmd::ShowPois, true, 'P'), {cmd::ShowRoutePoints, true, 'R'},
                                             {cmd::Overview, true, 'O'}, {cmd::Calibration, true, 'C'},
                                             {cmd::AddPoi, false, 'a'}, {cmd::UtmGkZone, false, 'u'}})
            if (on ? w.menuBar().action(id)->isChecked() : w.menuBar().action(id)->isEnabled()) marks += letter;
        const FrameState& f = state().frame;
        std::string boxes;
        for (const ShownBox& box : w.ui().shownMessages()) boxes += "; " + box.text + " / " + box.caption;
        return oneLine(strprintf("%s mode=%d%s%d info=%d strip=%d zoom=%.4f centre=%+.0f,%+.0f screen=%dx%d full=%d menu=%s "
                         "route=%d/%.0f trace=%d maps=%d/%d%s%s%s%s",
                         std::array{"Nmea", "Gps", "Move", "Karte"}[static_cast<int>(view())], f.moveDisplayMode,
                         f.courseUp ? " course-up " : " north-up ", f.baseAngle, state().display.infoPage,
                         w.menuBar().strip(), f.zoomFactor, f.viewCentre.gridX - start.gridX,
                         f.viewCentre.gridY - start.gridY, f.screen.width, f.screen.height, w.fullScreen(),
                         marks.c_str(), state().route.count, state().route.points[0].gridX, !state().trace.empty(),
                         f.lastMapIndex, f.mapScale, w.frameView().notice().isEmpty() ? "" : "; notice: ",
                         w.frameView().notice().toStdString().c_str(), boxes.c_str(), held ? " (state held)" : ""));
    };
    EXPECT_GT(compareGoldenFile((sourceDir() / "tests/data/window_steps.txt").string(), record), 40);
}

TEST_F(AppTest, AnExceptionInAHandlerIsReportedAndTheProgramCarriesOn) {
    MainWindow& w = open();
    w.setCommandObserver([](int id) {
        if (id == cmd::KarteView) throw std::runtime_error("kaputt");
    });
    state().frame.bAutoScreenOn = false;
    const int beeps = w.ui().beeps();
    run(cmd::KarteView);
    // The text is the operation under way: the dispatch of command 40038 (0x9c66).
    EXPECT_EQ(messages(), std::vector<std::string>{"switch (message) 111 9c66 0"});
    EXPECT_EQ(std::pair(w.ui().beeps(), state().frame.bAutoScreenOn.load()), std::pair(beeps + 1, true));
    EXPECT_TRUE(state().diagnostics.text().starts_with("switch (message) 111 9c66 0\r\n"));
    run(cmd::NmeaView);
    EXPECT_EQ(view(), DisplayMode::Nmea);
}

// Counts the queued calls that reach an object (the hand-offs of postToUi).
struct QueuedCallCounter : QObject {
    int calls = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        calls += event->type() == QEvent::MetaCall;
        return false;
    }
};

// A worker asking while it holds the state is answered while a command waits for the state; a
// worker drawing faster than the UI leaves one frame in flight, the newest, and what it asks to
// draw while that one waits is drawn on the UI thread after it, the newest only.
TEST_F(AppTest, WorkersAskAndDrawWithoutBlockingOrFloodingTheUi) {
    open();
    std::atomic<bool> holding{false};
    std::thread worker([&] {
        std::lock_guard lock(state().stateMutex);
        holding = true;
        window().ui().messageBox("Frage vom Empfang", "", MessageButtons::Ok, MessageIcon::None);
    });
    while (!holding) std::this_thread::yield();
    run(cmd::ZoomIn);
    worker.join();
    EXPECT_EQ(std::pair(state().frame.zoomFactor, messages()), std::pair(0.75, std::vector<std::string>{"Frage vom Empfang"}));

    QueuedCallCounter counter;
    int leftForUi = 0;
    std::vector<std::pair<int, QRgb>> drawnAfter;
    window().installEventFilter(&counter);
    std::thread([&] {
        for (int i = 1; i <= 200; ++i) {
            QImage frame(40, 40, QImage::Format_RGB32);
            frame.fill(qRgb(i, 0, 0));
            window().presentFrame(std::move(frame));
        }
        for (int i = 1; i <= 2; ++i)
            leftForUi += window().drawAfterPending([&, i] { drawnAfter.emplace_back(i, window().frameView().image().pixel(0, 0)); });
    }).join();
    settle();
    window().removeEventFilter(&counter);
    EXPECT_EQ(std::pair(counter.calls, window().frameView().image().pixel(0, 0)), std::pair(1, qRgb(200, 0, 0)));
    EXPECT_EQ(std::pair(leftForUi, drawnAfter), std::pair(2, std::vector{std::pair(2, qRgb(200, 0, 0))}));

    // Before a grab, the frame still waiting is shown at once and the picture it frees let go.
    QImage last(40, 40, QImage::Format_RGB32);
    last.fill(qRgb(7, 0, 0));
    window().presentFrame(std::move(last));
    window().showNewestFrame();
    EXPECT_EQ(std::pair(window().frameView().image().pixel(0, 0), window().spareFrame(QSize(40, 40), false).isNull()),
              std::pair(qRgb(7, 0, 0), true));
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
}

// With maps and no position the views start over the middle of the maps.
TEST_F(AppTest, MapsStartTheViewOverTheirMiddleAndTheProgramHasItsFolder) {
    openWithMaps(demoMaps());
    const GridPoint middle = mapCollectionCentre(state().maps);
    EXPECT_EQ(std::pair(state().frame.viewCentre.gridX, state().frame.viewCentre.gridY), std::pair(middle.easting, middle.northing));
    EXPECT_TRUE(fs::is_directory(home_ / "vexa"));
}

}  // namespace
}  // namespace vexa::testing
