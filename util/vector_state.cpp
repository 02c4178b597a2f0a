#include "util/vector_state.h"

namespace vexa {

void clearUpperVectorState() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    // vzeroupper exists only with AVX; it leaves the lower 128 bits, all this code uses, alone.
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) __asm__ __volatile__("vzeroupper");
#endif
}

}  // namespace vexa
