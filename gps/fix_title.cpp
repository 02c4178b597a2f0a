#include <algorithm>
#include <cstring>
#include <string_view>

#include "frame/frame_state.h"
#include "gps/gps_input.h"
#include "gps/position_fix.h"
#include "platform/ui.h"

namespace vexa {

[[gnu::hot]] void setGpsOnTitle(GpsInput& in) {
    // "GPS an <port>", cut to 63 characters; put together by hand, as this runs for every fix.
    constexpr std::string_view kPrefix = "GPS an ";
    char title[64];
    const std::string_view port(in.frame.portName.c_str());  // up to its first NUL, as shown
    const std::size_t n = std::min(port.size(), sizeof title - 1 - kPrefix.size());
    std::memcpy(title, kPrefix.data(), kPrefix.size());
    std::memcpy(title + kPrefix.size(), port.data(), n);
    in.ui.setWindowTitle(std::string_view(title, kPrefix.size() + n));
}

}  // namespace vexa
