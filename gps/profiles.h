// The speed and altitude profiles: rings of whole values, one entry per fix, with the largest
// value seen (rounded half up).
#pragma once

#include <span>

namespace vexa {

void pushProfile(std::span<int> ring, int& next, int& maximum, float value);

}  // namespace vexa
