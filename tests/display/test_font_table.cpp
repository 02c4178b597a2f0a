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

}  // namespace
}  // namespace vexa
