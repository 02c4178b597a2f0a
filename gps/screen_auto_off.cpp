#include "frame/frame_state.h"
#include "frame/settings.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/position_fix.h"
#include "platform/clock.h"

namespace vexa {

namespace {
constexpr std::uint32_t kScreenOffAfterMs = 60000;
}

void applyScreenAutoOff(GpsInput& in) {
    const FrameState& f = in.frame;
    if (!in.settings.iPowerSave || !f.active.load() || f.dialogActive.load() ||
        f.bManualScreenOff.load() || !f.bAutoScreenOn.load() || f.calibrating ||
        f.displayMode.load() == DisplayMode::Karte || in.views.onAcPower())
        return;
    const std::uint32_t idle = in.clock.tickCount() - in.gps.lastActivityTick.load();
    if (idle > kScreenOffAfterMs) {
        in.views.DisplayOnOff(true);
        in.frame.bAutoScreenOn.store(false);
    }
}

}  // namespace vexa
