#include <algorithm>

#include "frame/frame_state.h"
#include "gps/fix_texts.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/position_fix.h"
#include "gps/time_setting.h"
#include "platform/clock.h"
#include "platform/ui.h"

namespace vexa {

void badReception(GpsInput& in, std::string_view sentence, std::string_view tag, bool drawViews,
                  bool timeTexts) {
    GpsState& gps = in.gps;
    in.ui.setWindowTitle(kBadReceptionTitle);
    gps.badReceptionTitled = true;
    const DisplayMode mode = in.frame.displayMode.load();
    if (mode == DisplayMode::Move && drawViews && !gps.noFixShown) {
        in.views.show_pos({in.last.grid, gps.course, gps.speed, gps.altitude, gps.tripDistance,
                           gps.elapsedText.view()});
        in.views.DrawMoveText(kBadReceptionText);
        gps.noFixShown = true;
    }
    if (gps.fixValid) gps.traceFirstFix = true;
    gps.fixValid = false;
    gps.lastActivityTick.store(in.clock.tickCount());
    if (mode != DisplayMode::Gps) return;
    if (timeTexts && drawViews) {
        setTodayText(in, gps.fixDateText);
        // No time at all when the field after the tag is empty.
        if (sentence.size() > tag.size() + 1 && sentence[tag.size() + 1] == ',') {
            gps.fixTimeText.clear();
        } else {
            char text[8];
            const std::size_t n =
                pairedText(sentence.substr(std::min(sentence.size(), tag.size() + 1), 6), ':', text);
            AdjustTime(in.clock, std::span<char>(text, n));
            gps.fixTimeText.assignLatin1(std::string_view(text, n));
        }
    }
    refreshGpsView(in, true);
}

}  // namespace vexa
