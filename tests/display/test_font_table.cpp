// The font table and the small rules of the display settings.
#include <gtest/gtest.h>

#include "display/font_table.h"
#include "frame/diagnostics.h"

namespace vexa {
namespace {

TEST(FontTable, ConfiguredFaceFoundOrTahomaFallsBackToDejaVuSans) {
    const std::vector<std::string> installed{"Liberation Serif", "DejaVu Sans", "Tahoma", "Noto"};
    const struct {
        std::vector<std::string> faces;
        std::string configured;
        int index;
        const char* line;
    } cases[] = {
        {installed, "Tahoma", 2, "Font found: <2> <Tahoma>"},
        {{"Liberation Serif", "DejaVu Sans"}, "Tahoma", 1, "Font Tahoma nicht installiert, statt dessen DejaVu Sans"},
        {{"Liberation Serif"}, "Tahoma", 0, nullptr},  // not even the fallback: the first face
    };
    for (const auto& c : cases) {
        FontTable table;
        table.configuredFace = c.configured;
        DiagnosticText log;
        collectFonts(table, c.faces, log);
        EXPECT_EQ(table.fontIndex, c.index) << c.faces.size();
        if (c.line) {
            EXPECT_NE(log.text().find(c.line), std::string::npos) << log.text();
        }
    }
    FontTable many;
    DiagnosticText log;
    collectFonts(many, std::vector<std::string>(60, "X"), log);
    EXPECT_EQ(many.fontFaces.size(), 50u);
    many.fontIndex = 49;
    nextFont(many);
    EXPECT_EQ(many.fontIndex, 0);
}

TEST(FontTable, SizesAndCoordinateFormats) {
    const struct {
        const char* text;
        int size;
    } sizes[] = {{"14", 14}, {"0", 12}, {"", 12}, {"abc", 12}, {"-3", 12}, {"9x", 12}};
    for (const auto& s : sizes) EXPECT_EQ(fontSizeOf(s.text), s.size) << s.text;
    int format = 0;
    for (int i = 0; i < 3; ++i) format = nextCoordFormat(format, false);
    EXPECT_EQ(format, 0);
    format = 1;
    EXPECT_EQ(format = nextCoordFormat(format, true), 2);
    EXPECT_EQ(nextCoordFormat(format, true), 1);  // plate carrée skips grid coordinates
}

TEST(FontTable, TheSetHasTheFixedSizesTheChosenSizeAndTheTurnedFonts) {
    const FontSet set = buildFontSet("Face", 17, "Sys");
    const struct {
        FontRole role;
        const char* face;
        int height, weight, escapement;
    } fonts[] = {
        {FontRole::Large, "Face", 24, 700, 0},      {FontRole::SmallSystem, "Sys", 10, 700, 0},
        {FontRole::Huge, "Face", 30, 900, 0},       {FontRole::HugeTurned, "Face", 30, 900, 900},
        {FontRole::HugeUpsideDown, "Face", 30, 900, 1800}, {FontRole::User, "Face", 17, 700, 0},
        {FontRole::UserTurned, "Face", 17, 700, 900}, {FontRole::UserUpsideDown, "Face", 17, 700, 1800},
        {FontRole::Small, "Face", 10, 700, 0},      {FontRole::SmallBold, "Sys", 8, 700, 0},
    };
    for (const auto& f : fonts) {
        const FontDescription& desc = set[f.role];
        EXPECT_EQ(desc.face, f.face) << static_cast<int>(f.role);
        EXPECT_EQ(desc.pixelHeight, f.height) << static_cast<int>(f.role);
        EXPECT_EQ(desc.weight, f.weight) << static_cast<int>(f.role);
        EXPECT_EQ(desc.escapement, f.escapement) << static_cast<int>(f.role);
    }
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
