// The four views, the NMEA list, zoom, double tap and the exception handler.
#include <QAction>
#include <QStackedWidget>

#include <atomic>
#include <thread>

#include "app/command_ids.h"
#include "app/frame_view.h"
#include "app/menu_bar.h"
#include "app/nmea_view.h"
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
    EXPECT_EQ(w.windowTitle(), "VEXA");

    run(cmd::NmeaView);
    EXPECT_EQ(view(), DisplayMode::Nmea);
    auto* stack = static_cast<QStackedWidget*>(&w.screen());
    EXPECT_EQ(stack->currentWidget(), &w.nmeaView());
    EXPECT_TRUE(w.nmeaView().isReadOnly());
    // Newest line on top; lines added while the list is shown appear at once.
    AddNmeaListLine(state().diagnostics, "erste Zeile");
    AddNmeaListLine(state().diagnostics, "zweite Zeile");
    settle();
    EXPECT_TRUE(w.nmeaView().toPlainText().startsWith("zweite Zeile\nerste Zeile\n"));

    run(cmd::GpsView);
    EXPECT_EQ(view(), DisplayMode::Gps);
    EXPECT_EQ(stack->currentWidget(), &w.frameView());
    // The GPS graphic is drawn.
    EXPECT_TRUE(hasNonWhitePixels(w.frameView().image()));

    // Lines collected while the list is hidden show when it is shown again.
    AddNmeaListLine(state().diagnostics, "im Hintergrund");
    settle();
    run(cmd::NmeaView);
    EXPECT_TRUE(w.nmeaView().toPlainText().startsWith("im Hintergrund\n"));

    run(cmd::KarteView);
    EXPECT_EQ(view(), DisplayMode::Karte);
    EXPECT_EQ(stack->currentWidget(), &w.frameView());
}

TEST_F(AppTest, MapViewsPresentTheMiddleOfTheComposedFrameAtTheScreenSize) {
    WindowOptions options;
    options.maps = demoMaps();
    options.screenWidth = 200;
    options.screenHeight = 300;
    options.scale = 1;
    MainWindow& w = open(options);
    // Over Hannover, inside the demo maps.
    state().frame.viewCentre.gridX = 550000;
    state().frame.viewCentre.gridY = 5803000;
    run(cmd::KarteView);
    EXPECT_EQ(w.frameView().image().size(), QSize(200, 300));
    EXPECT_EQ(w.screen().size(), QSize(200, 300));
    EXPECT_TRUE(hasNonWhitePixels(w.frameView().image()));
}

TEST_F(AppTest, ZoomStepsMultiplyAndResetRestoresExactlyOne) {
    MainWindow& w = open();
    run(cmd::ZoomIn);
    run(cmd::ZoomIn);
    EXPECT_EQ(state().frame.zoomFactor, 0.5625);
    run(cmd::ZoomOut);
    run(cmd::ZoomOut);
    EXPECT_NEAR(state().frame.zoomFactor, 1.0, 1e-12);
    run(cmd::ZoomOut);
    EXPECT_NEAR(state().frame.zoomFactor, 4.0 / 3.0, 1e-12);
    run(cmd::ZoomReset);
    EXPECT_EQ(state().frame.zoomFactor, 1.0);
    // The keys "+" and "-" zoom as the buttons do.
    w.characterKey('+');
    EXPECT_DOUBLE_EQ(state().frame.zoomFactor, 0.75);
    w.characterKey('-');
    EXPECT_DOUBLE_EQ(state().frame.zoomFactor, 0.75 * 1.3333333333333333);
}

TEST_F(AppTest, DoubleTapRecentresOnlyTheMapView) {
    MainWindow& w = open();
    const TrackPoint start = state().frame.viewCentre;
    run(cmd::MoveView);
    w.doubleTap(10, 10);
    EXPECT_EQ(state().frame.viewCentre.gridX, start.gridX);
    EXPECT_EQ(state().frame.viewCentre.gridY, start.gridY);

    run(cmd::KarteView);
    w.doubleTap(120, 160);  // the middle of 240 × 320
    EXPECT_EQ(state().frame.viewCentre.gridX, start.gridX);
    EXPECT_EQ(state().frame.viewCentre.gridY, start.gridY);

    // 30 px right and 20 px down at scale 200 and zoom 0.75: +112 m east, −75 m north.
    state().frame.zoomFactor = 0.75;
    w.doubleTap(150, 180);
    EXPECT_EQ(state().frame.viewCentre.gridX, start.gridX + 112);
    EXPECT_EQ(state().frame.viewCentre.gridY, start.gridY - 75);
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

TEST_F(AppTest, MissingMapsAreReportedAtFirstActivation) {
    std::filesystem::create_directories(dir_ / "Karten_utm");
    WindowOptions options;
    options.maps = dir_ / "Karten_utm";
    open(options);
    EXPECT_EQ(messages(), std::vector<std::string>{"Es sind keine Karten verfügbar"});
    EXPECT_EQ(window().ui().shownMessages()[0].caption, "vexa");
    EXPECT_EQ(state().frame.lastMapIndex, -1);
    EXPECT_EQ(state().frame.mapScale, 200);
    // The folder for the program's files exists after the first activation.
    EXPECT_TRUE(std::filesystem::is_directory(home_ / "vexa"));
}

TEST_F(AppTest, RouteEditCommandsWorkOnTheRouteTable) {
    open();
    RouteTable& route = state().route;
    for (int i = 0; i < 5; ++i) route.points[static_cast<std::size_t>(i)].gridX = 1000.0 * i;
    route.count = 5;
    run(kCmdRouteReverse);
    EXPECT_EQ(route.points[0].gridX, 4000.0);
    EXPECT_EQ(view(), DisplayMode::Karte);
    run(kCmdRouteReduce);
    EXPECT_EQ(route.count, 2);
    run(kCmdRouteClear);
    EXPECT_EQ(route.count, 0);
}

}  // namespace
}  // namespace vexa::testing
