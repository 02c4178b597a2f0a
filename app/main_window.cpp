#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>

#include <sys/utsname.h>

#include <cstdio>

#include "app/app_state.h"
#include "app/build_stamp.h"
#include "app/command_ids.h"
#include "app/controllers/display_controller.h"
#include "app/controllers/gps_controller.h"
#include "app/controllers/map_controller.h"
#include "app/controllers/poi_controller.h"
#include "app/controllers/replay_controller.h"
#include "app/controllers/route_controller.h"
#include "app/controllers/window_input.h"
#include "app/dialog_fit.h"
#include "app/frame_view.h"
#include "app/menu_bar.h"
#include "app/nmea_view.h"
#include "app/snapshot.h"
#include "app/state_lock.h"
#include "app/ui_thread.h"
#include "app/window_placement.h"
#include "maps/render/map_loading.h"
#include "app/dbus_screen_power.h"
#include "display/display_power.h"
#include "display/replay_thread.h"
#include "gps/trip_reset.h"
#include "platform/clock.h"
#include "platform/linux/serial_devices.h"
#include "platform/linux/sqlite_db_store.h"
#include "platform/paths.h"
#include "platform/settings_storage.h"

namespace vexa {

namespace {

constexpr const char* kTitle = "VEXA";
constexpr const char* kFirstStartHint =
    "Noch keine Karten.\n\nKarten wählen:\nTools → Karten Verzeichnis\n\nPosition empfangen:\nTools → GPS Start";

// The keyboard keys of the four hardware keys: "sHardwareKey1".."sHardwareKey4" hold key
// names such as "F5"; F1 to F4 otherwise.
std::array<int, 4> hardwareKeyCodes(SettingsStorage& storage) {
    std::array<int, 4> codes = {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4};
    for (int i = 0; i < 4; ++i) {
        const auto name = storage.readString("sHardwareKey" + std::to_string(i + 1));
        if (!name) continue;
        const QKeySequence sequence = QKeySequence::fromString(QString::fromStdString(*name));
        if (!sequence.isEmpty()) codes[static_cast<std::size_t>(i)] = sequence[0].key();
    }
    return codes;
}

int osMajorVersion() {
    utsname name{};
    if (uname(&name) != 0) return 0;
    return std::atoi(name.release);
}

}  // namespace

MainWindow::MainWindow(AppState& state, WindowOptions options)
    : state_(state),
      options_(std::move(options)),
      ui_(*this, *this),
      store_{state.storage, ui_, state.diagnostics},
      views_(state, ui_, *this),
      workerDrawing_(views_, state.frame, [this] { postToUi(this, [this] { drawWorkerViews(); }); }),
      input_{state.gps,      state.last, state.satellites,  state.trace,       state.log,
             state.settings, state.frame, state.grid,       state.diagnostics, ui_,
             state.clock,    workerDrawing_, state.stateMutex},
      session_(input_, store_, state.port),
      garmin_(state.port, state.garmin),
      dbStore_(std::make_unique<SqliteDbStore>()),
      context_{state, uiHoldsState_, ui_, store_, session_, views_, *dbStore_, options_, hardwareKeyCodes_, *this} {
    display_ = std::make_unique<DisplayController>(context_);
    maps_ = std::make_unique<MapController>(context_);
    gps_ = std::make_unique<GpsController>(context_, *maps_);
    pois_ = std::make_unique<PoiController>(context_);
    replay_ = std::make_unique<ReplayController>(context_);
    routes_ = std::make_unique<RouteController>(context_, garmin_);
    controllers_ = {display_.get(), maps_.get(), gps_.get(), pois_.get(), replay_.get(), routes_.get()};
    GarminUpload& upload = garmin_.upload();
    upload.addLine = [this](std::string_view line) { AddNmeaListLine(state_.diagnostics, line); };
    upload.showMessage = [this](std::string_view text) {
        ui_.messageBox(text, "", MessageButtons::Ok, MessageIcon::Error);
    };
    upload.showTextView = [this] { ui_.sendCommand(cmd::NmeaView); };
    session_.portDevice = [this](const std::string& name) {
        if (name == "gpsd") return RegQueryGpsd(store_);
        const int n = comPortNumber(name);
        return n > 0 ? gps_->comDevice(n) : name;
    };
    session_.showReplayView = [this] { replay_->showReplayView(); };
    session_.importFile = [this](const std::filesystem::path& file, const std::string& extension) {
        return (extension == "csv" && pois_->importCsv(file)) || routes_->importRouteFile(file, extension);
    };
    session_.beforeReplay = [this] { replay_->endStartupAnimation(); };
    screenPower_ = std::make_unique<DBusScreenPower>();
    power_ = std::make_unique<DisplayPower>(*screenPower_, state.diagnostics);
    power_->queryPower();
    views_.setPower(power_.get());
    session_.holdBacklight = [this](bool hold) { power_->holdBacklight(hold); };
    const std::optional<std::uint32_t> storedSpeed = RegQueryReplaySpeed(store_);
    const int speed = options_.replaySpeed.value_or(storedSpeed ? static_cast<int>(*storedSpeed) : kDefaultReplaySpeed);
    session_.pace.setSpeed(isReplaySpeed(speed) ? speed : kDefaultReplaySpeed);
    windowInput_ = std::make_unique<WindowInput>(context_, *display_, *maps_, *gps_, *replay_, *power_, *this);
    hardwareKeyCodes_ = hardwareKeyCodes(state.storage);
    state.diagnostics.setChangeListener([this] { refreshNmea(); });
    state.diagnostics.setApiErrorHook([this] {
        state_.gps.lastActivityTick = state_.clock.tickCount();
        if (!state_.frame.bAutoScreenOn || state_.frame.bManualScreenOff) {
            state_.frame.bAutoScreenOn = true;
            state_.frame.bManualScreenOff = false;
            displayPower(false);
        }
    });
    if (options_.headless) answerHeadless(ui_);
    setWindowTitle("vexa");
    setFocusPolicy(Qt::StrongFocus);
    create();
    display_->loadFonts();
}

MainWindow::~MainWindow() {
    shutDown();
    state_.diagnostics.setChangeListener(nullptr);
    state_.diagnostics.setApiErrorHook(nullptr);
}

// Window creation, in its order: settings, menu bar, NMEA list, Move view and zoom reset,
// serial port, title, POIs and route points shown, trace and route cleared, screen buffer.
void MainWindow::create() {
    DiagnosticText& log = state_.diagnostics;
    AddDebugLine(log, "WM_CREATE");
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.frame.portName = "COM1:";
        state_.frame.screen = ScreenSize{options_.screenWidth, options_.screenHeight};
        log.setCurrentOperation("LoadStartupSettings");
        LoadStartupSettings(store_, state_.settings);
        SetMapMemoryBudget(std::uint64_t{RegQueryKartenSpeicher(store_)} << 20);
    }

    menuBar_ = new MenuBar([this](int id) { command(id); }, [this](int n) { return gps_->comLabel(n); }, this);
    addToolBar(Qt::BottomToolBarArea, menuBar_);

    if (options_.remember && !options_.scaleGiven) {
        const std::uint32_t stored = RegQueryScale(store_);
        const QScreen* monitor = QGuiApplication::primaryScreen();
        options_.scale = stored >= 1 && stored <= 8 ? static_cast<int>(stored)
                         : monitor                  ? defaultScale(monitor->availableGeometry().size())
                                                    : options_.scale;
    }
    // The device screen fills the window above the menu bar and follows its size.
    stack_ = new QStackedWidget(this);
    frameView_ = new FrameView(options_.screenWidth, options_.screenHeight, options_.scale, stack_);
    frameView_->setFocusPolicy(Qt::NoFocus);
    frameView_->onTap = [this](int x, int y) { guarded([&] { windowInput_->tap(x, y); }); };
    frameView_->onDoubleTap = [this](int x, int y) { guarded([&] { windowInput_->doubleTap(x, y); }); };
    frameView_->onHold = [this](int x, int y) { guarded([&] { windowInput_->hold(x, y); }); };
    frameView_->onDrag = [this](int x, int y) { guarded([&] { windowInput_->drag(x, y); }); };
    frameView_->onLift = [this](int x, int y) { guarded([&] { windowInput_->lift(x, y); }); };
    frameView_->onWheel = [this](int steps) { guarded([&] { windowInput_->wheel(steps); }); };
    frameView_->onRepaint = [this] {
        if (!closing_) guarded([&] { display_->repaintScreen(); });
    };
    frameView_->onScreenResize = [this](int width, int height) { guarded([&] { resizeScreen(width, height); }); };
    nmeaView_ = new NmeaView(stack_);
    nmeaView_->setFocusPolicy(Qt::NoFocus);
    stack_->addWidget(frameView_);
    stack_->addWidget(nmeaView_);
    setCentralWidget(stack_);

    auto* quit = new QAction(this);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, [this] { command(cmd::Quit); });
    addAction(quit);

    display_->run(cmd::MoveView);
    command(cmd::ZoomReset);

    const std::uint32_t port = RegQueryComx(store_);
    const std::string namedPort = RegQueryPort(store_);
    command(port >= 1 && port <= 8 ? cmd::Com1 + static_cast<int>(port) - 1 : cmd::Com1);
    if (!namedPort.empty()) gps_->selectPort(namedPort);
    if (options_.port) {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        state_.frame.portName = *options_.port;
    }
    applyTitle(kTitle);
    command(cmd::ShowPois);
    command(cmd::ShowRoutePoints);
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        ClearRoute(state_.route);
        RestartTripDistance(state_.gps);
        // The screen buffer takes its size when a 3D view or a screen copy first needs it.
    }
    refreshMenuStates();
    placementTimer_.setSingleShot(true);
    placementTimer_.setInterval(kPlacementSettleMs);
    connect(&placementTimer_, &QTimer::timeout, this, [this] { storeWindowPlacement(); });
    placeWindow();
}

// A stored window comes back where it was, kept on a monitor that is still there. A screen
// given on the command line is the whole window, the menu bar on it as on the device (the
// views draw on the part above the bar); without one the views get the handheld's whole
// 240 x 320 and the bar sits below.
void MainWindow::placeWindow() {
    if (options_.remember && !options_.screenGiven) {
        if (const auto stored = RegQueryWindow(store_)) {
            QList<QRect> monitors;
            for (const QScreen* monitor : QGuiApplication::screens()) monitors.push_back(monitor->availableGeometry());
            const QSize minimum = minimumSizeHint().expandedTo(frameView_->minimumSize());
            const QRect r = keepOnScreen({stored->x, stored->y, stored->width, stored->height}, monitors, minimum);
            resize(r.size());
            move(r.topLeft());
            return;
        }
    }
    const QSize bar(0, options_.screenGiven ? 0 : menuBar_->sizeHint().height());
    resize(frameView_->sizeHint() + bar);
}

void MainWindow::storeWindowPlacement() {
    if (!options_.remember) return;
    RegCreateScale(store_, static_cast<std::uint32_t>(options_.scale));
    if (options_.screenGiven) return;
    // A maximised or full-screen window is stored with the size it goes back to.
    const QRect inner = fullScreen() ? normalGeometry_ : isMaximized() ? normalGeometry() : geometry();
    const QPoint frame = fullScreen() ? normalFramePos_ : inner.topLeft() - (geometry().topLeft() - pos());
    RegCreateWindow(store_, {frame.x(), frame.y(), inner.width(), inner.height()});
}

// The place, size and scale are written when they change, once a move or resize has settled,
// so that they survive a killed program.
void MainWindow::moveEvent(QMoveEvent* event) {
    if (options_.remember && !closing_) placementTimer_.start();
    QMainWindow::moveEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    if (options_.remember && !closing_) placementTimer_.start();
    QMainWindow::resizeEvent(event);
}

void MainWindow::start() {
    activate(true);
    command(cmd::MoveView);
    if (options_.startupAnimation) replay_->startupRouteAnimation();
}

void MainWindow::activate(bool active) {
    DiagnosticText& log = state_.diagnostics;
    AddDebugLine(log, "WM_ACTIVATE");
    if (!active) {
        AddDebugLine(log, "WA_INACTIVE");
        state_.frame.active = false;
        return;
    }
    guarded([&] {
        log.setCurrentOperation("Exception nach WA_ACTIVE");
        AddDebugLine(log, "WA_ACTIVE");
        bool first = false;
        {
            StateLock lock(state_.stateMutex, uiHoldsState_);
            first = state_.frame.firstActivation;
        }
        if (first) {
            command(cmd::LoadMapDirectory);
            std::error_code ec;
            std::filesystem::create_directories(vexaDir(), ec);
            command(cmd::PoiDbReset);
            StateLock lock(state_.stateMutex, uiHoldsState_);
            for (int i = 0; i < state_.pois.count; ++i) {
                const PoiRecord& poi = state_.pois.records[static_cast<std::size_t>(i)];
                std::string name = poi.name;
                for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                if (name != "zlastpos") continue;
                state_.frame.viewCentre.gridX = poi.gridX;
                state_.frame.viewCentre.gridY = poi.gridY;
                state_.frame.lastShown = state_.frame.viewCentre;
                break;
            }
            state_.frame.firstActivation = false;
            AddNmeaListLine(log, buildStamp());
            char line[64];
            std::snprintf(line, sizeof line, "OS Version = <%d>", osMajorVersion());
            AddNmeaListLine(log, line);
        }
        AddDebugLine(log, "WA_ACTIVE break");
        state_.frame.active = true;
    });
}

void MainWindow::guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        reportException();
    }
}

// Any exception that escapes a handler: display on, beep, the current operation in a message
// box and in the NMEA list; the program carries on.
void MainWindow::reportException() {
    state_.frame.bAutoScreenOn = true;
    state_.frame.bManualScreenOff = false;
    frameView_->setBlank(false);
    ui_.beep();
    const std::string text = state_.diagnostics.currentOperation();
    ui_.messageBox(text, "", MessageButtons::Ok, MessageIcon::None);
    AddNmeaListLine(state_.diagnostics, text);
}

void MainWindow::command(int id) {
    if (uiHoldsState_) {
        // Reached through the nested event loop of a message box shown while the state is held.
        QTimer::singleShot(20, this, [this, id] { command(id); });
        return;
    }
    guarded([&] { dispatch(id); });
    if (!closing_) refreshMenuStates();
}

// Quit and Exit close the window; every other command goes to the controller that handles it.
void MainWindow::dispatch(int id) {
    char operation[64];
    std::snprintf(operation, sizeof operation, "switch (message) %x %x %x", 0x111u,
                  static_cast<unsigned>(id), 0u);
    state_.diagnostics.setCurrentOperation(operation);
    if (observer_) observer_(id);
    if (id == cmd::Quit) activate(false);
    if (id == cmd::Exit) shutDown();
    if (id == cmd::Quit || id == cmd::Exit) {
        close();
        return;
    }
    for (Controller* controller : controllers_) {
        if (!controller->handles(id)) continue;
        controller->run(id);
        return;
    }
}

void MainWindow::refreshMenuStates() {
    StateLock lock(state_.stateMutex, uiHoldsState_);
    menuBar_->refreshStates(state_.frame);
}

int MainWindow::runDialog(QDialog& dialog) {
    fitDialogWidth(dialog);
    if (dialogRunner_) return dialogRunner_(dialog);
    return dialog.exec();
}

int MainWindow::popupMenu(QMenu& menu, QPoint at) {
    if (menuRunner_) return menuRunner_(menu);
    const QAction* action = menu.exec(at);
    return action ? action->data().toInt() : 0;
}

void MainWindow::showNmeaPage(bool nmea) {
    if (nmea) stack_->setCurrentWidget(nmeaView_);
    else stack_->setCurrentWidget(frameView_);
}

void MainWindow::raiseFromSecondInstance(const std::optional<std::filesystem::path>& replay) {
    ++raiseCount_;
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
    if (replay) EmulateStartFile(session_, *replay);
}

QWidget& MainWindow::screen() { return *stack_; }

void MainWindow::applyTitle(const std::string& title) { setWindowTitle(QString::fromStdString(title)); }

void MainWindow::applyStatusText(const std::string& text) {
    frameView_->setStatusLine(QString::fromStdString(text));
}

void MainWindow::presentFrame(QImage visible) {
    if (!frames_.put(std::move(visible))) return;  // the hand-off already posted shows it
    postToUi(this, [this] { showPendingFrame(); });
}

void MainWindow::showPendingFrame() {
    std::optional<QImage> image = frames_.take();
    if (image && state_.frame.displayMode.load() != DisplayMode::Nmea) {
        // A new frame covers the status line written over the last one.
        applyStatusText("");
        frames_.giveBack(frameView_->showImage(std::move(*image)));
        if (maps_->firstStartHint() && state_.frame.displayMode.load() != DisplayMode::Gps)
            frameView_->setNotice(QString::fromUtf8(kFirstStartHint));
    }
    drawLeftForLater();
}

void MainWindow::showNewestFrame() {
    while (frames_.hasPending()) showPendingFrame();
    frames_.spare(QSize(), false);
}

// What a worker asked to draw while its last frame waited, drawn here under the state mutex.
void MainWindow::drawLeftForLater() {
    if (closing_ || !frames_.hasDrawingLeft()) return;
    if (uiHoldsState_) {  // a nested event loop holds the state
        QTimer::singleShot(20, this, [this] { drawLeftForLater(); });
        return;
    }
    guarded([&] {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        if (const std::function<void()> draw = frames_.drawingLeft()) draw();
    });
}

// The worker only parses and records; its frames are drawn here, from the event loop, so a
// replay or a fast receiver never waits for a frame per sentence and the reader's caches
// stay its own. Fixes that come faster than the screen refreshes are drawn once, the newest.
void MainWindow::drawWorkerViews() {
    if (closing_) return;
    const QScreen* monitor = QWidget::screen();
    const qreal hz = monitor && monitor->refreshRate() > 1.0 ? monitor->refreshRate() : 60.0;
    const qint64 remaining =
        lastWorkerDrawing_.isValid() ? static_cast<qint64>(1000.0 / hz) - lastWorkerDrawing_.elapsed() : 0;
    if (uiHoldsState_ || remaining > 0) {  // a nested event loop holds the state, or too soon
        QTimer::singleShot(uiHoldsState_ ? 20 : static_cast<int>(remaining), this, [this] { drawWorkerViews(); });
        return;
    }
    lastWorkerDrawing_.start();
    guarded([&] {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        workerDrawing_.drawPending();
    });
}

void MainWindow::presentMoveText(std::string text) {
    postToUi(this, [this, t = std::move(text)] { applyStatusText(t); });
}

// Only a shown NMEA list is refreshed, so that the received lines do not wake the window in
// the other views (the list shows the whole text when it is switched to).
void MainWindow::refreshNmea() {
    if (state_.frame.displayMode.load() != DisplayMode::Nmea || nmeaRefreshPending_.exchange(true)) return;
    postToUi(this, [this] {
        nmeaRefreshPending_ = false;
        if (state_.frame.displayMode.load() == DisplayMode::Nmea)
            nmeaView_->showText(state_.diagnostics.text());
    });
}

// Where the desktop cannot switch the screen, the window blanks itself until woken.
void MainWindow::displayPower(bool off) {
    const bool switched = power_->DisplayOnOff(off);
    postToUi(this, [this, off, switched] { frameView_->setBlank(off && !switched); });
}

// Full screen covers the window's whole monitor; leaving it puts the window back where it
// was, at its size. A bare X server without a window manager ignores the full-screen request;
// the window then takes the monitor's size itself.
void MainWindow::fullscreenOn() {
    if (!fullScreen()) {
        normalMaximized_ = isMaximized();
        normalGeometry_ = normalMaximized_ ? normalGeometry() : geometry();
        normalFramePos_ = normalGeometry_.topLeft() - (geometry().topLeft() - pos());
    }
    views_.setFullScreen(true);
    menuBar_->hide();
    showFullScreen();
    setGeometry(QWidget::screen()->geometry());
}

// The frames are drawn under the state mutex, so the size never changes while one is drawn;
// the next frame fits its buffers to the new size.
void MainWindow::resizeScreen(int width, int height) {
    if (uiHoldsState_) {  // reached through a nested event loop while the state is held
        QTimer::singleShot(20, this, [this, width, height] { resizeScreen(width, height); });
        return;
    }
    const ScreenSize screen{std::max(width, kMinScreenSide), std::max(height, kMinScreenSide)};
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        if (state_.frame.screen == screen) return;
        state_.frame.screen = screen;
    }
    if (!closing_) context_.refreshWindow();
}

void MainWindow::fullscreenOff() {
    if (!fullScreen()) return;
    views_.setFullScreen(false);
    menuBar_->show();
    showNormal();
    setGeometry(normalGeometry_);
    if (normalMaximized_) showMaximized();
}

// The keys go to the window's input; what it does not take goes to Qt.
void MainWindow::keyPressEvent(QKeyEvent* event) {
    bool taken = true;
    guarded([&] { taken = windowInput_->keyPress(*event); });
    if (!taken) QMainWindow::keyPressEvent(event);
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
    bool taken = true;
    guarded([&] { taken = windowInput_->keyRelease(*event); });
    if (!taken) QMainWindow::keyReleaseEvent(event);
}

void MainWindow::changeEvent(QEvent* event) {
    // The moving map keeps drawing while the window can be seen, with or without the keyboard
    // focus; a minimised or hidden window stops the workers' drawing.
    const bool visibility = event->type() == QEvent::ActivationChange || event->type() == QEvent::WindowStateChange;
    if (visibility && !closing_) activate(isActiveWindow() || (isVisible() && !isMinimized()));
    // The button may be let go elsewhere: a press that loses the focus ends as if lifted.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && !closing_) {
        frameView_->cancelHold();
        guarded([&] { windowInput_->endDrag(); });
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    shutDown();
    event->accept();
}

void MainWindow::shutDown() {
    if (closing_) return;
    closing_ = true;
    storeWindowPlacement();
    ui_.abandonWaits();
    garmin_.stop();
    replay_->replayThread().stop(std::chrono::seconds(5));
    power_->resetBacklight();
    display_->removePrivateFont();
    StopGpsThreads(session_);
}

}  // namespace vexa
