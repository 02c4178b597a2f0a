#include <cstdio>

#include "frame/frame_state.h"
#include "gps/gps_input.h"
#include "gps/position_fix.h"
#include "platform/ui.h"

namespace vexa {

void setGpsOnTitle(GpsInput& in) {
    char title[64];
    std::snprintf(title, sizeof title, "GPS an %s", in.frame.portName.c_str());
    in.ui.setWindowTitle(title);
}

}  // namespace vexa
