// The menu-bar button images, drawn by the program. An image strip holds one image per button;
// each strip shows the Move display mode: every image is turned like the Move view
// (normal, landscape, upside down) and the Move button shows the kind (north up, 3D, course up).
#pragma once

#include <QImage>

namespace vexa {

inline constexpr int kButtonImageSize = 24;

// The image of the button with command `buttonId` in image strip `strip`.
QImage buttonImage(int buttonId, int strip, int size = kButtonImageSize);

}  // namespace vexa
