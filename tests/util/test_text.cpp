#include "util/text.h"
#include "util/fixed_text.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

namespace vexa {
namespace {

TEST(Utf8, CountsAndCutsCharactersNotBytes) {
    const std::string umlauts = "Hänschen über Öl";  // three two-byte characters
    EXPECT_EQ(std::tuple(utf8Length(umlauts), utf8Prefix(umlauts, 2), utf8Prefix(umlauts, 100), utf8Prefix("", 5)),
              std::tuple(16u, "Hä", umlauts, ""));
    // A euro sign (3 bytes) and a four-byte character are each one character.
    EXPECT_EQ(utf8Length("€\xF0\x9F\x97\xBA"), 2u);
}

TEST(Utf8, DamagedTextIsFoundCountedCutSafelyAndReplaced) {
    // A lead byte without its continuation, stray continuation bytes.
    EXPECT_EQ(std::tuple(utf8Length("ab\xC3"), utf8Length("\x80\x80x"), utf8Prefix("\x80\x80x", 2)), std::tuple(3u, 3u, "\x80\x80"));
    EXPECT_TRUE(isValidUtf8("Straße €"));
    // A cut-off sequence, the overlong form of '/', a stray continuation byte.
    EXPECT_FALSE(isValidUtf8("ab\xC3") || isValidUtf8("\xC0\xAF") || isValidUtf8("x\x80y"));
    EXPECT_EQ(std::tuple(validUtf8("x\x80y\xC3"), validUtf8("Straße")), std::tuple("x?y?", "Straße"));
}

TEST(Utf8, OneWideByteAnywhereMakesATextNotAscii) {
    for (const std::size_t length : {7u, 16u, 37u}) {  // whole blocks of sixteen and a rest
        const std::string plain(length, 'a');
        EXPECT_TRUE(isAscii(plain));
        for (std::size_t at = 0; at < length; ++at)
            EXPECT_FALSE(isAscii(std::string(plain).replace(at, 1, "\xE4"))) << length << " " << at;
    }
}

TEST(FixedText, CutsToItsCharactersAtACharacterBoundary) {
    const std::pair<std::string, std::string> cases[] = {  // assigned, kept by FixedText<4>
        {"abcdef", "abcd"}, {"abäcd", "abäc"}, {"äöüßx", "äöüß"}, {"ab€€", "ab€€"}, {"€€€", "€€"}};
    for (const auto& [text, kept] : cases) EXPECT_EQ(FixedText<4>(text).view(), kept) << text;
}

TEST(Latin1, RoundTripsEveryByteAndReplacesWhatLatin1Lacks) {
    std::string all;
    for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
    const std::string wide = latin1ToUtf8(all);
    EXPECT_EQ(std::tuple(utf8Length(wide), utf8ToLatin1(wide)), std::tuple(255u, all));
    EXPECT_EQ(utf8ToLatin1("Köln €"), "K\xF6ln ?");
}

TEST(Strprintf, FormatsLongTexts) {
    EXPECT_EQ(strprintf("%s(%d) <%ld>", "x", 17601, -2L), "x(17601) <-2>");
    const std::string longText(5000, 'a');
    EXPECT_EQ(strprintf("%s!", longText.c_str()).size(), 5001u);
}

}  // namespace
}  // namespace vexa
