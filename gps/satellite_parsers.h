// The applying steps of the satellite sentences: GSA (satellites used for the fix, one
// sentence per system) and GSV (satellites in view, one cycle of up to nine messages per
// talker), from any talker, read by satellite_sentences.h and merged into the satellite picture.
// The caller holds the state mutex.
#pragma once

#include <string_view>

namespace vexa {

struct GpsInput;
struct SatelliteState;

void parseGSA(GpsInput& in, std::string_view sentence);
// Returns 1 when this sentence completed a cycle, else 0.
int parseGSV(GpsInput& in, std::string_view sentence, bool refreshGps);
// Every GSV cycle in progress is abandoned (a damaged line may have held one of its messages).
void clearGsvCycles(SatelliteState& sats);

}  // namespace vexa
