#include "util/text.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(Utf8, CountsAndCutsCharactersNotBytes) {
    const std::string umlauts = "Hänschen über Öl";  // three two-byte characters
    EXPECT_EQ(utf8Length(umlauts), 16u);
    EXPECT_EQ(utf8Prefix(umlauts, 2), "Hä");
    EXPECT_EQ(utf8Prefix(umlauts, 100), umlauts);
    EXPECT_EQ(utf8Prefix("", 5), "");
    // A euro sign (3 bytes) and a four-byte character are each one character.
    EXPECT_EQ(utf8Length("€\xF0\x9F\x97\xBA"), 2u);
}

TEST(Utf8, DamagedTextIsFoundCountedCutSafelyAndReplaced) {
    EXPECT_EQ(utf8Length("ab\xC3"), 3u);  // a lead byte without its continuation
    const std::string stray = "\x80\x80x";
    EXPECT_EQ(utf8Length(stray), 3u);
    EXPECT_EQ(utf8Prefix(stray, 2), "\x80\x80");
    EXPECT_TRUE(isValidUtf8("Straße €"));
    EXPECT_FALSE(isValidUtf8("ab\xC3"));    // cut-off sequence
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));  // overlong form of '/'
    EXPECT_FALSE(isValidUtf8("x\x80y"));    // stray continuation byte
    EXPECT_EQ(validUtf8("x\x80y\xC3"), "x?y?");
    EXPECT_EQ(validUtf8("Straße"), "Straße");
}

TEST(Latin1, RoundTripsEveryByteAndReplacesWhatLatin1Lacks) {
    std::string all;
    for (int c = 1; c < 256; ++c) all.push_back(static_cast<char>(c));
    const std::string wide = latin1ToUtf8(all);
    EXPECT_EQ(utf8Length(wide), 255u);
    EXPECT_EQ(utf8ToLatin1(wide), all);
    EXPECT_EQ(utf8ToLatin1("Köln €"), "K\xF6ln ?");
}

TEST(Strprintf, FormatsLongTexts) {
    EXPECT_EQ(strprintf("%s(%d) <%ld>", "x", 17601, -2L), "x(17601) <-2>");
    const std::string longText(5000, 'a');
    EXPECT_EQ(strprintf("%s!", longText.c_str()).size(), 5001u);
}

}  // namespace
}  // namespace vexa
