// The turned Move view: the window of the square frame turned about the frame's middle,
// resampled straight into a screen-sized picture.
#pragma once

#include <vector>

#include <QImage>
#include <QRect>
#include <QTransform>

namespace vexa {

// The window's pixel (x, y), counted in the frame, shows the frame pixel it lands on when
// turned by `angle` degrees about the frame's middle (nearest pixel, cut towards the middle).
// Pictures that lie in the frame are resampled through this turn straight into the screen
// picture, so that the square frame itself is never composed.
class WindowTurn {
public:
    WindowTurn(QSize screen, int frameSide, double angle);

    // Frame pixels to screen pixels, for a painter drawing the frame's layers onto the screen.
    QTransform transform() const { return transform_; }

    // Draws `image` onto `screen` where frame pixel (fx, fy) is image pixel (fx + offset.x,
    // fy + offset.y); only frame pixels inside `frameArea` and on the image are drawn.
    void draw(QImage& screen, const QImage& image, QPoint offset, QRect frameArea);
    // The same where frame pixel (fx, fy) is image pixel (columns[fx], rows[fy]), both tables
    // `frameSide` long with −1 for a frame column or row the image does not reach. The image
    // columns and rows must run monotonically over the frame pixels that have one.
    void draw(QImage& screen, const QImage& image, const std::vector<int>& columns, const std::vector<int>& rows);
    // Fills the screen pixels that no picture was drawn on with `colour`, the first time it is
    // called; the pixels the pictures cover are written only once that way.
    void fillAround(QImage& screen, QRgb colour);

private:
    // `pixels(bx, by, out, xBegin, xEnd)` fills out[xBegin, xEnd) of a screen row whose column x
    // shows frame pixel (bx + columnX_[x], by + columnY_[x]); `readAhead(box)` is given the frame
    // pixels the next tile will read.
    template <typename Pixels, typename ReadAhead>
    void resample(QImage& screen, QRect frameArea, Pixels pixels, ReadAhead readAhead);

    struct Run {
        int row, first, last;  // screen columns [first, last) of a screen row
    };
    std::vector<Run> drawn_;  // what the pictures drawn so far cover
    bool filled_ = false;
    int width_, height_, side_;
    double c_, s_;
    std::vector<int> columnX_, columnY_;  // trunc(dx·c), trunc(dx·s) of each screen column
    QTransform transform_;
};

// Fills every pixel of `screen` (W × H, 32-bit) with the turned window of `frame`, a square
// 32-bit frame whose middle W × H the window is; a pixel whose source lies outside the frame
// gets the map background.
void turnWindow(const QImage& frame, double angle, QImage& screen);

}  // namespace vexa
