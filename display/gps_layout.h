// Where the GPS view puts its parts on a screen of any size. The view is drawn in three
// blocks laid out for 240 × 320: the numbers (sun times down to the fix time and the picture),
// the dial block (compass, "K" and satellite panel) and the profiles with the battery. The
// layout places the blocks for the screen: one column on tall screens, two side by side on
// wide ones, and on short ones the profiles beside the dial block. A screen that holds the
// layout twice or more over is drawn enlarged by that whole factor (`zoom`). Drawing and taps
// both take their places from here.
#pragma once

#include <vector>

#include <QPoint>
#include <QRect>

#include "display/font_table.h"
#include "display/layout_element.h"
#include "frame/screen_size.h"

namespace vexa {

// The satellite picture right of the fix time, in the numbers block's design coordinates.
inline constexpr QRect kGpsPicture{136, 120, 100, 48};
// The sun and clock icons (16 × 16) there.
inline constexpr QRect kSunIcon{4, 2, 16, 16};
inline constexpr QRect kClockIcon{122, 96, 16, 16};

// A text of the GPS view: its font, its top-left corner in its block's design coordinates and
// the widest text it shows. The view draws it there; the layout measures it there.
struct GpsText {
    const char* name;
    FontRole font;
    int x, y;
    const char* widest;
};
inline constexpr GpsText kSunTimesText{"sun times", FontRole::User, 24, 2, "88:88-88:88"};
// The position line may take the whole width; its longest form is the geographic one.
inline constexpr GpsText kPositionText{"position line", FontRole::User, 4, 20, "GEO E 188°88'88\" N 88°88'88\""};
inline constexpr GpsText kSpeedUnitText{"km/h", FontRole::Small, 6, 40, "km/h"};
inline constexpr GpsText kAltitudeUnitText{"H in m", FontRole::Small, 124, 40, "H in m"};
inline constexpr GpsText kSpeedText{"speed", FontRole::Huge, 4, 50, "188.8"};
inline constexpr GpsText kAltitudeText{"altitude", FontRole::Huge, 122, 50, "8888"};
inline constexpr GpsText kTripText{"trip", FontRole::Large, 4, 90, "88.88"};
inline constexpr GpsText kTripUnitText{"km", FontRole::User, 92, 100, "km"};
inline constexpr GpsText kElapsedText{"elapsed", FontRole::User, 140, 94, "88:88:88"};
inline constexpr GpsText kFixTimeText{"fix time", FontRole::User, 4, 126, "88:88:88 88.88.8888"};
// The dial block's letter before the course.
inline constexpr GpsText kCourseLetterText{"K", FontRole::User, 8, 176, "K"};

struct GpsViewLayout {
    int zoom = 1;             // the view is drawn at this scale; the places below are unscaled
    int screenWidth = 240;    // unscaled
    QPoint numbers;           // offset of the numbers block
    QPoint dial;              // offset of the dial block
    bool showPicture = true;  // the satellite picture right of the fix time
    QRect altitudeProfile;    // empty: left out
    QRect speedProfile;
    bool showBattery = true;
    QPoint battery;           // top left of the battery outline

    // Tap areas in screen pixels: the position line (changes the coordinate format), the
    // compass (target line on and off), the satellite panel (starts GPS), the trip distance
    // (resets the trip), the picture (tries the next background colour) and the profiles
    // (recompute their maximum). An area left out on this screen is empty.
    QRect coordinateLine() const;
    QRect guidanceToggle() const;
    QRect satellitePanel() const;
    QRect tripArea() const;
    QRect pictureArea() const;
    QRect altitudeProfileArea() const { return onScreen(altitudeProfile); }
    QRect speedProfileArea() const { return onScreen(speedProfile); }

    // Every part with its place in screen pixels; texts by the pixels their glyphs cover at
    // their widest.
    std::vector<LayoutElement> elements() const;

private:
    QRect onScreen(const QRect& r) const { return QRect(r.topLeft() * zoom, r.size() * zoom); }
};

GpsViewLayout gpsViewLayout(ScreenSize screen);

}  // namespace vexa
