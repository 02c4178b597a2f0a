// The main window: the device screen (map frames, GPS view or NMEA list) above the menu bar,
// the command dispatch by identifier, the views, keys, double tap, activation and the
// exception handler around every handler.
#pragma once

#include <QMainWindow>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/garmin_transfer.h"
#include "app/frame_mailbox.h"
#include "app/hardware_keys.h"
#include "app/qt_gps_views.h"
#include "app/qt_ui.h"
#include "app/stylus.h"
#include "display/font_table.h"
#include "frame/settings_store.h"
#include "gps/gps_input.h"
#include "gps/gps_session.h"
#include "routes/place_table.h"
#include "routes/route_db.h"

class QDialog;
class QMenu;
class QProgressBar;
class QStackedWidget;

namespace vexa {

struct AppState;
class FrameView;
class MenuBar;
class NmeaView;
class ReplayThread;
class DBusScreenPower;
class DisplayPower;

struct WindowOptions {
    int screenWidth = 240;
    int screenHeight = 320;
    int scale = 2;
    // A desktop run: the window's place and size and the scale come from the last run (the
    // values above then only size the first start) and are stored at exit. A screen or scale
    // given on the command line holds for the run; a given scale is also stored.
    bool remember = false;
    bool screenGiven = false;
    bool scaleGiven = false;
    bool oldKeys = false;
    std::optional<std::filesystem::path> maps;  // instead of the stored map directory
    std::optional<std::string> port;            // a device instead of "COM1:".."COM8:"
    // A drawn replay (trace, route, start-up route) shows each frame at least this long; 0 as
    // fast as frames compose.
    std::chrono::milliseconds replayFramePeriod{40};
    std::optional<int> replaySpeed;  // the NMEA replay's speed for this run instead of the stored one
    bool headless = false;  // no user: boxes are answered from the start (answerHeadless)
    bool startupAnimation = true;                      // play the built-in route at start
};

class MainWindow : public QMainWindow, public UiWindow, public ViewSink, public HardwareKeyActions {
public:
    MainWindow(AppState& state, WindowOptions options);
    ~MainWindow() override;

    // Start-up after construction: first activation, then the Move view.
    void start();
    // Activation: the first one loads the map directory and restores the last position.
    void activate(bool active);

    // Runs one command as the menu, a button or a key would, inside the exception handler.
    void command(int id);
    // Another start of the program asked to be shown, and to replay `replay` when given.
    void raiseFromSecondInstance(const std::optional<std::filesystem::path>& replay = std::nullopt);
    int raiseCount() const { return raiseCount_; }

    void switchWindow() override;
    void switchMoveDisplay();
    void RefreshWindow();
    void fullscreenOn();
    void fullscreenOff();
    void fullscreenOffSip();
    bool fullScreen() const { return views_.fullScreen(); }
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
    // Trace and route replay on their own thread; stepping on the UI thread.
    bool StartProcess_ShowIrcTrace();
    bool StartProcess_ShowIrcRoute();
    void pauseDrawingReplay(bool paused);
    bool stopDrawingReplay(std::chrono::milliseconds wait);
    void showTraceStep(int index);
    void showRouteStep(int index, int steps);
    ReplayThread& replayThread() { return *replay_; }
    DisplayPower& power() { return *power_; }
    FontTable& fonts() { return fonts_; }
    // Builds the views' fonts from the chosen face and size ("Font <%i> %s").
    void RefreshFont();
    // Stops reception and replay, closes the port; the window then closes.
    void shutDown();

    AppState& state() { return state_; }
    QtUi& ui() { return ui_; }
    GpsSession& session() { return session_; }
    GarminTransfer& garminTransfer() { return garmin_; }
    MenuBar& menuBar() { return *menuBar_; }
    FrameView& frameView() { return *frameView_; }
    NmeaView& nmeaView() { return *nmeaView_; }
    QWidget& screen();
    HardwareKeys& hardwareKeys() { return *keys_; }
    const QString& statusLine() const { return statusLine_; }

    // Called with each command identifier before it runs (debug tracing, tests).
    void setCommandObserver(std::function<void(int)> observer) { observer_ = std::move(observer); }
    // Runs a command's modal dialog; returns its result code. Tests answer dialogs here.
    void setDialogRunner(std::function<int(QDialog&)> runner) { dialogRunner_ = std::move(runner); }
    // Runs a pop-up menu; returns the chosen command or 0. Tests choose here.
    void setMenuRunner(std::function<int(QMenu&)> runner) { menuRunner_ = std::move(runner); }
    const StylusState& stylus() const { return stylus_; }

    // "Export" in the route list (the route, loaded alone, and its name) and in the POI list.
    using RouteExporter = std::function<void(const std::string& routeName, const Progress&)>;
    using PoiExporter = std::function<void(const Progress&)>;
    void setExporters(RouteExporter route, PoiExporter pois);

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
    DisplayMode currentView() override;
    bool calibrating() override;
    bool gpsRunning() override;
    bool receiving() override;
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
    GpsInput input_;
    GpsSession session_;
    GarminTransfer garmin_;
    std::unique_ptr<HardwareKeys> keys_;
    std::unique_ptr<ReplayThread> replay_;
    std::unique_ptr<DBusScreenPower> screenPower_;
    std::unique_ptr<DisplayPower> power_;
    FontTable fonts_;
    int privateFontId_ = -1;
    std::array<int, 4> hardwareKeyCodes_{};
    MenuBar* menuBar_ = nullptr;
    FrameView* frameView_ = nullptr;
    NmeaView* nmeaView_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QString statusLine_;
    QRect normalGeometry_;  // before full screen: the inner area, its frame's corner, maximised
    QPoint normalFramePos_;
    static constexpr int kPlacementSettleMs = 500;
    QTimer placementTimer_;  // a move or resize settling before the placement is written
    bool normalMaximized_ = false;
    bool uiHoldsState_ = false;
    bool closing_ = false;
    int raiseCount_ = 0;
    bool startupAnimating_ = false;         // the drawing replay is the start-up route (UI thread only)
    std::atomic<bool> startupCut_{false};  // a replay has ended the start-up route
    int cornerCounter_ = 0;  // key "n": map × 4 + corner
    std::atomic<bool> nmeaRefreshPending_{false};
    FrameMailbox frames_;  // the newest frame not yet shown
    std::function<void(int)> observer_;
    std::function<int(QDialog&)> dialogRunner_;
    std::function<int(QMenu&)> menuRunner_;
    StylusState stylus_;
    bool firstStartHint_ = false;  // no map directory yet: the map views say what to do
    std::unique_ptr<DbStore> dbStore_;
    RouteExporter exportRoute_;
    PoiExporter exportPois_;
    std::vector<Place> places_;  // read when the place directory first opens
    int placeIndex_ = -1;        // the town chosen last

    void create();
    // The window's place and size at start, and stored as they change and at exit (a desktop run only).
    void placeWindow();
    void storeWindowPlacement();
    void guarded(const std::function<void()>& handler);
    void reportException();
    void dispatch(int id);
    void refreshMenuStates();
    int runDialog(QDialog& dialog);

    // View commands.
    void showNmeaView();
    void showGpsView();
    void showMoveView(bool step);
    void showKarteView();
    void zoom(int id);
    void repaintScreen();
    bool idle();
    void moveTap(int x, int y);
    void moveCalibrationTap(int x, int y);
    void karteTap(int x, int y);
    void gpsTap(int x, int y, bool idleNow);
    int takeMapScale();
    int popupMenu(QMenu& menu, QPoint at);
    // A pop-up menu of commands at device pixels (x, y); runs the chosen one.
    void tapMenu(const std::vector<std::pair<int, const char*>>& items, int x, int y);
    void karteEnter();
    // Map calibration (calibration_commands.cpp).
    void calibrationCommand(int id);
    void DlgKalib();
    // The Move view's replay buttons and stepping (replay_stepping.cpp).
    bool drawingReplayRuns();
    bool replayButtonTap(int x, int y);
    // Holding a replay button offers the NMEA replay speeds.
    bool replayButtonHold(int x, int y);
    // The speed menu at `at` (global pixels); the choice holds at once and is stored.
    void chooseReplaySpeed(QPoint at);
    void stepTrace(int direction);
    void stepRoute(int direction);
    void gpsReplayKey(int key);

    // Tools and POI menu commands.
    void loadMapDirectory();
    int scanMapDirectory(const std::string& directory, QProgressBar* progress = nullptr);
    void openMapDirectory();
    void importMapFiles();
    void selectComPort(int id);
    void selectPort(const std::string& name);
    void openPortDialog();
    void toggleCalibration();
    void toggleOverview();
    void toggleOverlay(int id);
    void routeCommand(int id);
    // KML, KMZ, OVL and GPX files of "EmulateStart/Import"; false for other extensions.
    bool importRouteFile(const std::filesystem::path& file, const std::string& extension);
    void exportRoute();
    // The exports of the route and POI lists; `bar` is the dialog's progress bar.
    void exportRouteNamed(const std::string& name, const Progress* bar);
    void exportPoiTable(const Progress* bar);
    bool reportMissingRoute(int id);
    bool confirmClear(int id);
    void openLogSettings();
    void openZoneDialog();
    void openHelp();
    void sendRouteToGarmin();
    void exitProgram();
    void showReplayView();
    std::string comDevice(int n);
    std::string comLabel(int n);
    void refreshGridCoordinates();
    void saveScreenCopy(bool tell);
    void showNextMapCorner();

    // POI and route databases, place directory (db_commands.cpp).
    DbContext dbContext();
    bool databaseCommand(int id);
    void openPoiList();
    void addPoiAtCentre();
    // The file dialog for another POI or route database volume; cancelled, it redraws.
    std::optional<std::filesystem::path> chooseVolumeFile(const char* title, const char* filter);
    void choosePoiVolume();
    void resetPoiDb();
    void storeLastPosition();
    bool importCsv(const std::filesystem::path& file);
    void openRouteList(bool byDate);
    void saveRoute();
    void chooseRouteVolume();
    void openPlaceDirectory();
    bool startDrawingReplay(bool route, std::vector<int> indices);
    void startupRouteAnimation();
    // An NMEA replay moves the position itself: the start-up route gives way before it starts.
    void endStartupAnimation();
    void digitKey(int digit);
    void loadFonts();
    void removePrivateFont();
    void openDisplaySettings();
};

}  // namespace vexa
