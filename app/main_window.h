// The main window: the device screen (map frames, GPS view or NMEA list) above the menu bar,
// the stylus and the keys, activation, full screen, the exception handler around every
// handler, and the dispatch of each command identifier to the controller of its topic
// (app/controllers/).
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/controllers/window_context.h"
#include "app/frame_mailbox.h"
#include "app/garmin_transfer.h"
#include "app/hardware_keys.h"
#include "app/qt_gps_views.h"
#include "app/qt_ui.h"
#include "app/stylus.h"
#include "app/window_options.h"
#include "display/font_table.h"
#include "frame/settings_store.h"
#include "gps/gps_input.h"
#include "gps/gps_session.h"
#include "gps/pending_drawing.h"

class QStackedWidget;

namespace vexa {

struct AppState;
class FrameView;
class DBusScreenPower;
class DisplayController;
class DisplayPower;
class GpsController;
class MapController;
class MenuBar;
class NmeaView;
class PoiController;
class ReplayController;
class ReplayThread;
class RouteController;

class MainWindow : public QMainWindow, public WindowShell, public ViewSink, public HardwareKeyActions {
public:
    MainWindow(AppState& state, WindowOptions options);
    ~MainWindow() override;

    // Start-up after construction: first activation, then the Move view.
    void start();
    // Activation: the first one loads the map directory and restores the last position.
    void activate(bool active);

    // Runs one command as the menu, a button or a key would, inside the exception handler.
    void command(int id) override;
    // Another start of the program asked to be shown, and to replay `replay` when given.
    void raiseFromSecondInstance(const std::optional<std::filesystem::path>& replay = std::nullopt);
    int raiseCount() const { return raiseCount_; }

    void fullscreenOn() override;
    void fullscreenOff() override;
    bool fullScreen() const override { return views_.fullScreen(); }
    // The virtual screen (device pixels) takes a new size, at least 240 × 240: every view draws
    // for it from the next frame on, and the current view is drawn anew.
    void resizeScreen(int width, int height);
    // The stylus at device pixels: a tap (left button pressed), held still (or right button),
    // moved with the button down, lifted.
    void tap(int x, int y);
    void karteHold(int x, int y);
    void drag(int x, int y);
    void lift(int x, int y);
    // Cursor keys and Enter (Qt key codes); the mouse wheel in the map views.
    void cursorKey(int key);
    void wheel(int steps);
    // Double tap at device pixels: re-centres the map view.
    void doubleTap(int x, int y);
    // Character shortcuts.
    void characterKey(char key);
    // Hardware keys 1..4: press and release.
    void hardwareKey(int key, bool pressed);
    // Trace and route replay on their own thread (ReplayController).
    bool StartProcess_ShowIrcTrace();
    bool StartProcess_ShowIrcRoute();
    void pauseDrawingReplay(bool paused);
    bool stopDrawingReplay(std::chrono::milliseconds wait);
    ReplayThread& replayThread();
    DisplayPower& power() { return *power_; }
    FontTable& fonts();
    // Stops reception and replay, closes the port; the window then closes.
    void shutDown();

    AppState& state() { return state_; }
    QtUi& ui() { return ui_; }
    GpsSession& session() { return session_; }
    GarminTransfer& garminTransfer() { return garmin_; }
    MenuBar& menuBar() override { return *menuBar_; }
    FrameView& frameView() override { return *frameView_; }
    NmeaView& nmeaView() override { return *nmeaView_; }
    QWidget& screen();
    HardwareKeys& hardwareKeys() { return *keys_; }

    // Called with each command identifier before it runs (debug tracing, tests).
    void setCommandObserver(std::function<void(int)> observer) { observer_ = std::move(observer); }
    // Runs a command's modal dialog; returns its result code. Tests answer dialogs here.
    void setDialogRunner(std::function<int(QDialog&)> runner) { dialogRunner_ = std::move(runner); }
    // Runs a pop-up menu; returns the chosen command or 0. Tests choose here.
    void setMenuRunner(std::function<int(QMenu&)> runner) { menuRunner_ = std::move(runner); }
    const StylusState& stylus() const { return stylus_; }

    // WindowShell
    int runDialog(QDialog& dialog) override;
    int popupMenu(QMenu& menu, QPoint at) override;
    void refreshMenuStates() override;
    void showNmeaPage(bool nmea) override;

    // UiWindow
    QWidget* dialogParent() override { return this; }
    void applyTitle(const std::string& title) override;
    void applyStatusText(const std::string& text) override;
    void runCommand(int commandId) override { command(commandId); }

    // ViewSink (any thread)
    void presentFrame(QImage visible) override;
    QImage spareFrame(QSize size) override { return frames_.spare(size); }
    void presentMoveText(std::string text) override;
    void refreshNmea() override;
    void displayPower(bool off) override;

    // HardwareKeyActions
    DisplayMode currentView() override { return context_.currentView(); }
    bool calibrating() override { return context_.calibrating(); }
    bool gpsRunning() override { return context_.gpsRunning(); }
    bool receiving() override { return context_.receiving(); }
    void switchWindow() override;
    void stepMoveDisplay(int delta) override;
    void sendCommand(int id) override { ui_.sendCommand(id); }
    void clearTrace() override;
    void selectMapAtZoom() override;
    void selectMapAtPosition() override;
    bool swapMapDirectories() override;
    void openLogByKey() override;
    void beep() override { ui_.beep(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    AppState& state_;
    WindowOptions options_;
    QtUi ui_;
    SettingsStore store_;
    QtGpsViews views_;
    PendingDrawing workerDrawing_;  // the GPS worker's redraws, drawn here on the UI thread
    QElapsedTimer lastWorkerDrawing_;
    GpsInput input_;
    GpsSession session_;
    GarminTransfer garmin_;
    std::unique_ptr<DbStore> dbStore_;
    std::unique_ptr<HardwareKeys> keys_;
    std::unique_ptr<DBusScreenPower> screenPower_;
    std::unique_ptr<DisplayPower> power_;
    std::array<int, 4> hardwareKeyCodes_{};
    StylusState stylus_;
    bool uiHoldsState_ = false;
    WindowContext context_;
    std::unique_ptr<DisplayController> display_;
    std::unique_ptr<MapController> maps_;
    std::unique_ptr<GpsController> gps_;
    std::unique_ptr<RouteController> routes_;
    std::unique_ptr<PoiController> pois_;
    std::unique_ptr<ReplayController> replay_;
    std::vector<Controller*> controllers_;  // asked in turn which one handles a command
    MenuBar* menuBar_ = nullptr;
    FrameView* frameView_ = nullptr;
    NmeaView* nmeaView_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QRect normalGeometry_;  // before full screen: the inner area, its frame's corner, maximised
    QPoint normalFramePos_;
    static constexpr int kPlacementSettleMs = 500;
    QTimer placementTimer_;  // a move or resize settling before the placement is written
    bool normalMaximized_ = false;
    bool closing_ = false;
    int raiseCount_ = 0;
    std::atomic<bool> nmeaRefreshPending_{false};
    FrameMailbox frames_;  // the newest frame not yet shown
    std::function<void(int)> observer_;
    std::function<int(QDialog&)> dialogRunner_;
    std::function<int(QMenu&)> menuRunner_;

    void create();
    // Draws what the GPS worker asked for, at most once per display refresh.
    void drawWorkerViews();
    // The window's place and size at start, and stored as they change and at exit (a desktop run only).
    void placeWindow();
    void storeWindowPlacement();
    void guarded(const std::function<void()>& handler);
    void reportException();
    void dispatch(int id);

    // The stylus and the keys in each view (stylus.cpp, cursor_keys.cpp, key_commands.cpp).
    void moveTap(int x, int y);
    void moveCalibrationTap(int x, int y);
    void karteTap(int x, int y);
    void gpsTap(int x, int y, bool idleNow);
    int takeMapScale();
    // A pop-up menu of commands at device pixels (x, y); runs the chosen one.
    void tapMenu(const std::vector<std::pair<int, const char*>>& items, int x, int y);
    void karteEnter();
};

}  // namespace vexa
