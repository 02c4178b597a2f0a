// The main window: the device screen (map frames, GPS view or NMEA list) above the menu bar,
// activation, full screen, the exception handler around every handler, the dispatch of each
// command identifier to the controller of its topic (app/controllers/), and the stylus and key
// events handed to the window's input (WindowInput).
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>

#include <array>
#include <atomic>
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
#include "app/qt_gps_views.h"
#include "app/qt_ui.h"
#include "app/window_options.h"
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
class RouteController;
class WindowInput;

class MainWindow : public QMainWindow, public WindowShell, public ViewSink {
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
    WindowInput& input() { return *windowInput_; }
    DisplayController& display() { return *display_; }
    ReplayController& replay() { return *replay_; }
    DisplayPower& power() { return *power_; }
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

    // Called with each command identifier before it runs (debug tracing, tests).
    void setCommandObserver(std::function<void(int)> observer) { observer_ = std::move(observer); }
    // Runs a command's modal dialog; returns its result code. Tests answer dialogs here.
    void setDialogRunner(std::function<int(QDialog&)> runner) { dialogRunner_ = std::move(runner); }
    // Runs a pop-up menu; returns the chosen command or 0. Tests choose here.
    void setMenuRunner(std::function<int(QMenu&)> runner) { menuRunner_ = std::move(runner); }

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
    QImage spareFrame(QSize size, bool replacesPending) override { return frames_.spare(size, replacesPending); }
    bool drawAfterPending(std::function<void()> draw) override { return frames_.drawAfterPending(std::move(draw)); }
    // Before a picture is taken of the window (UI thread): a frame still waiting for the event
    // loop is shown now, and the picture it gives back is let go, so that the window shows the
    // newest frame and the picture taken has the spare's room.
    void showNewestFrame();
    void presentMoveText(std::string text) override;
    void refreshNmea() override;
    void displayPower(bool off) override;

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
    std::unique_ptr<DBusScreenPower> screenPower_;
    std::unique_ptr<DisplayPower> power_;
    std::array<int, 4> hardwareKeyCodes_{};
    bool uiHoldsState_ = false;
    WindowContext context_;
    std::unique_ptr<DisplayController> display_;
    std::unique_ptr<MapController> maps_;
    std::unique_ptr<GpsController> gps_;
    std::unique_ptr<RouteController> routes_;
    std::unique_ptr<PoiController> pois_;
    std::unique_ptr<ReplayController> replay_;
    std::vector<Controller*> controllers_;  // asked in turn which one handles a command
    std::unique_ptr<WindowInput> windowInput_;
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
    // The hand-off: shows the waiting frame, then draws what a worker left for after it.
    void showPendingFrame();
    void drawLeftForLater();
    // Draws what the GPS worker asked for, at most once per display refresh.
    void drawWorkerViews();
    // The window's place and size at start, and stored as they change and at exit (a desktop run only).
    void placeWindow();
    void storeWindowPlacement();
    void guarded(const std::function<void()>& handler);
    void reportException();
    void dispatch(int id);
};

}  // namespace vexa
