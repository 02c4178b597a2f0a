#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include <QPainter>

#include "display/save_screen.h"
#include "display/screen_buffer.h"
#include "display/screen_output.h"
#include "maps/render/view_3d.h"
#include "maps/render/window_turn.h"
#include "maps/render/map_frame.h"
#include "tests/maps/map_fixture.h"

namespace vexa::testing {
namespace {

constexpr QRgb kBackground = qRgb(40, 200, 200);

// A 400 × 400 frame whose every pixel is distinct and never the background.
class ScreenBuffer : public ::testing::Test {
protected:
    QImage source{400, 400, QImage::Format_RGB32};

    void SetUp() override {
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 400; ++x) source.setPixel(x, y, qRgb(x % 256, y % 256, 1 + (x / 256) * 2 + (y / 256) * 4));
    }
};

TEST(ScreenBufferCreate, SizesOnceAndRoundsRowsToFourPixels) {
    CSTScreenBuffer sb;
    EXPECT_EQ(sb.Create(398, 100), 1);
    EXPECT_EQ(sb.rowWidth(), 400);
    EXPECT_EQ(sb.Create(200, 200), 1);
    EXPECT_EQ(sb.width(), 398);
    EXPECT_EQ(sb.height(), 100);
}

QImage turned(const QImage& frame, double angle, QSize screen) {
    QImage out(screen, QImage::Format_RGB32);
    turnWindow(frame, angle, out);
    return out;
}

TEST_F(ScreenBuffer, TurnedWindowsAreExactToThePixel) {
    EXPECT_EQ(turned(source, 0, {240, 320}), source.copy(80, 40, 240, 320)) << "no turn copies the window";
    // Course up turns the heading to the top: source pixel (300, 200) lies 100 east of the middle.
    for (const auto& [angle, c, r] : {std::tuple{-90.0, 200, 100}, {90.0, 200, 300}, {180.0, 100, 200}})
        EXPECT_EQ(turned(source, angle, {400, 400}).pixel(c, r), source.pixel(300, 200)) << angle;
    // A quarter turn and back lose no pixel; the column whose source would be row 400 is background.
    const QImage quarter = turned(source, 90, {400, 400});
    for (int r = 0; r < 400; ++r) ASSERT_EQ(quarter.pixel(0, r), kBackground) << r;
    EXPECT_EQ(turned(quarter, -90, {400, 400}).copy(0, 1, 400, 399), source.copy(0, 1, 400, 399));
    // A smaller window is the middle of the larger one at any angle, on rows partly outside too.
    for (const double angle : {33.0, 271.5, -7.25})
        EXPECT_EQ(turned(source, angle, {240, 320}), turned(source, angle, {400, 400}).copy(80, 40, 240, 320)) << angle;
    // Two pictures with a gap between them: the background goes into the gap and around them
    // only, as in the turned frame that holds the gap.
    QImage gapped = source;
    QPainter(&gapped).fillRect(180, 0, 40, 400, QColor(kBackground));
    WindowTurn turn({240, 320}, 400, 33.0);
    QImage out(240, 320, QImage::Format_RGB32);
    out.fill(Qt::black);
    turn.draw(out, source.copy(0, 0, 180, 400), QPoint(0, 0), QRect(0, 0, 400, 400));
    turn.draw(out, source.copy(220, 0, 180, 400), QPoint(-220, 0), QRect(0, 0, 400, 400));
    turn.fillAround(out, kBackground);
    EXPECT_EQ(out, turned(gapped, 33.0, {240, 320}));
}

// Single pixels worked out by hand from the perspective formulas (P = 320, D = 1280, E = 1600).
TEST_F(ScreenBuffer, ThreeDViewsSampleWhereThePerspectiveSays) {
    struct Case {
        int mode;
        bool fullScreen;
        int c, r;    // display pixel
        int sx, sy;  // source pixel, or −1 for the background
    };
    const Case cases[] = {
        {1, false, 200, 0, -1, -1},     // sky
        {1, false, 0, 39, -1, -1},      // row 39 samples source row −2
        {1, false, 0, 40, 7, 0},        // the horizon: source row 0, full width
        {1, false, 0, 200, 32, 263},    // row 200: f = 0.84375, sy = −237 + 500
        {1, false, 200, 399, -1, -1},   // below the picture
        {4, true, 120, 100, 317, 109},  // i = 100, j = 300: f = 1.171875
        {4, true, 120, 390, -1, -1},    // j = 10 samples left of the picture
        {7, false, 300, 300, 83, 39},   // i = 100, j = 100
        {7, false, 200, 399, -1, -1},
    };
    QImage view(400, 400, QImage::Format_RGB32);
    for (const Case& k : cases) {
        View3D(k.mode, 320, k.fullScreen, 400).draw(source, QPoint(0, 0), view.rect(), view);
        const QRgb want = k.sx < 0 ? kBackground : source.pixel(k.sx, k.sy);
        EXPECT_EQ(view.pixel(k.c, k.r), want) << k.mode << " " << k.c << "," << k.r;
    }
}

// Leaves non-zero bytes where the next call's locals lie: a header field left unwritten shows.
[[gnu::noinline]] void dirtyStack() {
    volatile std::uint8_t junk[8192];
    for (std::size_t i = 0; i < sizeof junk; ++i) junk[i] = 0xA5;
}

std::uint32_t le32(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
    return v;
}

TEST(ScreenBufferSave, BmpHasTheFixedHeaderAndRawRows) {
    TempDir temp;
    DiagnosticText log;
    CSTScreenBuffer sb;
    sb.Create(400, 400);
    QImage source(400, 400, QImage::Format_RGB32);
    source.fill(qRgb(1, 2, 3));
    source.setPixel(0, 0, qRgb(10, 20, 30));
    sb.CopyScreen(source);
    dirtyStack();
    ASSERT_EQ(sb.save((temp / "a.bmp").string(), 1, log), 0);
    const std::string bmp = readFile(temp / "a.bmp");
    ASSERT_EQ(bmp.size(), 480054u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    const std::pair<std::size_t, std::uint32_t> fields[] = {
        {2, 480054}, {6, 0},       {10, 54},  {14, 40},   {18, 400}, {22, 400}, {26, 1 | 24 << 16},
        {30, 0},     {34, 480000}, {38, 3780}, {42, 3780}, {46, 0},   {50, 0}};
    for (const auto& [offset, value] : fields) EXPECT_EQ(le32(bmp, offset), value) << offset;
    // Bottom-up: the top-left pixel is the first of the last row, blue first.
    EXPECT_EQ(bmp.substr(54 + 399u * 1200u, 3), std::string("\x1e\x14\x0a", 3));
    EXPECT_EQ(bmp.substr(54, 3), std::string("\x03\x02\x01", 3));
    EXPECT_EQ(QImage(QString::fromStdString((temp / "a.bmp").string())).pixel(0, 0), qRgb(10, 20, 30));

    EXPECT_EQ(sb.save((temp / "missing" / "b.bmp").string(), 0, log), -1);
    EXPECT_NE(log.text().find("CSTScreenBuffer::save fopen(462)"), std::string::npos);
}

class ScreenOutputTest : public ::testing::Test {
protected:
    MapWorld w;
    CSTScreenBuffer sb;
    ScreenBufferTurner turner;
    const TrackPoint position{505000, 5595000};

    void SetUp() override {
        sb.Create(400, 400);
        QImage map(1000, 1000, QImage::Format_RGB32);
        map.fill(Qt::white);
        QPainter(&map).fillRect(QRect(700, 490, 20, 20), QColor(255, 0, 0));  // 2 km east
        saveImage(map, w.dir / "karte_32_500000_5600000_100_1000_1000.png");
        ASSERT_EQ(w.scan(), 0);
        w.frame.displayMode = DisplayMode::Move;
    }
    MapFrameContext context(ScreenGeometry screen = {240, 320, false}) {
        MapFrameContext ctx = w.context();
        ctx.turner = &turner;
        ctx.screen = screen;
        return ctx;
    }
};

TEST_F(ScreenOutputTest, CourseUpFrameShowsTheHeadingAbove) {
    w.frame.moveDisplayMode = 2;
    w.frame.courseUp = true;
    w.frame.zoomFactor = 2.0;
    MapFrameContext ctx = context();
    FrameReadings readings;
    readings.course = 90.0f;
    show_pos(ctx, position, readings);
    ASSERT_EQ(w.presenter.shown.size(), QSize(240, 320));
    // The red square 200 map pixels east is 100 frame pixels east at zoom 2; turned, it lies
    // 100 to 110 pixels above the middle (120, 160) of the window.
    EXPECT_EQ(w.presenter.shown.pixel(120, 55), qRgb(255, 0, 0));
    EXPECT_EQ(w.presenter.shown.pixel(225, 160), qRgb(255, 255, 255));
    EXPECT_EQ(w.log.currentOperation(), "sb.Draw After\n");
}

// A turned window is resampled from the maps straight onto the screen; it shows what the whole
// square, composed for a screen copy and turned as a picture, shows: the maps pixel for pixel
// (at zoom 4 with their edges and the background around them), the position mark drawn turned
// but for a few pixels of its edges.
TEST_F(ScreenOutputTest, TurnedWindowsShowTheWholeFrameTurned) {
    w.frame.moveDisplayMode = 2;
    w.frame.courseUp = true;
    for (const auto& [zoom, course] : {std::pair{1.0, 33.0f}, {2.0, 100.0f}, {4.0, 200.0f}, {0.5, 290.0f}}) {
        w.frame.zoomFactor = zoom;
        MapFrameContext ctx = context();
        FrameReadings readings;
        readings.course = course;
        show_pos(ctx, position, readings);
        const QImage turned = w.presenter.shown.copy();
        ctx.saving = true;
        show_pos(ctx, position, readings);
        int differ = 0;
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 240; ++x) differ += turned.pixel(x, y) != w.presenter.shown.pixel(x, y);
        EXPECT_LT(differ, 100) << zoom;
    }
}

// A 3D window is composed from the band of the frame it reads and shows what the whole square,
// composed for a screen copy, shows; the band does not outlive the frame.
TEST_F(ScreenOutputTest, ThreeDWindowsShowTheirBandAsTheWholeFrame) {
    const std::tuple<int, ScreenGeometry, double> cases[] = {
        {1, {240, 320, false}, 1.0},  {4, {240, 320, false}, 1.0},   {7, {240, 320, true}, 1.0},
        {1, {1280, 400, true}, 1.5},  {4, {1280, 400, false}, 1.0},  {7, {1280, 400, false}, 0.75}};
    for (const auto& [mode, screen, zoom] : cases) {
        w.frame.moveDisplayMode = mode;
        w.frame.zoomFactor = zoom;
        MapFrameContext ctx = context(screen);
        show_pos(ctx, position, {});
        const QImage band = w.presenter.shown;
        EXPECT_TRUE(ctx.canvas.buffer.isNull());
        ctx.saving = true;
        show_pos(ctx, position, {});
        EXPECT_EQ(band, w.presenter.shown) << mode << " " << screen.width;
    }
    EXPECT_EQ(w.log.currentOperation(), "sb.Draw Before\n");
}

// A north-up copy is named like a map file of its whole frame (936 pixels a side for 800 × 480);
// the 3D and turned views are time-stamped. Only the first copy is announced.
TEST_F(ScreenOutputTest, ScreenCopiesAreNamedLikeMapFilesOrTimeStamped) {
    ScopedEnv home("VEXA_HOME", w.temp.path().c_str());
    w.frame.viewCentre = TrackPoint{500000, 5600000};
    const std::string base = (w.temp.path() / "ScreenCopy").string();
    const std::tuple<int, ScreenGeometry, const char*, std::uintmax_t> copies[] = {
        {0, {240, 320, false}, "ScreenCopy_32_498000_5602000_100_400_400.bmp", 480054},
        {0, {800, 480, false}, "ScreenCopy_32_495320_5604680_100_936_936.bmp", 936u * 936u * 3u + 54u},
        {1, {240, 320, false}, "Screen3D_20240601_120000.bmp", 480054},
        {3, {240, 320, false}, "ScreenCopy_20240601_120000.bmp", 480054}};
    for (const auto& [mode, screen, name, size] : copies) {
        w.frame.moveDisplayMode = mode;
        MapFrameContext ctx = context(screen);
        const bool first = name == std::get<2>(copies[0]);
        const auto file = SaveScreen(ctx, sb, base, w.temp.path(), first, first);
        EXPECT_EQ(file.filename(), name);
        EXPECT_EQ(std::filesystem::file_size(file), size) << name;
    }
    EXPECT_EQ(sb.rowWidth(), 0) << "the buffer lives only while a copy is written";
    EXPECT_EQ(w.ui.titles(), std::vector<std::string>{"karte__32_498000_5602000_100_400_400.bmp"});
    ASSERT_EQ(w.ui.messages().size(), 1u);
    EXPECT_EQ(w.ui.messages()[0].text, base + "_32_498000_5602000_100_400_400.bmp");
    EXPECT_EQ(w.ui.commands().back(), kCmdRedrawMove);
}

}  // namespace
}  // namespace vexa::testing
