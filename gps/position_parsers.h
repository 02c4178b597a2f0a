// The applying steps of the position sentences RMC and GGA: the sentence is read
// (position_sentences.h) and its fix put into the GPS state, the last position, the trace
// and the views. Both return the distance in metres from the previous fix of their type,
// 0 when there is no fix or no previous fix. The caller holds the state mutex.
#pragma once

#include <string_view>

namespace vexa {

struct GpsInput;

double parseRMC(GpsInput& in, std::string_view sentence, bool refreshMap, bool refreshGps);
double parseGGA(GpsInput& in, std::string_view sentence, bool refreshMap, bool refreshGps);

}  // namespace vexa
