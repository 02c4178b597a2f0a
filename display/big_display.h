// The big numbers over the Move view, by display mode: speed, distance, altitude, elapsed
// time, the profiles, or all together; laid out in the orientation of the Move display mode.
#pragma once

#include <QRect>
#include <QTransform>

class QPainter;

namespace vexa {

struct FrameReadings;
struct GpsState;

// How the big numbers are turned for a reader holding the device in the Move display mode's
// orientation: `afterOutput` true for the display buffer after rotation or 3D (modes 3–5
// landscape, 6–8 upside down); false for the frame itself, which is turned as a whole on its
// way to the window (mode 6), so nothing is turned in it.
QTransform orientationTransform(int moveDisplayMode, bool afterOutput);
// The visible window in the coordinates the transform draws in: width and height swap in the
// landscape modes.
QRect orientedWindow(int moveDisplayMode, bool afterOutput, int screenWidth, int screenHeight);

// Modes 1 "V" … 7 "Alles"; 4 and others draw nothing.
void ShowBigDisplay(QPainter& painter, const GpsState& gps, const FrameReadings& readings, int mode,
                    int moveDisplayMode, bool afterOutput, int screenWidth, int screenHeight);

}  // namespace vexa
