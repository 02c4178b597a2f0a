#include "app/controllers/window_context.h"

#include "app/app_state.h"
#include "app/command_ids.h"
#include "platform/paths.h"
#include "platform/serial_port.h"

namespace vexa {

DbContext WindowContext::dbContext() { return DbContext{db, state.diagnostics, ui}; }

DisplayMode WindowContext::currentView() const { return state.frame.displayMode.load(); }

bool WindowContext::calibrating() {
    StateLock lock(state.stateMutex, uiHoldsState);
    return state.frame.calibrating;
}

bool WindowContext::gpsRunning() const { return state.port.isOpen(); }

bool WindowContext::receiving() const { return gpsRunning() || state.frame.replaying.load(); }

bool WindowContext::idle() const {
    const FrameState& frame = state.frame;
    return !gpsRunning() && !(frame.replaying.load() && !frame.replayPaused.load());
}

void WindowContext::refreshWindow() {
    switch (currentView()) {
    case DisplayMode::Gps: window.command(cmd::GpsView); break;
    case DisplayMode::Karte: window.command(cmd::KarteView); break;
    case DisplayMode::Move: window.command(cmd::MoveView); break;
    case DisplayMode::Nmea: window.command(cmd::NmeaView); break;
    }
}

std::optional<std::filesystem::path> WindowContext::chooseVolumeFile(const char* title, const char* filter) {
    const auto file = ui.openFileName({title, myDocumentsDir(), "", filter});
    if (!file) refreshWindow();
    return file;
}

}  // namespace vexa
