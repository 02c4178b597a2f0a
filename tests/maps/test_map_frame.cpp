#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <thread>

#include "maps/render/map_frame.h"
#include "tests/maps/map_fixture.h"
#include "tests/support/golden_file.h"
#include "util/text.h"

namespace vexa::testing {
namespace {

constexpr QRgb kBackground = qRgb(40, 200, 200);

QImage solid(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

class MapFrame : public ::testing::Test {
protected:
    MapWorld w;
    TestLink link;
    FrameOverlays* overlays_ = nullptr;

    void SetUp() override { w.frame.displayMode = DisplayMode::Move; }
    void saveBlocks() {
        saveImage(blockPattern(1000, 1000, 77), w.dir / "karte_32_500000_5600000_100_1000_1000.png");
        ASSERT_EQ(w.scan(), 0);
    }
    // The whole square frame, composed as for a screen copy (the window shows only its middle).
    QImage frameAt(double e, double n) {
        MapFrameContext ctx = w.context(overlays_, &link);
        ctx.saving = true;
        show_pos(ctx, TrackPoint{e, n}, {});
        return w.canvas.buffer.copy();
    }
};

// One frame of map_frames.txt: solid maps "colour:left_top_resolution_width_height" (colour r,
// b), then options; the record is the colours of the square frame (those of 8 pixels or more)
// with their bounding boxes and counts, and how many maps stay decoded.
std::string frameRecord(const std::string& line) {
    static const std::map<char, QRgb> colours = {{'r', qRgb(255, 0, 0)}, {'b', qRgb(0, 0, 255)}};
    MapWorld w;
    TestLink link;
    w.frame.displayMode = DisplayMode::Move;
    double e = 0, n = 0, course = 0, calibrate = -1;
    bool karte = false, overview = false;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
        int width = 0, height = 0;
        if (word[1] == ':' && std::sscanf(word.c_str() + 2, "%*d_%*d_%*d_%d_%d", &width, &height) == 2)
            saveImage(solid(width, height, colours.at(word[0])), w.dir / ("karte_32_" + word.substr(2) + ".png"));
        else if (word == "fix") link.fix = true;
        else if (word == "karte" || word == "overview") (word == "karte" ? karte : overview) = true;
        else if (!std::sscanf(word.c_str(), "at=%lf,%lf", &e, &n) && !std::sscanf(word.c_str(), "zoom=%lf", &w.frame.zoomFactor) &&
                 !std::sscanf(word.c_str(), "course=%lf", &course) && !std::sscanf(word.c_str(), "calibrate=%lf", &calibrate))
            ADD_FAILURE() << "unknown word " << word;
    }
    w.scan();
    MapFrameContext ctx = w.context(nullptr, &link);
    ctx.saving = true;
    FrameReadings readings;
    readings.course = static_cast<float>(course);
    if (karte || overview) show_pos(ctx, TrackPoint{e, n}, readings);  // the maps decoded before the switch
    if (karte) w.frame.displayMode = DisplayMode::Karte;
    w.frame.overview = overview;
    for (std::size_t row = 0; row < w.table.rows.size(); ++row)
        if (w.table.rows[row].left == calibrate) startCalibration(w.view, static_cast<int>(row), w.table.rows[row].resolution);
    show_pos(ctx, TrackPoint{e, n}, readings);
    std::map<QRgb, std::pair<QRect, int>> seen;
    const QImage& frame = w.canvas.buffer;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            auto& [box, count] = seen[frame.pixel(x, y)];
            box |= QRect(x, y, 1, 1), ++count;
        }
    std::string out;
    for (const auto& [colour, seenAt] : seen)
        if (seenAt.second >= 8)
            out += strprintf("%06x %d,%d-%d,%d %d; ", colour & 0xffffff, seenAt.first.left(), seenAt.first.top(),
                             seenAt.first.right(), seenAt.first.bottom(), seenAt.second);
    return out + strprintf("loaded %zu", w.canvas.images.loadedCount());
}

TEST(MapFrames, FramesGiveTheRecordsOfTheGoldenFile) {
    EXPECT_GT(compareGoldenFile(VEXA_TEST_DATA "/map_frames.txt", frameRecord), 15);
}

// Every pixel of the frame away from the marker in the middle equals the map at the offset.
void expectMapAt(const QImage& frame, int srcX, int srcY, int base) {
    int mismatches = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x) {
            if (std::abs(x - 200) < 25 && std::abs(y - 200) < 25) continue;
            const int mx = srcX + x, my = srcY + y;
            const QRgb want = (mx >= 0 && my >= 0 && mx < 1000 && my < 1000) ? blockColour(mx, my, base) : kBackground;
            mismatches += frame.pixel(x, y) != want;
        }
    EXPECT_EQ(mismatches, 0);
}

TEST_F(MapFrame, ZoomOneCopiesTheMapAtTheExactOffsetAndTheWindowGetsTheMiddle) {
    saveBlocks();
    expectMapAt(frameAt(503000, 5597000), 100, 100, 77);
    // Near the north-west corner the map covers only part of the frame.
    expectMapAt(frameAt(500500, 5599000), -150, -100, 77);
    EXPECT_EQ(std::pair(w.view.CurrentRow, w.presenter.presented), std::pair(0, 2));
    frameAt(503000, 5597000);  // the window of a 240 × 320 screen
    ASSERT_EQ(w.presenter.shown.size(), QSize(240, 320));
    EXPECT_EQ(w.presenter.shown.pixel(0, 0), blockColour(180, 140, 77));
}

TEST_F(MapFrame, OtherZoomsStretchTheSourceRectangle) {
    saveBlocks();
    w.frame.zoomFactor = 2.0;  // 800 map pixels onto 400: blocks are 5 pixels wide
    QImage frame = frameAt(505000, 5595000);
    for (int k = 0; k < 80; k += 7)
        for (int m = 0; m < 30; m += 3)
            EXPECT_EQ(frame.pixel(5 * k + 2, 5 * m + 2), blockColour(100 + 10 * k + 5, 100 + 10 * m + 5, 77)) << k << "," << m;
    w.frame.zoomFactor = 0.5;  // 200 map pixels onto 400: blocks are 20 pixels wide
    frame = frameAt(505000, 5595000);
    for (int k = 0; k < 20; k += 3) EXPECT_EQ(frame.pixel(20 * k + 10, 30), blockColour(400 + 10 * k + 5, 415, 77)) << k;
}

TEST_F(MapFrame, AMapComingIntoViewDecodesIntoTheMemoryOfOneThatLeft) {
    saveImage(solid(100, 100, qRgb(255, 0, 0)), w.dir / "karte_32_500000_5600000_100_100_100.png");
    saveImage(solid(100, 100, qRgb(0, 0, 255)), w.dir / "karte_32_520000_5600000_100_100_100.png");
    ASSERT_EQ(w.scan(), 1);
    // Both ways, so that once the map coming in is walked before the one leaving.
    const uchar* memory = nullptr;
    for (const double e : {500500, 520500, 500500}) {
        EXPECT_NE(frameAt(e, 5599500).pixel(200, 200), kBackground) << e;
        ASSERT_EQ(w.canvas.images.loadedCount(), 1u);
        const uchar* bits = w.canvas.images.image(w.canvas.images.loaded(0) ? 0 : 1).constBits();
        if (memory) {
            EXPECT_EQ(bits, memory) << e;
        }
        memory = bits;
        EXPECT_EQ(w.canvas.images.heldBytes(), 100u * 100u * 4u) << e;
    }
    frameAt(540500, 5599500);  // no map here: the memory goes back at the end of the frame
    EXPECT_EQ(w.canvas.images.heldBytes(), 0u);
}

// Overlays that take `ms` milliseconds to draw.
struct SlowOverlay : FrameOverlays {
    SlowOverlay(ManualClock& c, std::uint32_t m) : clock(c), ms(m) {}
    void drawPois(QPainter&, const OverlayFrame&) override { clock.advance(ms); }
    ManualClock& clock;
    std::uint32_t ms;
};

// A frame over 700 ms purges an open port; a replay has none.
TEST_F(MapFrame, SlowFrameWithOpenPortPurgesIt) {
    for (const auto& [ms, open, purges] : {std::tuple{800u, true, 1}, {800u, false, 1}, {700u, true, 1}}) {
        SlowOverlay slow(w.clock, ms);
        overlays_ = &slow;
        link.open = open;
        frameAt(0, 0);
        EXPECT_EQ(link.purges, purges) << ms << open;
    }
    EXPECT_EQ(link.restarts, 1);
    EXPECT_TRUE(w.logHas("show_pos PurgeComm wegen Zeitüberschreitung"));
}

TEST_F(MapFrame, StuckSemaphoreTimesOutAndTheFrameIsStillDrawn) {
    ASSERT_TRUE(w.semaphore.wait(std::chrono::milliseconds(0)));
    MapFrameContext ctx = w.context();
    ctx.semaphoreWait = std::chrono::milliseconds(30);
    show_pos(ctx, TrackPoint{}, {});
    EXPECT_TRUE(w.logHas("show_pos WaitForSingleObject Timeout"));
    EXPECT_EQ(w.presenter.texts, std::vector<std::string>{"show_pos WaitForSingleObject Timeout"});  // on the screen too
    EXPECT_EQ(w.presenter.presented, 1);
    // The stuck holder was released: the next frame gets the semaphore at once.
    EXPECT_TRUE(w.semaphore.wait(std::chrono::milliseconds(0)));
    w.semaphore.release();
}

TEST_F(MapFrame, FramesFromTwoThreadsTakeTurns) {
    saveBlocks();
    const auto draw = [this](double e) {
        MapFrameContext ctx = w.context();
        for (int i = 0; i < 15; ++i) show_pos(ctx, TrackPoint{e + i, 5597000}, {});
    };
    std::thread a(draw, 503000.0), b(draw, 504000.0);
    a.join();
    b.join();
    EXPECT_EQ(w.presenter.presented, 30);
    EXPECT_EQ(w.log.text().find("Timeout"), std::string::npos);
}

}  // namespace
}  // namespace vexa::testing
