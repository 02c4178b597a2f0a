// What the window's controllers share: the state, the services and the few window actions
// that several topics use. A controller reaches the window only through this context, never
// through the whole MainWindow.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include <QPoint>

#include "app/qt_ui.h"
#include "app/state_lock.h"
#include "exchange/export_format.h"
#include "frame/frame_state.h"
#include "routes/db_primitives.h"
#include "routes/route_db.h"

class QDialog;
class QMenu;

namespace vexa {

struct AppState;
struct WindowOptions;  // app/window_options.h
class FrameView;
class GpsSession;
class MenuBar;
class NmeaView;
class QtGpsViews;
class SettingsStore;

// The window's side of the controllers: widgets, dialogs, menus and the command dispatch.
class WindowShell : public UiWindow {
public:
    virtual void command(int id) = 0;
    // Runs a command's modal dialog, or a pop-up menu (the chosen command or 0); tests answer.
    virtual int runDialog(QDialog& dialog) = 0;
    virtual int popupMenu(QMenu& menu, QPoint at) = 0;
    virtual bool fullScreen() const = 0;
    virtual void fullscreenOn() = 0;
    virtual void fullscreenOff() = 0;
    virtual void refreshMenuStates() = 0;
    // The device screen shows the NMEA list, or else the frame view.
    virtual void showNmeaPage(bool nmea) = 0;
    virtual MenuBar& menuBar() = 0;
    virtual FrameView& frameView() = 0;
    virtual NmeaView& nmeaView() = 0;

protected:
    ~WindowShell() override = default;
};

struct WindowContext {
    AppState& state;
    bool& uiHoldsState;  // the UI thread holds the state mutex (StateLock)
    QtUi& ui;
    SettingsStore& store;
    GpsSession& session;
    QtGpsViews& views;
    DbStore& db;
    const WindowOptions& options;
    const std::array<int, 4>& hardwareKeyCodes;
    WindowShell& window;

    DbContext dbContext();
    DisplayMode currentView() const;
    bool calibrating();
    bool gpsRunning() const;
    // GPS reception or a replay runs.
    bool receiving() const;
    // Nothing arrives: no port is open and no replay runs unpaused.
    bool idle() const;
    // The current view drawn anew through its command.
    void refreshWindow();
    // The file dialog for another POI or route database volume; cancelled, it redraws.
    std::optional<std::filesystem::path> chooseVolumeFile(const char* title, const char* filter);
};

// One topic's commands: the identifiers it handles and how it runs them.
class Controller {
public:
    virtual ~Controller() = default;
    virtual bool handles(int id) const = 0;
    virtual void run(int id) = 0;
};

// An export's screen text goes to the status line, its progress to the list dialog's bar
// (the menu's export has none).
class StatusExportProgress : public ExportProgress {
public:
    StatusExportProgress(WindowShell& window, const Progress* bar) : window_(window), bar_(bar) {}
    void setPercent(int percent) override {
        if (bar_ && *bar_) (*bar_)(percent);
    }
    void showText(std::string_view text) override { window_.applyStatusText(std::string(text)); }

private:
    WindowShell& window_;
    const Progress* bar_;
};

}  // namespace vexa
