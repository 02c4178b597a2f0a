// The character shortcuts and the hardware keys.
#include <cstdio>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/controllers/display_controller.h"
#include "app/controllers/map_controller.h"
#include "app/controllers/replay_controller.h"
#include "app/main_window.h"
#include "app/state_lock.h"
#include "display/display_power.h"
#include "routes/route_table.h"

namespace vexa {

void MainWindow::hardwareKey(int key, bool pressed) {
    guarded([&] {
        if (pressed) {
            keys_->press(key);
        } else {
            AddDebugLine(state_.diagnostics, "VK_APP" + std::to_string(key) + " Up");
            keys_->release(key);
        }
        if (state_.diagnostics.debugMode) {
            char line[80];
            std::snprintf(line, sizeof line, "bAutoScreenOn = <%s> bManualScreenOff = <%s>",
                          state_.frame.bAutoScreenOn ? "TRUE" : "FALSE",
                          state_.frame.bManualScreenOff ? "TRUE" : "FALSE");
            AddNmeaListLine(state_.diagnostics, line);
        }
    });
}

void MainWindow::characterKey(char key) {
    guarded([&] {
        const DisplayMode view = currentView();
        const bool mapView = view == DisplayMode::Karte || view == DisplayMode::Move;
        switch (key) {
        case '+': command(cmd::ZoomIn); break;
        case '-': command(cmd::ZoomOut); break;
        case 'a':  // re-apply the display's off state
            if (!state_.frame.bAutoScreenOn || state_.frame.bManualScreenOff) displayPower(true);
            break;
        case 'b':
            displayPower(true);
            state_.frame.bAutoScreenOn = false;
            break;
        case 'e': power_->resetBacklight(); break;
        case 'f':
            nextFont(display_->fonts());
            display_->RefreshFont();
            context_.refreshWindow();
            break;
        case 'c':
            command(kCmdTraceClear);
            {
                StateLock lock(state_.stateMutex, uiHoldsState_);
                state_.frame.moveDisplayMode = 0;
            }
            display_->switchMoveDisplay();
            command(cmd::MoveView);
            break;
        case 'd':
            if (view != DisplayMode::Nmea) break;
            if (RegDeleteAll(store_) && context_.idle()) context_.refreshWindow();
            display_->removePrivateFont();
            break;
        case 'g': maps_->rescanMapDirectory(); break;
        case 'h': {
            StateLock lock(state_.stateMutex, uiHoldsState_);
            state_.settings.iHKorrektur = state_.settings.iHKorrektur == 1 ? 0 : 1;
            AddNmeaListLine(state_.diagnostics, state_.settings.iHKorrektur == 1 ? "Höhen Korrektur ist aktiv"
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
                StateLock lock(state_.stateMutex, uiHoldsState_);
                FrameState& frame = state_.frame;
                // One frame further: the copies tile the area as map files.
                const double step = frame.screen.frameSide() * 1000.0 * frame.zoomFactor / frame.mapScale;
                if (key == 'l') frame.viewCentre.gridX -= step;
                if (key == 'r') frame.viewCentre.gridX += step;
                if (key == 'o') frame.viewCentre.gridY += step;
                if (key == 'u') frame.viewCentre.gridY -= step;
                frame.lastShown = frame.viewCentre;
            }
            display_->saveScreenCopy(true);
            break;
        }
        case 's': display_->saveScreenCopy(true); break;
        case 'k': {
            StateLock lock(state_.stateMutex, uiHoldsState_);
            const RouteClimb climb = routeClimb(state_.route);
            char line[96];
            std::snprintf(line, sizeof line, "Höhendifferenz: Auf = %d m Ab = %d m", climb.up, climb.down);
            AddNmeaListLine(state_.diagnostics, line);
            break;
        }
        case 'v':
            // No font of its own is chosen: the index alone, then the build time stamp.
            AddNmeaListLine(state_.diagnostics, "Font <0>");
            AddNmeaListLine(state_.diagnostics, "Build " __DATE__ " " __TIME__);
            context_.refreshWindow();
            break;
        case 'm': command(cmd::PlaceDirectory); break;
        case 'n': if (view == DisplayMode::Karte) maps_->showNextMapCorner(); break;
        case 'p': command(cmd::ListPois); break;
        case 'q':
            ToggleDebugMode(state_.diagnostics, view == DisplayMode::Nmea);
            if (view == DisplayMode::Nmea) command(cmd::NmeaView);
            break;
        case 'w': command(cmd::AddPoi); break;
        case '0': case '1': case '2': case '3': case '4':
        case '5': case '6': case '7': case '8': case '9': replay_->digitKey(key - '0'); break;
        case 'y': command(kCmdTraceToRoute); break;
        case 'z': command(cmd::PoiDbChoice); break;
        default:
            break;  // other characters do nothing
        }
    });
}

}  // namespace vexa
