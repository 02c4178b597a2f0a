// A short text of fixed capacity that lives inside a record: no heap, trivially copyable.
//
// Capacity is counted in characters, as the handheld's wchar buffers were; the text is kept as
// UTF-8, so received Latin-1 bytes are widened on the way in and never cut in half.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace vexa {

template <std::size_t Chars>
class FixedText {
public:
    FixedText() = default;
    FixedText(std::string_view text) { assign(text); }  // NOLINT: texts read like strings

    std::string_view view() const { return {data_, size_}; }
    operator std::string_view() const { return view(); }  // NOLINT
    const char* c_str() const { return data_; }
    bool empty() const { return size_ == 0; }
    void clear() { size_ = 0, data_[0] = '\0'; }

    // A UTF-8 text, cut to the capacity at a character boundary.
    void assign(std::string_view text) {
        // A plain ASCII start (every number and received field) is one byte a character.
        const std::size_t head = std::min(text.size(), Chars);
        std::size_t bytes = 0;
        while (bytes < head && static_cast<unsigned char>(text[bytes]) < 0x80) ++bytes;
        std::size_t chars = bytes;
        while (bytes < text.size() && chars < Chars) {
            std::size_t len = 1;
            const auto lead = static_cast<unsigned char>(text[bytes]);
            if (lead >= 0xF0) len = 4;
            else if (lead >= 0xE0) len = 3;
            else if (lead >= 0xC0) len = 2;
            if (bytes + len > text.size() || bytes + len > kBytes) break;
            bytes += len;
            ++chars;
        }
        setBytes(text.data(), bytes);
    }

    // Received bytes: each byte is one Latin-1 character. The text ends at a NUL byte, as a
    // zero-terminated line does.
    void assignLatin1(std::string_view bytes) {
        std::size_t out = 0, chars = 0;
        for (char c : bytes) {
            if (c == '\0' || chars == Chars) break;
            const auto b = static_cast<unsigned char>(c);
            if (b < 0x80) {
                data_[out++] = c;
            } else {
                data_[out++] = static_cast<char>(0xC0 | (b >> 6));
                data_[out++] = static_cast<char>(0x80 | (b & 0x3F));
            }
            ++chars;
        }
        size_ = static_cast<Size>(out);
        data_[out] = '\0';
    }

    template <typename... Args>
    void format(const char* fmt, Args... args) {
        char buffer[kBytes + 1];
        const int n = std::snprintf(buffer, sizeof buffer, fmt, args...);
        setBytes(buffer, n < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n), Chars));
    }

    friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }

private:
    static constexpr std::size_t kBytes = Chars * 2;  // a widened Latin-1 character is 2 bytes

    void setBytes(const char* from, std::size_t n) {
        std::memcpy(data_, from, n);
        size_ = static_cast<Size>(n);
        data_[n] = '\0';
    }

    // A short text keeps its length in one byte, so records of many short texts stay small.
    using Size = std::conditional_t<(kBytes < 256), std::uint8_t, std::size_t>;
    char data_[kBytes + 1] = {};
    Size size_ = 0;
};

}  // namespace vexa
