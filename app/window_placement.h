// Where the window goes on the desktop: the default scale of the device screen for a monitor,
// and a remembered window brought back onto a monitor that is still there.
#pragma once

#include <QList>
#include <QRect>

namespace vexa {

// The largest scale of 1 to 3 at which a 240 × 320 device screen, with title and menu bar,
// fits the monitor's available area (in Qt's logical pixels, which already contain the
// desktop's own scaling, the device pixel ratio): 1 on small screens such as an 800 × 480 car
// PC or a 1366 × 768 laptop, 2 on ordinary desktops (1920 × 1080), 3 from about 2560 × 1440
// logical pixels on. A 4K monitor at 200 % counts as 1920 × 1080 and gets 2, i.e. four
// physical pixels per device pixel.
int defaultScale(QSize available);

// The remembered window (frame's top-left corner and inner size) moved, and if need be made
// smaller, so that it lies inside the available area of the monitor it overlaps most (the
// first one when it overlaps none), title bar included; never smaller than `minimum`.
QRect keepOnScreen(QRect window, const QList<QRect>& available, QSize minimum);

}  // namespace vexa
