// Wide lines drawn the quick way: a line `width` pixels wide covers, at each step along its
// main direction, a span of `width` pixels across it (offsets −width/2 … width − width/2 − 1).
// Lines are gathered per colour and drawn together, straight into the frame's pixels when it
// is a plain 32-bit picture without clip and the transform is a whole-pixel shift or a turn
// (the ends turned, the spans as long as keeps the line's thickness), else through the
// painter as one-pixel lines.
// The small point circles are ready-made pictures.
#pragma once

#include <vector>

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QTransform>

#include "routes/route_geometry.h"

class QPainter;

namespace vexa {

class ThickLines {
public:
    void add(ScreenPoint a, ScreenPoint b, int width) { segments_.push_back({a, b, width}); }
    // Lines are cut to the edges of `frame` (in the painter's coordinates) widened by the line
    // width, wherever the picture lies in it, so a line steps through the same pixels in a
    // picture of the whole frame and in one of its part.
    void draw(QPainter& painter, const QColor& colour, const ViewRect& frame);
    bool empty() const { return segments_.empty(); }
    void clear() { segments_.clear(); }

private:
    struct Segment {
        ScreenPoint a, b;
        int width;
    };
    std::vector<Segment> segments_;

    void drawWithPainter(QPainter& painter, const QColor& colour) const;
    void drawIntoPixels(QImage& image, QPoint shift, QRgb colour, const ViewRect& frame) const;
    void drawTurned(QImage& image, const QTransform& turn, QRgb colour, const ViewRect& frame) const;
};

// A circle of radius 4 drawn with a 3-pixel outline of `outline` and filled with `fill`
// (transparent for none), as a picture centred on (6, 6) and as its opaque pixels.
struct PointSprite {
    struct Pixel {
        int dx, dy;
        QRgb colour;
    };
    QImage image;
    std::vector<Pixel> pixels;
};
const PointSprite& pointCircle(QRgb outline, QRgb fill);
void drawPointCircle(QPainter& painter, ScreenPoint at, const PointSprite& circle);

}  // namespace vexa
