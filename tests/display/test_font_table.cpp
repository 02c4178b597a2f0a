// The font table and the small rules of the display settings.
#include <gtest/gtest.h>

#include <tuple>

#include "display/font_table.h"
#include "util/diagnostic_text.h"

namespace vexa {
namespace {

TEST(FontTable, ConfiguredFaceFoundOrTahomaFallsBackToDejaVuSans) {
    // Tahoma configured; without it DejaVu Sans; without that the first face (nothing logged).
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"Liberation Serif", "DejaVu Sans", "Tahoma", "Noto"}, 2, "Font found: <2> <Tahoma>"},
        {{"Liberation Serif", "DejaVu Sans"}, 1, "Font Tahoma nicht installiert, statt dessen DejaVu Sans"},
        {{"Liberation Serif"}, 0, ""}};
    for (const auto& [faces, index, line] : cases) {
        FontTable table;
        table.configuredFace = "Tahoma";
        DiagnosticText log;
        collectFonts(table, faces, log);
        EXPECT_EQ(table.fontIndex, index) << faces.size();
        EXPECT_NE(log.text().find(line), std::string::npos) << log.text();
    }
    FontTable many;
    DiagnosticText log;
    collectFonts(many, std::vector<std::string>(60, "X"), log);
    EXPECT_EQ(many.fontFaces.size(), 50u);
}

TEST(FontTable, SizesAndTheSetBuiltFromThem) {
    for (const auto& [text, size] : {std::pair{"14", 14}, {"0", 12}, {"", 12}, {"abc", 12}, {"-3", 12}, {"9x", 12}})
        EXPECT_EQ(fontSizeOf(text), size) << text;
    // The chosen size goes to the user fonts, turned ones too; the small system fonts keep theirs.
    const FontSet set = buildFontSet("Face", 17, "Sys");
    EXPECT_EQ(std::tuple(set[FontRole::User].face, set[FontRole::UserTurned].pixelHeight, set[FontRole::UserTurned].escapement),
              std::tuple("Face", 17, 900));
    EXPECT_EQ(set[FontRole::SmallBold].face, "Sys");
    EXPECT_NE(set[FontRole::SmallBold].pixelHeight, 17);
    for (const int invalid : {0, -4})
        EXPECT_EQ(buildFontSet("Face", invalid, "Sys")[FontRole::UserUpsideDown].pixelHeight, 12) << invalid;
    // A published set is what every drawing thread gets next; a set already taken stays whole.
    const auto taken = currentFontSet();
    publishFontSet(set);
    EXPECT_EQ((*currentFontSet())[FontRole::User].pixelHeight, 17);
    EXPECT_NE((*taken)[FontRole::User].pixelHeight, 17);
    publishFontSet(*taken);
}

}  // namespace
}  // namespace vexa
