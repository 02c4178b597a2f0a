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

#include "display/layout_element.h"
#include "frame/screen_size.h"

namespace vexa {

// The satellite picture right of the fix time, in the numbers block's design coordinates.
inline constexpr QRect kGpsPicture{136, 120, 100, 48};

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
