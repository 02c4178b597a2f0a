#include "gps/fix_texts.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/position_fix.h"
#include "gps/position_parsers.h"
#include "gps/position_sentences.h"

namespace vexa {

[[gnu::hot]] double parseRMC(GpsInput& in, std::string_view sentence, bool refreshMap, bool refreshGps) {
    GpsState& gps = in.gps;
    const RmcSentence s = readRmc(sentence);
    // A warning or a sentence without a position: the receiver has no fix.
    if (!s.fix) {
        badReception(in, sentence, s.tag, true, true);
        gps.rmcPrevValid = false;
        return 0.0;
    }
    if (!beginFix(in, s, s.date)) return 0.0;
    setDateText(gps.fixDateText, s.date);

    const Position pos = fixPosition(in, s);
    const std::optional<double> d = stepFromPrevious(gps.rmcPrevLat, gps.rmcPrevLon, gps.rmcPrevValid, pos);
    applyFix(in, s, {pos, d, d.value_or(0.0), s.speed, s.course, 1, gps.rmcDistanceSinceMark}, refreshMap);
    refreshGpsView(in, refreshGps);
    gps.rmcPrevValid = true;
    return d.value_or(0.0);
}

}  // namespace vexa
