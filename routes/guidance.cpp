#include "routes/guidance.h"

#include "util/text.h"

namespace vexa {

std::string targetDistanceText(double metres) {
    if (metres >= 1000000.0) return strprintf("Ziel: %1.0f km", metres * 0.001);
    if (metres >= 100000.0) return strprintf("Ziel: %1.1f km", metres * 0.001);
    if (metres >= 10000.0) return strprintf("Ziel: %1.2f km", metres * 0.001);
    return strprintf("Ziel: %1.3f km", metres * 0.001);
}

}  // namespace vexa
