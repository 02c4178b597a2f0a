#include <gtest/gtest.h>

#include <thread>

#include <QPainter>

#include "maps/render/map_drawing.h"
#include "maps/render/map_frame.h"
#include "tests/maps/map_fixture.h"

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
    QImage frameAt(double e, double n, float course = 0.0f) {
        MapFrameContext ctx = w.context(overlays_, &link);
        ctx.saving = true;
        FrameReadings readings;
        readings.course = course;
        show_pos(ctx, TrackPoint{e, n}, readings);
        return w.canvas.buffer.copy();
    }
};

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
    EXPECT_EQ(w.view.CurrentRow, 0);
    EXPECT_EQ(w.presenter.presented, 2);
    w.screen_ = ScreenGeometry{240, 320, false};
    frameAt(503000, 5597000);
    ASSERT_EQ(w.presenter.shown.size(), QSize(240, 320));
    EXPECT_EQ(w.presenter.shown.pixel(0, 0), blockColour(180, 140, 77));
}

TEST_F(MapFrame, OtherZoomsStretchTheSourceRectangle) {
    saveBlocks();
    w.frame.zoomFactor = 2.0;  // 800 map pixels onto 400: blocks are 5 pixels wide
    QImage frame = frameAt(505000, 5595000);
    for (int k = 0; k < 80; k += 7)
        for (int m = 0; m < 30; m += 3)
            EXPECT_EQ(frame.pixel(5 * k + 2, 5 * m + 2), blockColour(100 + 10 * k + 5, 100 + 10 * m + 5, 77))
                << k << "," << m;
    w.frame.zoomFactor = 0.5;  // 200 map pixels onto 400: blocks are 20 pixels wide
    frame = frameAt(505000, 5595000);
    for (int k = 0; k < 20; k += 3)
        EXPECT_EQ(frame.pixel(20 * k + 10, 30), blockColour(400 + 10 * k + 5, 415, 77)) << k;
}

TEST_F(MapFrame, NeighbouringMapsJoinWithoutASeam) {
    saveImage(solid(1000, 1000, qRgb(255, 0, 0)), w.dir / "karte_32_500000_5600000_100_1000_1000.png");
    saveImage(solid(1000, 1000, qRgb(0, 0, 255)), w.dir / "karte_32_510000_5600000_100_1000_1000.png");
    ASSERT_EQ(w.scan(), 1);
    for (const double zoom : {1.0, 0.75, 1.5, 2.2}) {
        for (const double e : {510000.0, 510003.0, 509987.0}) {
            w.frame.zoomFactor = zoom;
            const QImage frame = frameAt(e, 5595000);
            int switches = 0;
            for (int x = 0; x < 400; ++x) {
                const QRgb c = frame.pixel(x, 100);
                ASSERT_TRUE(c == qRgb(255, 0, 0) || c == qRgb(0, 0, 255)) << zoom << " " << e << " x=" << x;
                if (x > 0 && c != frame.pixel(x - 1, 100)) ++switches;
            }
            EXPECT_EQ(switches, 1) << zoom << " " << e;
        }
    }
    EXPECT_EQ(w.canvas.images.loadedCount(), 2u);
}

TEST_F(MapFrame, AMapComingIntoViewDecodesIntoTheMemoryOfOneThatLeft) {
    saveImage(solid(100, 100, qRgb(255, 0, 0)), w.dir / "karte_32_500000_5600000_100_100_100.png");
    saveImage(solid(100, 100, qRgb(0, 0, 255)), w.dir / "karte_32_520000_5600000_100_100_100.png");
    ASSERT_EQ(w.scan(), 1);
    // Both ways, so that once the map coming in is walked before the one leaving.
    const double east[] = {500500, 520500, 500500};
    const uchar* memory = nullptr;
    for (double e : east) {
        const QImage frame = frameAt(e, 5599500);
        EXPECT_NE(frame.pixel(200, 200), kBackground) << e;
        ASSERT_EQ(w.canvas.images.loadedCount(), 1u);
        const int row = w.canvas.images.loaded(0) ? 0 : 1;
        if (memory) {
            EXPECT_EQ(w.canvas.images.image(row).constBits(), memory) << e;
        }
        memory = w.canvas.images.image(row).constBits();
        EXPECT_EQ(w.canvas.images.heldBytes(), 100u * 100u * 4u) << e;
    }
    frameAt(540500, 5599500);   // no map here: the memory goes back at the end of the frame
    EXPECT_EQ(w.canvas.images.heldBytes(), 0u);
}

TEST_F(MapFrame, CalibrationDimsAllButTheCalibratedMap) {
    saveImage(solid(1000, 1000, qRgb(255, 0, 0)), w.dir / "karte_32_500000_5600000_100_1000_1000.png");
    saveImage(solid(100, 100, qRgb(0, 0, 255)), w.dir / "karte_32_505000_5595000_100_100_100.png");
    ASSERT_EQ(w.scan(), 1);
    w.frame.displayMode = DisplayMode::Karte;
    int blueRow = w.table.rows[0].widthPx == 100 ? 0 : 1;
    startCalibration(w.view, blueRow, 100);
    const QImage frame = frameAt(505000, 5595000);
    EXPECT_EQ(frame.pixel(250, 250), qRgb(0, 0, 255));   // calibrated map, on top
    EXPECT_EQ(frame.pixel(150, 150), qRgb(192, 0, 0));   // red & light grey
    EXPECT_EQ(frame.pixel(150, 350), qRgb(192, 0, 0));
    endCalibration(w.view);
    EXPECT_EQ(frameAt(505000, 5595000).pixel(150, 150), qRgb(255, 0, 0));
}

TEST_F(MapFrame, OverviewOutlinesTheMapsAndReleasesTheirImages) {
    saveImage(solid(100, 100, qRgb(255, 0, 0)), w.dir / "karte_32_500000_5600000_100_100_100.png");
    saveImage(solid(100, 100, qRgb(255, 0, 0)), w.dir / "karte_32_501000_5600000_100_100_100.png");
    ASSERT_EQ(w.scan(), 1);
    frameAt(500500, 5599500);
    ASSERT_EQ(w.canvas.images.loadedCount(), 2u);
    w.frame.overview = true;
    w.frame.displayMode = DisplayMode::Karte;
    // Each map is 1 km = 100 px at the coarsest resolution; the position is in the first.
    const QImage frame = frameAt(500500, 5599500);
    EXPECT_EQ(frame.pixel(170, 170), qRgb(128, 128, 128));
    EXPECT_EQ(frame.pixel(270, 170), qRgb(192, 192, 192));
    EXPECT_EQ(frame.pixel(100, 100), qRgb(255, 255, 255));
    EXPECT_EQ(frame.pixel(150, 170), qRgb(255, 0, 0));   // highlight pen on the outline
    EXPECT_EQ(w.canvas.images.loadedCount(), 0u);
    EXPECT_EQ(w.table.rows[0].containsPosition + w.table.rows[1].containsPosition, 1);
}

TEST_F(MapFrame, ScaleBarWithoutMaps) {
    w.screen_ = ScreenGeometry{240, 320, false};
    const QImage frame = frameAt(0, 0);
    for (const int x : {87, 150, 313}) EXPECT_EQ(frame.pixel(x, 62), qRgb(0, 0, 0)) << x;
    EXPECT_EQ(frame.pixel(86, 62), kBackground);
    EXPECT_EQ(frame.pixel(314, 62), kBackground);
}

TEST_F(MapFrame, PositionArrowPointsAlongTheCourse) {
    link.fix = true;
    QImage north = frameAt(0, 0, 0.0f);
    EXPECT_EQ(north.pixel(200, 188), qRgb(255, 255, 255));
    EXPECT_EQ(north.pixel(212, 200), kBackground);
    QImage east = frameAt(0, 0, 90.0f);
    EXPECT_EQ(east.pixel(212, 200), qRgb(255, 255, 255));
    EXPECT_EQ(east.pixel(200, 188), kBackground);
    link.fix = false;
    EXPECT_EQ(frameAt(0, 0, 90.0f).pixel(212, 200), qRgb(0, 0, 0));
    w.frame.displayMode = DisplayMode::Karte;
    EXPECT_EQ(frameAt(0, 0, 90.0f).pixel(210, 197), kBackground);
}

class SlowOverlay : public FrameOverlays {
public:
    explicit SlowOverlay(ManualClock& clock, std::uint32_t ms) : clock_(clock), ms_(ms) {}
    void drawPois(QPainter&, const OverlayFrame&) override { clock_.advance(ms_); }

private:
    ManualClock& clock_;
    std::uint32_t ms_;
};

TEST_F(MapFrame, SlowFrameWithOpenPortPurgesIt) {
    link.open = true;
    SlowOverlay slow(w.clock, 800);
    overlays_ = &slow;
    frameAt(0, 0);
    EXPECT_EQ(link.purges, 1);
    EXPECT_EQ(link.restarts, 1);
    EXPECT_TRUE(w.logHas("show_pos PurgeComm wegen Zeitüberschreitung"));

    link.open = false;   // a replay: no port to purge
    w.frame.replaying = true;
    frameAt(0, 0);
    EXPECT_EQ(link.purges, 1);

    link.open = true;
    SlowOverlay justInTime(w.clock, 700);
    overlays_ = &justInTime;
    frameAt(0, 0);
    EXPECT_EQ(link.purges, 1);
}

TEST_F(MapFrame, StuckSemaphoreTimesOutAndTheFrameIsStillDrawn) {
    ASSERT_TRUE(w.semaphore.wait(std::chrono::milliseconds(0)));
    MapFrameContext ctx = w.context();
    ctx.semaphoreWait = std::chrono::milliseconds(30);
    show_pos(ctx, TrackPoint{}, {});
    EXPECT_TRUE(w.logHas("show_pos WaitForSingleObject Timeout"));
    ASSERT_FALSE(w.presenter.texts.empty());
    EXPECT_EQ(w.presenter.texts[0], "show_pos WaitForSingleObject Timeout");
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
