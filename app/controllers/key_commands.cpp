// The keyboard in the window: the hardware keys, the wake-up key, the cursor keys' way to
// cursorKey() and the character shortcuts; what the hardware keys ask of the controllers.
#include <QKeyEvent>

#include <cstdio>

#include "app/app_state.h"
#include "app/build_stamp.h"
#include "app/command_ids.h"
#include "app/controllers/display_controller.h"
#include "app/controllers/gps_controller.h"
#include "app/controllers/map_controller.h"
#include "app/controllers/replay_controller.h"
#include "app/controllers/window_input.h"
#include "app/frame_view.h"
#include "app/qt_gps_views.h"
#include "app/state_lock.h"
#include "app/window_options.h"
#include "display/display_power.h"
#include "frame/settings_store.h"
#include "platform/clock.h"
#include "routes/route_table.h"

namespace vexa {

WindowInput::WindowInput(WindowContext& context, DisplayController& display, MapController& maps,
                         GpsController& gps, ReplayController& replay, DisplayPower& power, ViewSink& sink)
    : c_(context), display_(display), maps_(maps), gps_(gps), replay_(replay), power_(power), sink_(sink),
      keys_(context.state.frame, context.state.gps.lastActivityTick, context.state.clock, *this,
            context.options.oldKeys) {}

// A hardware key acts on press and release (an auto-repeat is no new press); while the window
// is blanked any other key only wakes the screen.
bool WindowInput::keyPress(const QKeyEvent& event) {
    for (int k = 0; k < 4; ++k) {
        if (event.key() != c_.hardwareKeyCodes[static_cast<std::size_t>(k)]) continue;
        if (!event.isAutoRepeat()) hardwareKey(k + 1, true);
        return true;
    }
    if (c_.window.frameView().blank()) {
        c_.state.gps.lastActivityTick = c_.state.clock.tickCount();
        c_.state.frame.bAutoScreenOn = true;
        c_.state.frame.bManualScreenOff = false;
        displayPower(false);
        return true;
    }
    switch (event.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter: cursorKey(event.key()); return true;
    case Qt::Key_Escape:
        if (!c_.window.fullScreen()) break;
        c_.window.fullscreenOff();
        return true;
    default: break;
    }
    const QString text = event.text();
    if (text.size() != 1 || text[0].unicode() >= 128 || !text[0].isPrint()) return false;
    characterKey(static_cast<char>(text[0].unicode()));
    return true;
}

// A cursor key let go: the next one steps slowly again.
bool WindowInput::keyRelease(const QKeyEvent& event) {
    for (int k = 0; k < 4; ++k) {
        if (event.key() != c_.hardwareKeyCodes[static_cast<std::size_t>(k)]) continue;
        if (!event.isAutoRepeat()) hardwareKey(k + 1, false);
        return true;
    }
    if (!event.isAutoRepeat()) stylus_.keyStep = 10;
    return false;
}

void WindowInput::hardwareKey(int key, bool pressed) {
    if (pressed) {
        keys_.press(key);
    } else {
        AddDebugLine(c_.state.diagnostics, "VK_APP" + std::to_string(key) + " Up");
        keys_.release(key);
    }
    if (c_.state.diagnostics.debugMode) {
        char line[80];
        std::snprintf(line, sizeof line, "bAutoScreenOn = <%s> bManualScreenOff = <%s>",
                      c_.state.frame.bAutoScreenOn ? "TRUE" : "FALSE",
                      c_.state.frame.bManualScreenOff ? "TRUE" : "FALSE");
        AddNmeaListLine(c_.state.diagnostics, line);
    }
}

void WindowInput::characterKey(char key) {
    const DisplayMode view = currentView();
    const bool mapView = view == DisplayMode::Karte || view == DisplayMode::Move;
    switch (key) {
    case '+': c_.window.command(cmd::ZoomIn); break;
    case '-': c_.window.command(cmd::ZoomOut); break;
    case 'a':  // re-apply the display's off state
        if (!c_.state.frame.bAutoScreenOn || c_.state.frame.bManualScreenOff) displayPower(true);
        break;
    case 'b':
        displayPower(true);
        c_.state.frame.bAutoScreenOn = false;
        break;
    case 'e': power_.resetBacklight(); break;
    case 'f':
        nextFont(display_.fonts());
        display_.RefreshFont();
        c_.refreshWindow();
        break;
    case 'c':
        c_.window.command(kCmdTraceClear);
        {
            StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
            c_.state.frame.moveDisplayMode = 0;
        }
        display_.switchMoveDisplay();
        c_.window.command(cmd::MoveView);
        break;
    case 'd':
        if (view != DisplayMode::Nmea) break;
        if (RegDeleteAll(c_.store) && c_.idle()) c_.refreshWindow();
        display_.removePrivateFont();
        break;
    case 'g': maps_.rescanMapDirectory(); break;
    case 'h': {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        c_.state.settings.iHKorrektur = c_.state.settings.iHKorrektur == 1 ? 0 : 1;
        AddNmeaListLine(c_.state.diagnostics, c_.state.settings.iHKorrektur == 1 ? "Höhen Korrektur ist aktiv"
                                                                        : "Höhen Korrektur ist inaktiv");
        break;
    }
    case 'i': if (mapView) selectMapAtZoom(); break;
    case 'j': if (mapView) selectMapAtPosition(); break;
    case 'l':
    case 'r':
    case 'o':
    case 'u': {
        {
            StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
            FrameState& frame = c_.state.frame;
            // One frame further: the copies tile the area as map files.
            const double step = frame.screen.frameSide() * 1000.0 * frame.zoomFactor / frame.mapScale;
            if (key == 'l') frame.viewCentre.gridX -= step;
            if (key == 'r') frame.viewCentre.gridX += step;
            if (key == 'o') frame.viewCentre.gridY += step;
            if (key == 'u') frame.viewCentre.gridY -= step;
            frame.lastShown = frame.viewCentre;
        }
        display_.saveScreenCopy(true);
        break;
    }
    case 's': display_.saveScreenCopy(true); break;
    case 'k': {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        const RouteClimb climb = routeClimb(c_.state.route);
        char line[96];
        std::snprintf(line, sizeof line, "Höhendifferenz: Auf = %d m Ab = %d m", climb.up, climb.down);
        AddNmeaListLine(c_.state.diagnostics, line);
        break;
    }
    case 'v':
        // No font of its own is chosen: the index alone, then the build time stamp.
        AddNmeaListLine(c_.state.diagnostics, "Font <0>");
        AddNmeaListLine(c_.state.diagnostics, buildStamp());
        c_.refreshWindow();
        break;
    case 'm': c_.window.command(cmd::PlaceDirectory); break;
    case 'n': if (view == DisplayMode::Karte) maps_.showNextMapCorner(); break;
    case 'p': c_.window.command(cmd::ListPois); break;
    case 'q':
        ToggleDebugMode(c_.state.diagnostics, view == DisplayMode::Nmea);
        if (view == DisplayMode::Nmea) c_.window.command(cmd::NmeaView);
        break;
    case 'w': c_.window.command(cmd::AddPoi); break;
    case '0': case '1': case '2': case '3': case '4':
    case '5': case '6': case '7': case '8': case '9': replay_.digitKey(key - '0'); break;
    case 'y': c_.window.command(kCmdTraceToRoute); break;
    case 'z': c_.window.command(cmd::PoiDbChoice); break;
    default:
        break;  // other characters do nothing
    }
}

void WindowInput::switchWindow() {
    c_.window.command(currentView() == DisplayMode::Gps ? cmd::MoveStep : cmd::GpsView);
}
void WindowInput::stepMoveDisplay(int delta) { display_.stepMoveDisplay(delta); }
void WindowInput::clearTrace() { c_.window.command(kCmdTraceClear); }
void WindowInput::selectMapAtZoom() { maps_.selectMapAtZoom(); }
void WindowInput::selectMapAtPosition() { maps_.selectMapAtPosition(); }
bool WindowInput::swapMapDirectories() { return maps_.swapMapDirectories(); }
void WindowInput::openLogByKey() { gps_.openLogByKey(); }
void WindowInput::displayPower(bool off) { sink_.displayPower(off); }

}  // namespace vexa
