// The Move view's 3D picture: the map plane of the square frame seen from behind the position.
#pragma once

#include <vector>

#include <QImage>
#include <QPoint>
#include <QRect>

namespace vexa {

// The 3D picture has the square frame's size. Its row i reads frame row sy(i) at the running
// columns j, each at frame column wc + trunc((j − wc)·f(i)), and lands on the picture as the
// variant says: normal (Move display mode 1) at column j of row i, landscape (4) at column
// wc − hc + 20 + i of row wc + hc − j, upside down (7) at column w − j of row h − i. A pixel whose
// frame pixel lies outside the frame shows the map background. A frame larger than 400 rows
// keeps the perspective of a 400-row frame about its middle and extends it up to the horizon
// and down.
class View3D {
public:
    View3D(int moveDisplayMode, int P, bool fullScreen, int frameSide);

    // The frame pixels the 3D pixels of `window` read (empty when it shows only background).
    QRect sourceArea(QRect window) const;
    // Fills `picture`, of the window's size, with the 3D pixels of `window` (32-bit), reading
    // frame pixel p at pixel p − origin of `band`, which must hold sourceArea(window).
    void draw(const QImage& band, QPoint origin, QRect window, QImage& picture) const;
    int side() const { return side_; }

private:
    // One row's running columns [first, last) land at `start` and each next one `step` further,
    // in picture pixels counted from the window's corner.
    struct Span {
        int i, first, last;
        QPoint start, step;
    };
    template <typename Visit>
    void forEachSpan(QRect window, Visit visit) const;

    int mode_, side_, wc_, hc_;
    std::vector<int> rows_;       // sy of each 3D row, −1 where it lies off the frame
    std::vector<float> factors_;  // f of each 3D row
};

}  // namespace vexa
