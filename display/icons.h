// The small pictures the views draw, made by the program itself on first use.
#pragma once

#include <QImage>

namespace vexa {

// The target flag, 24 × 30, its pole standing on (12, 30).
const QImage& targetIcon();
// The compass dial of the guidance, 61 × 63, centred on (30, 31).
const QImage& compassIcon();
// A sun over the horizon for the sun times, 16 × 16.
const QImage& sunIcon();
// A clock face for the elapsed time, 16 × 16.
const QImage& clockIcon();
// The GPS view's background picture, 100 × 48: a navigation satellite sending to the earth,
// in faint lines that suit every background colour of the view.
const QImage& gpsViewPicture();

}  // namespace vexa
