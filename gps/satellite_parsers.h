// The satellite sentences $GPGSA (satellites used for the fix) and $GPGSV (satellites in
// view, in cycles of up to three messages). The caller holds the state mutex.
#pragma once

#include <string_view>

namespace vexa {

struct GpsInput;

void parseGSA(GpsInput& in, std::string_view sentence);
// Returns 1 when this sentence completed a cycle, else 0.
int parseGSV(GpsInput& in, std::string_view sentence, bool refreshGps);

}  // namespace vexa
