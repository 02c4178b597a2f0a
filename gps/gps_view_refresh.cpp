#include <string>

#include "frame/frame_state.h"
#include "frame/settings.h"
#include "geo/sun_times.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/position_fix.h"
#include "util/diagnostic_text.h"

namespace vexa {

[[gnu::hot]] void refreshGpsView(GpsInput& in, bool refreshFlag) {
    if (in.frame.displayMode.load() != DisplayMode::Gps || !refreshFlag) return;
    const std::string sun = CalcSunrise(in.last.latitude, in.last.longitude, in.clock,
                                        in.settings.TimeZoneSetting, in.diagnostics);
    in.views.setSunTimes(sun);
    in.views.ShowGps();
}

}  // namespace vexa
