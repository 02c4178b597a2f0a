// The turned Move view: the window of the square frame turned about the frame's middle,
// resampled straight into a screen-sized picture.
#pragma once

#include <QImage>

namespace vexa {

// Fills every pixel of `screen` (W × H, 32-bit) with the turned window of `frame`, a square
// 32-bit frame whose middle W × H the window is. The window's pixel (x, y), counted in the
// frame, shows the frame pixel it lands on when turned by `angle` degrees about the frame's
// middle (nearest pixel, cut towards the middle); a pixel whose source lies outside the frame
// gets the map background.
void turnWindow(const QImage& frame, double angle, QImage& screen);

}  // namespace vexa
