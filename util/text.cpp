#include "util/text.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexa {

namespace {

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length in bytes of the sequence that starts with `lead`, as far as the text allows.
std::size_t sequenceLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t want = 1;
    if (lead >= 0xF0 && lead < 0xF8) want = 4;
    else if (lead >= 0xE0) want = (lead < 0xF0) ? 3 : 1;
    else if (lead >= 0xC0) want = 2;
    std::size_t len = 1;
    while (len < want && pos + len < text.size() &&
           isContinuation(static_cast<unsigned char>(text[pos + len])))
        ++len;
    return len;
}

// Length of the well-formed sequence at `pos`, or 0 when the bytes there are not one.
std::size_t wellFormedLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t want = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead < 0xE0) want = 2;
    else if (lead >= 0xE0 && lead < 0xF0) want = 3;
    else if (lead >= 0xF0 && lead < 0xF5) want = 4;
    else return 0;
    if (pos + want > text.size()) return 0;
    for (std::size_t i = 1; i < want; ++i)
        if (!isContinuation(static_cast<unsigned char>(text[pos + i]))) return 0;
    return want;
}

}  // namespace

[[gnu::hot]] bool isAscii(std::string_view text) {
    // Received lines pass here on every sentence: sixteen characters at once, the last few as
    // the last sixteen again (a line of at least sixteen), else eight or one at a time.
    const char* p = text.data();
    const char* const end = p + text.size();
#if defined(__SSE2__)
    if (text.size() >= 16) {
        __m128i any = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16));
        for (; end - p > 16; p += 16)
            any = _mm_or_si128(any, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
        return _mm_movemask_epi8(any) == 0;
    }
#endif
    std::uint64_t any = 0;
    for (; end - p >= 8; p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        any |= word;
    }
    for (; p < end; ++p) any |= static_cast<unsigned char>(*p);
    return (any & 0x8080808080808080ULL) == 0;
}

bool isValidUtf8(std::string_view text) {
    if (isAscii(text)) return true;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t len = wellFormedLength(text, pos);
        if (len == 0) return false;
        pos += len;
    }
    return true;
}

std::string validUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t len = wellFormedLength(text, pos);
        if (len == 0) {
            out.push_back('?');
            ++pos;
        } else {
            out.append(text.substr(pos, len));
            pos += len;
        }
    }
    return out;
}

std::size_t utf8Length(std::string_view text) {
    if (isAscii(text)) return text.size();
    std::size_t chars = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += sequenceLength(text, pos)) ++chars;
    return chars;
}

std::string_view utf8Prefix(std::string_view text, std::size_t chars) {
    if (isAscii(text.substr(0, chars))) return text.substr(0, chars);
    std::size_t pos = 0;
    for (std::size_t n = 0; n < chars && pos < text.size(); ++n) pos += sequenceLength(text, pos);
    return text.substr(0, pos);
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string utf8ToLatin1(std::string_view text, char replacement) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t len = sequenceLength(text, pos);
        const auto lead = static_cast<unsigned char>(text[pos]);
        if (len == 1 && lead < 0x80) {
            out.push_back(text[pos]);
        } else if (len == 2 && lead >= 0xC0) {
            const unsigned cp = ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(text[pos + 1]) & 0x3Fu);
            out.push_back(cp <= 0xFF ? static_cast<char>(cp) : replacement);
        } else {
            out.push_back(replacement);
        }
        pos += len;
    }
    return out;
}

std::string strprintf(const char* format, ...) {
    // Most texts are short: one formatting pass into a stack buffer, a second only for long ones.
    char small[256];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string out;
    if (needed > 0 && static_cast<std::size_t>(needed) < sizeof small) {
        out.assign(small, static_cast<std::size_t>(needed));
    } else if (needed > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, copy);
        out.assign(buffer.data(), static_cast<std::size_t>(needed));
    }
    va_end(copy);
    return out;
}

}  // namespace vexa
