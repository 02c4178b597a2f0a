// Sixteen bytes compared at once, for the scans that every received line passes through.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>

namespace vexa {

// Bit k set: byte k of the sixteen at `at` is `c`. Sixteen bytes from `at` must be readable.
inline unsigned byteMask16(const char* at, char c) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, _mm_set1_epi8(c))));
}

}  // namespace vexa
#endif
