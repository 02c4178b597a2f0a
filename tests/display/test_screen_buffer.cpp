#include <gtest/gtest.h>

#include <cstring>

#include <QPainter>

#include "display/save_screen.h"
#include "display/screen_buffer.h"
#include "display/screen_output.h"
#include "maps/render/map_frame.h"
#include "tests/maps/map_fixture.h"

namespace vexa::testing {
namespace {

constexpr QRgb kBackground = qRgb(40, 200, 200);

// A picture whose every pixel is distinct and never the background colour.
QImage uniquePattern() {
    QImage image(400, 400, QImage::Format_RGB32);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x) image.setPixel(x, y, qRgb(x % 256, y % 256, 1 + (x / 256) * 2 + (y / 256) * 4));
    return image;
}

QRgb displayPixel(const CSTScreenBuffer& sb, int c, int r) {
    const std::uint8_t* p = sb.displayPixels() + sb.offset(c, r);
    return qRgb(p[2], p[1], p[0]);
}

TEST(ScreenBuffer, CreateSizesOnceAndRoundsRowsToFourPixels) {
    CSTScreenBuffer sb;
    EXPECT_EQ(sb.Create(398, 100), 1);
    EXPECT_EQ(sb.rowWidth(), 400);
    EXPECT_EQ(sb.Create(200, 200), 1);
    EXPECT_EQ(sb.width(), 398);
    EXPECT_EQ(sb.height(), 100);
}

TEST(ScreenBuffer, RotationByZeroCopiesTheWindowRegion) {
    CSTScreenBuffer sb;
    sb.Create(400, 400);
    const QImage source = uniquePattern();
    sb.CopyScreen(source);
    sb.sbrotate(0, 80, 40, 320, 360);
    int wrong = 0;
    for (int r = 40; r < 360; ++r)
        for (int c = 80; c < 320; ++c) wrong += displayPixel(sb, c, r) != source.pixel(c, r);
    EXPECT_EQ(wrong, 0);
}

TEST(ScreenBuffer, QuarterTurnsLoseNoPixel) {
    CSTScreenBuffer sb;
    sb.Create(400, 400);
    const QImage source = uniquePattern();
    sb.CopyScreen(source);
    sb.sbrotate(90, 0, 0, 400, 400);
    // The one column whose source would be row 400 shows the background.
    for (int r = 0; r < 400; ++r) ASSERT_EQ(displayPixel(sb, 0, r), kBackground) << r;
    // Turning back gives the picture again wherever both turns had a source.
    std::memcpy(sb.sourcePixels(), sb.displayPixels(), 400 * 400 * 3);
    sb.sbrotate(-90, 0, 0, 400, 400);
    int wrong = 0;
    for (int r = 1; r < 400; ++r)
        for (int c = 0; c < 400; ++c) wrong += displayPixel(sb, c, r) != source.pixel(c, r);
    EXPECT_EQ(wrong, 0);
}

TEST(ScreenBuffer, CourseUpTurnsTheHeadingToTheTop) {
    CSTScreenBuffer sb;
    sb.Create(400, 400);
    QImage source(400, 400, QImage::Format_RGB32);
    source.fill(Qt::white);
    source.setPixel(300, 200, qRgb(255, 0, 0));  // 100 pixels east of the middle
    sb.CopyScreen(source);
    sb.sbrotate(0 - 90.0, 0, 0, 400, 400);       // heading east
    EXPECT_EQ(displayPixel(sb, 200, 100), qRgb(255, 0, 0));
    sb.sbrotate(90, 0, 0, 400, 400);
    EXPECT_EQ(displayPixel(sb, 200, 300), qRgb(255, 0, 0));
    sb.sbrotate(180, 0, 0, 400, 400);
    EXPECT_EQ(displayPixel(sb, 100, 200), qRgb(255, 0, 0));
}

TEST(ScreenBuffer, ThreeDViewShowsSkyAboveAndBackgroundBelow) {
    CSTScreenBuffer sb;
    sb.Create(400, 400);
    sb.CopyScreen(uniquePattern());
    sb.sb3D(Sb3DVariant::Normal, 320, false);
    for (int c = 0; c < 400; c += 37) {
        EXPECT_EQ(displayPixel(sb, c, 0), kBackground) << c;
        EXPECT_EQ(displayPixel(sb, c, 399), kBackground) << c;
    }
    EXPECT_NE(displayPixel(sb, 200, 200), kBackground);
    // The top map row is drawn at full width, rows nearer the viewer narrower in the source.
    int firstMapRow = 0;
    while (displayPixel(sb, 200, firstMapRow) == kBackground) ++firstMapRow;
    EXPECT_GT(firstMapRow, 5);
    EXPECT_NE(displayPixel(sb, 0, firstMapRow + 1), kBackground);

    sb.sb3D(Sb3DVariant::UpsideDown, 320, false);
    EXPECT_EQ(displayPixel(sb, 200, 399), kBackground);
    sb.sb3D(Sb3DVariant::Landscape, 320, true);
    int mapPixels = 0;
    for (int r = 0; r < 400; r += 10)
        for (int c = 0; c < 400; c += 10) mapPixels += displayPixel(sb, c, r) != kBackground;
    EXPECT_GT(mapPixels, 100);
}

// Single pixels worked out by hand from the perspective formulas (P = 320, D = 1280, E = 1600).
TEST(ScreenBuffer, ThreeDViewsSampleWhereThePerspectiveSays) {
    struct Case {
        Sb3DVariant variant;
        bool fullScreen;
        int c, r;       // display pixel
        int sx, sy;     // source pixel, or −1 for the background
    };
    const Case cases[] = {
        {Sb3DVariant::Normal, false, 0, 200, 32, 263},       // row 200: f = 0.84375, sy = −237 + 500
        {Sb3DVariant::Landscape, true, 120, 100, 317, 109},  // i = 100, j = 300: f = 1.171875
        {Sb3DVariant::Landscape, true, 120, 390, -1, -1},    // j = 10 samples left of the picture
        {Sb3DVariant::UpsideDown, false, 300, 300, 83, 39},  // i = 100, j = 100
    };
    const QImage source = uniquePattern();
    CSTScreenBuffer sb;
    sb.Create(400, 400);
    sb.CopyScreen(source);
    for (const Case& k : cases) {
        sb.sb3D(k.variant, 320, k.fullScreen);
        const QRgb want = k.sx < 0 ? kBackground : source.pixel(k.sx, k.sy);
        EXPECT_EQ(displayPixel(sb, k.c, k.r), want) << static_cast<int>(k.variant) << " " << k.c << "," << k.r;
    }
}

std::uint32_t le32(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
    return v;
}

TEST(ScreenBuffer, SavedBmpHasTheFixedHeaderAndRawRows) {
    TempDir temp;
    DiagnosticText log;
    CSTScreenBuffer sb;
    sb.Create(400, 400);
    QImage source(400, 400, QImage::Format_RGB32);
    source.fill(qRgb(1, 2, 3));
    source.setPixel(0, 0, qRgb(10, 20, 30));
    sb.CopyScreen(source);
    ASSERT_EQ(sb.save((temp / "a.bmp").string(), 1, log), 0);
    const std::string bmp = readFile(temp / "a.bmp");
    ASSERT_EQ(bmp.size(), 480054u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(le32(bmp, 2), 480054u);
    EXPECT_EQ(le32(bmp, 6), 0u);
    EXPECT_EQ(le32(bmp, 10), 54u);
    EXPECT_EQ(le32(bmp, 14), 40u);
    EXPECT_EQ(le32(bmp, 18), 400u);
    EXPECT_EQ(le32(bmp, 22), 400u);
    EXPECT_EQ(le32(bmp, 26), 1u | (24u << 16));
    EXPECT_EQ(le32(bmp, 30), 0u);
    EXPECT_EQ(le32(bmp, 34), 480000u);
    EXPECT_EQ(le32(bmp, 38), 3780u);
    EXPECT_EQ(le32(bmp, 42), 3780u);
    EXPECT_EQ(le32(bmp, 46), 0u);
    EXPECT_EQ(le32(bmp, 50), 0u);
    // Bottom-up: the top-left pixel is the first of the last row, blue first.
    const std::size_t topLeft = 54 + 399u * 1200u;
    EXPECT_EQ(bmp.substr(topLeft, 3), std::string("\x1e\x14\x0a", 3));
    EXPECT_EQ(bmp.substr(54, 3), std::string("\x03\x02\x01", 3));
    // Qt reads it back as the same picture.
    EXPECT_EQ(QImage(QString::fromStdString((temp / "a.bmp").string())).pixel(0, 0), qRgb(10, 20, 30));

    EXPECT_EQ(sb.save((temp / "missing" / "b.bmp").string(), 0, log), -1);
    EXPECT_NE(log.text().find("CSTScreenBuffer::save fopen(462)"), std::string::npos);
}

class ScreenOutputTest : public ::testing::Test {
protected:
    MapWorld w;
    CSTScreenBuffer sb;

    void SetUp() override {
        sb.Create(400, 400);
        QImage map(1000, 1000, QImage::Format_RGB32);
        map.fill(Qt::white);
        QPainter(&map).fillRect(QRect(700, 490, 20, 20), QColor(255, 0, 0));  // 2 km east
        saveImage(map, w.dir / "karte_32_500000_5600000_100_1000_1000.png");
        ASSERT_EQ(w.scan(), 0);
        w.frame.displayMode = DisplayMode::Move;
    }

    MapFrameContext context() {
        MapFrameContext ctx = w.context();
        ctx.screenBuffer = &sb;
        ctx.screen = ScreenGeometry{240, 320, false};
        return ctx;
    }
};

TEST_F(ScreenOutputTest, CourseUpFrameShowsTheHeadingAbove) {
    w.frame.moveDisplayMode = 2;
    w.frame.courseUp = true;
    MapFrameContext ctx = context();
    TrackPoint p;
    p.gridX = 505000;
    p.gridY = 5595000;
    FrameReadings readings;
    readings.course = 90.0f;
    show_pos(ctx, p, readings);
    ASSERT_EQ(w.presenter.shown.size(), QSize(240, 320));
    // The red square 200 map pixels east is 100 frame pixels east at zoom 2; turned, it lies
    // 100 to 110 pixels above the middle (120, 160) of the window.
    w.frame.zoomFactor = 2.0;
    show_pos(ctx, p, readings);
    EXPECT_EQ(w.presenter.shown.pixel(120, 55), qRgb(255, 0, 0));
    EXPECT_EQ(w.presenter.shown.pixel(225, 160), qRgb(255, 255, 255));
    EXPECT_EQ(w.log.currentOperation(), "sb.Draw After\n");
}

TEST_F(ScreenOutputTest, ThreeDFrameIsDrawnThroughTheBuffer) {
    w.frame.moveDisplayMode = 1;
    MapFrameContext ctx = context();
    ctx.screen = ScreenGeometry{400, 400, false};
    TrackPoint p;
    p.gridX = 505000;
    p.gridY = 5595000;
    show_pos(ctx, p, {});
    ASSERT_EQ(w.presenter.shown.size(), QSize(400, 400));
    EXPECT_EQ(w.presenter.shown.pixel(200, 10), kBackground);  // sky
    EXPECT_EQ(w.presenter.shown.pixel(200, 100), qRgb(255, 255, 255));
    EXPECT_EQ(w.log.currentOperation(), "sb.Draw Before\n");
}

TEST_F(ScreenOutputTest, NorthUpScreenCopyIsNamedLikeAMapFile) {
    ScopedEnv home("VEXA_HOME", w.temp.path().c_str());
    w.frame.viewCentre.gridX = 500000;
    w.frame.viewCentre.gridY = 5600000;
    MapFrameContext ctx = context();
    const auto file = SaveScreen(ctx, (w.temp.path() / "ScreenCopy").string(), w.temp.path(), true, true);
    const std::string expected = (w.temp.path() / "ScreenCopy").string() + "_32_498000_5602000_100_400_400.bmp";
    EXPECT_EQ(file.string(), expected);
    EXPECT_EQ(std::filesystem::file_size(file), 480054u);
    ASSERT_EQ(w.ui.titles().size(), 1u);
    EXPECT_EQ(w.ui.titles()[0], "karte__32_498000_5602000_100_400_400.bmp");
    ASSERT_EQ(w.ui.messages().size(), 1u);
    EXPECT_EQ(w.ui.messages()[0].text, expected);
    EXPECT_EQ(w.ui.commands().back(), kCmdRedrawMove);
}

TEST_F(ScreenOutputTest, ThreeDAndTurnedCopiesAreTimeStamped) {
    MapFrameContext ctx = context();
    w.frame.moveDisplayMode = 1;
    EXPECT_EQ(SaveScreen(ctx, "unused", w.temp.path(), false, false).filename(), "Screen3D_20240601_120000.bmp");
    w.frame.moveDisplayMode = 3;
    const auto copy = SaveScreen(ctx, "unused", w.temp.path(), false, false);
    EXPECT_EQ(copy.filename(), "ScreenCopy_20240601_120000.bmp");
    EXPECT_EQ(std::filesystem::file_size(copy), 480054u);
    EXPECT_TRUE(w.ui.messages().empty());
}

}  // namespace
}  // namespace vexa::testing
