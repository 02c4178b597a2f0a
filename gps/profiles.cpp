#include "gps/profiles.h"

#include "util/trunc_to_int.h"

namespace vexa {

[[gnu::hot]] void pushProfile(std::span<int> ring, int& next, int& maximum, float value) {
    if (next < 0 || next >= static_cast<int>(ring.size())) next = 0;
    ring[static_cast<std::size_t>(next)] = truncToInt(value);
    if (value > static_cast<float>(maximum)) maximum = truncToInt(value + 0.5);
    next = next + 1 >= static_cast<int>(ring.size()) ? 0 : next + 1;
}

}  // namespace vexa
