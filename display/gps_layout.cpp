#include "display/gps_layout.h"

#include <algorithm>

#include "display/bearing_drawing.h"
#include "display/text_drawing.h"

namespace vexa {

namespace {

// The blocks in the 240 × 320 design they were drawn for.
constexpr int kBlockWidth = 240;
constexpr int kNumbersHeight = 170;        // down to the picture's bottom
constexpr int kNumbersHeightNoPicture = 142;
constexpr int kDialTop = 170, kDialHeight = 95;
constexpr int kBottomHeight = 55;          // profiles and battery, up to 320
constexpr int kDesignHeight = 320;

void placeBottom(GpsViewLayout& l, QPoint offset) {
    l.altitudeProfile = QRect(34, 267, 173, 25).translated(offset);
    l.speedProfile = QRect(34, 294, 173, 25).translated(offset);
    l.battery = QPoint(218, 266) + offset;
}

}  // namespace

bool twoColumns(int w, int h) { return w > h && w >= 2 * kBlockWidth; }
bool oneColumn(int w, int h) { return h >= kDesignHeight && w >= kBlockWidth; }

GpsViewLayout gpsViewLayout(ScreenSize screen) {
    GpsViewLayout l;
    // The largest whole zoom at which the screen still holds a one- or two-column layout.
    for (int zoom = 4; zoom > 1; --zoom) {
        const int w = screen.width / zoom, h = screen.height / zoom;
        if (twoColumns(w, h) ? h >= kNumbersHeight : oneColumn(w, h)) {
            l.zoom = zoom;
            break;
        }
    }
    const int w = screen.width / l.zoom, h = screen.height / l.zoom;
    l.screenWidth = w;
    if (twoColumns(w, h)) {
        // Two columns: the numbers left, the dial block above the profiles right.
        const int half = w / 2;
        l.numbers = {(half - kBlockWidth) / 2, (h - kNumbersHeight) / 2};
        const int top = (h - kDialHeight - kBottomHeight) / 2;
        l.dial = {half + (half - kBlockWidth) / 2, top - kDialTop};
        placeBottom(l, l.dial);
    } else if (oneColumn(w, h)) {
        // One column: the numbers at the top, the profiles at the bottom, the dial between.
        const int dx = (w - kBlockWidth) / 2, extra = h - kDesignHeight;
        l.numbers = {dx, 0};
        l.dial = {dx, extra / 2};
        placeBottom(l, {dx, extra});
    } else {
        // Short: no picture; the dial block right below the numbers, the profiles beside it
        // when there is room, the battery in the top right corner.
        l.showPicture = false;
        l.dial = {0, kNumbersHeightNoPicture - kDialTop};
        const int room = w - 224;
        if (room >= 60) {
            l.altitudeProfile = QRect(222, 173 + l.dial.y(), room, 25);
            l.speedProfile = QRect(222, 200 + l.dial.y(), room, 25);
        }
        l.showBattery = w - kBlockWidth >= 24;
        l.battery = {w - 19, 4};
    }
    return l;
}

// The position line runs from the numbers block's left edge to the screen's right edge.
QRect GpsViewLayout::coordinateLine() const {
    return onScreen(QRect(numbers.x(), numbers.y() + 14, screenWidth - numbers.x(), 22));
}

QRect GpsViewLayout::guidanceToggle() const { return onScreen(QRect(QPoint(0, 180), QPoint(79, 239)).translated(dial)); }

QRect GpsViewLayout::tripArea() const { return onScreen(QRect(0, 88, 118, 30).translated(numbers)); }

QRect GpsViewLayout::pictureArea() const { return showPicture ? onScreen(kGpsPicture.translated(numbers)) : QRect(); }

QRect GpsViewLayout::satellitePanel() const { return onScreen(QRect(QPoint(98, 173), QPoint(217, 247)).translated(dial)); }

std::vector<LayoutElement> GpsViewLayout::elements() const {
    std::vector<LayoutElement> out;
    const auto text = [&](const char* name, const QFont& font, QPoint offset, int x, int y, const char* widest) {
        out.push_back({name, textInk(font, x, y, widest).translated(offset), true});
    };
    const auto placed = [&](const GpsText& t, QPoint offset) { text(t.name, viewFont(t.font), offset, t.x, t.y, t.widest); };
    const QPoint n = numbers, d = dial;
    out.push_back({"sun icon", kSunIcon.translated(n)});
    placed(kSunTimesText, n);
    const GpsText& p = kPositionText;
    out.push_back({p.name,
                   textInk(viewFont(p.font), p.x, p.y, p.widest)
                       .translated(n)
                       .intersected(QRect(n.x(), 0, screenWidth - n.x(), 100000)),
                   true});
    for (const GpsText* t : {&kSpeedUnitText, &kAltitudeUnitText, &kSpeedText, &kAltitudeText, &kTripText, &kTripUnitText})
        placed(*t, n);
    out.push_back({"clock icon", kClockIcon.translated(n)});
    placed(kElapsedText, n);
    placed(kFixTimeText, n);
    if (showPicture) out.push_back({"picture", kGpsPicture.translated(n)});
    placed(kCourseLetterText, d);
    text("course", mapFont(), d, kCourseTextAt.x(), kCourseTextAt.y(), "888°");
    out.push_back({"compass", QRect(kDialCentre - QPoint(kDialRadius, kDialRadius), kDialCentre + QPoint(kDialRadius, kDialRadius)).translated(d)});
    out.push_back({"satellites", QRect(QPoint(98, 173), QPoint(218, 248)).translated(d)});
    text("target distance", mapFont(), d, kTargetTextAt.x(), kTargetTextAt.y(), "888.88 km");
    if (!altitudeProfile.isEmpty()) {
        out.push_back({"altitude profile", altitudeProfile});
        out.push_back({"speed profile", speedProfile});
    }
    if (showBattery) {
        out.push_back({"battery", QRect(battery.x(), battery.y() - 3, 15, 43)});
        text("battery percent", smallFont(), {}, battery.x() - 2, battery.y() + 41, "99");
    }
    for (LayoutElement& e : out) e.rect = onScreen(e.rect);
    return out;
}

}  // namespace vexa
