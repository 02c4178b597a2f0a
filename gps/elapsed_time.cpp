#include "gps/gps_state.h"
#include "gps/position_fix.h"

namespace vexa {

[[gnu::hot]] void updateElapsed(GpsState& gps, int second) {
    if (gps.tripStartSecond == 0) gps.tripStartSecond = second;
    int elapsed = second - gps.tripStartSecond;
    if (elapsed < 0) elapsed += 86400;
    gps.elapsedSeconds = elapsed;
    const int parts[3] = {elapsed / 3600 % 100, elapsed / 60 % 60, elapsed % 60};
    char text[8];
    for (int i = 0; i < 3; ++i) {
        text[i * 3] = static_cast<char>('0' + parts[i] / 10);
        text[i * 3 + 1] = static_cast<char>('0' + parts[i] % 10);
        if (i < 2) text[i * 3 + 2] = ':';
    }
    gps.elapsedText.assign(std::string_view(text, 8));
}

}  // namespace vexa
