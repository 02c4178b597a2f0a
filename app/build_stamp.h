// When this program was built, as the NMEA list shows it at start and on key "v".
#pragma once

#include <string>

namespace vexa {

// "Build Dec  7 2026 03:04:05": the compiler's date and time of this build.
std::string buildStamp();

}  // namespace vexa
