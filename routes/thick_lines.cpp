#include "routes/thick_lines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <mutex>
#include <utility>

#include <QLine>
#include <QPainter>

namespace vexa {

namespace {

bool flat(ScreenPoint a, ScreenPoint b) { return std::abs(b.x - a.x) >= std::abs(b.y - a.y); }

// Cuts a–b to the rectangle [x0, x1] × [y0, y1]; false when nothing of it lies inside.
bool clipToRect(double& ax, double& ay, double& bx, double& by, double x0, double y0, double x1, double y1) {
    double t0 = 0.0, t1 = 1.0;
    const double dx = bx - ax, dy = by - ay;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {ax - x0, x1 - ax, ay - y0, y1 - ay};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const double nax = ax + t0 * dx, nay = ay + t0 * dy;
    bx = ax + t1 * dx;
    by = ay + t1 * dy;
    ax = nax;
    ay = nay;
    return true;
}

// The image the painter writes into, when its pixels can be written directly: a plain 32-bit
// picture and no clip.
QImage* plainImage(QPainter& painter) {
    QPaintDevice* device = painter.device();
    if (!device || device->devType() != QInternal::Image || painter.hasClipping()) return nullptr;
    auto* image = static_cast<QImage*>(device);
    const QImage::Format f = image->format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied)
        return nullptr;
    return image;
}

// The plain image the painter writes into when its transform is no more than a shift by whole
// pixels, which `shift` receives.
QImage* directTarget(QPainter& painter, QPoint& shift) {
    const QTransform& t = painter.transform();
    if (t.type() > QTransform::TxTranslate || t.dx() != std::trunc(t.dx()) || t.dy() != std::trunc(t.dy()))
        return nullptr;
    QImage* image = plainImage(painter);
    if (image) shift = QPoint(static_cast<int>(t.dx()), static_cast<int>(t.dy()));
    return image;
}

// The plain image the painter writes into when its transform turns without scaling (a turned
// view drawn onto the screen).
QImage* turnedTarget(QPainter& painter) {
    const QTransform& t = painter.transform();
    if (t.type() > QTransform::TxRotate || std::abs(t.m11() * t.m11() + t.m12() * t.m12() - 1.0) > 1e-9 ||
        std::abs(t.determinant() - 1.0) > 1e-9)
        return nullptr;
    return plainImage(painter);
}

// Where the painter puts the middle of pixel p, as a pixel.
ScreenPoint turnedPixel(const QTransform& t, ScreenPoint p) {
    const QPointF q = t.map(QPointF(p.x + 0.5, p.y + 0.5));
    return {static_cast<int>(std::floor(q.x())), static_cast<int>(std::floor(q.y()))};
}

}  // namespace

void ThickLines::draw(QPainter& painter, const QColor& colour, const ViewRect& frame) {
    if (segments_.empty()) return;
    QPoint shift;
    if (QImage* image = directTarget(painter, shift)) {
        drawIntoPixels(*image, shift, colour.rgb() | 0xff000000u, frame);
        return;
    }
    if (QImage* image = turnedTarget(painter))
        drawTurned(*image, painter.transform(), colour.rgb() | 0xff000000u, frame);
    else
        drawWithPainter(painter, colour);
}

// Each line cut to the frame pixels under the picture, its ends turned and its spans across as
// long as keeps the line as thick as it is unturned (a turn keeps the length, so the spans
// scale by the ratio of the main direction's extents).
void ThickLines::drawTurned(QImage& image, const QTransform& t, QRgb colour, const ViewRect& frame) const {
    const QRectF under = t.inverted().mapRect(QRectF(image.rect())) &
                         QRectF(frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
    const double m11 = t.m11(), m12 = t.m12(), m21 = t.m21(), m22 = t.m22(), shiftX = t.dx(), shiftY = t.dy();
    // floor for values well inside the int range, without the library call.
    const auto floorToInt = [](double v) {
        const int i = static_cast<int>(v);
        return i - (v < i);
    };
    // Pixel middles go to pixel middles.
    const auto pixel = [&](double x, double y) {
        return ScreenPoint{floorToInt(m11 * (x + 0.5) + m21 * (y + 0.5) + shiftX),
                           floorToInt(m12 * (x + 0.5) + m22 * (y + 0.5) + shiftY)};
    };
    // The span across a leg (dx, dy) turned.
    const auto widthAlong = [&](double dx, double dy, int width) {
        const double along = std::max(std::abs(m11 * dx + m21 * dy), std::abs(m12 * dx + m22 * dy));
        return along == 0.0 ? width : std::max(1, static_cast<int>(width * std::max(std::abs(dx), std::abs(dy)) / along + 0.5));
    };
    // It depends on the leg's direction only, so the short legs of the most common width each
    // work it out once.
    constexpr int kNear = 16;
    std::array<int, 4 * kNear * kNear> knownWidth{};
    const int commonWidth = segments_.front().width;
    const double left = under.left(), top = under.top(), right = under.right(), bottom = under.bottom();
    ThickLines turned;
    turned.segments_.reserve(segments_.size());
    const ScreenPoint* lastEnd = nullptr;
    ScreenPoint lastTurned;
    for (const Segment& s : segments_) {
        const double margin = s.width + 1.0;
        const double x0 = left - margin, y0 = top - margin, x1 = right + margin, y1 = bottom + margin;
        const int minX = std::min(s.a.x, s.b.x), maxX = std::max(s.a.x, s.b.x);
        const int minY = std::min(s.a.y, s.b.y), maxY = std::max(s.a.y, s.b.y);
        if (maxX < x0 || minX > x1 || maxY < y0 || minY > y1) continue;
        double ax = s.a.x, ay = s.a.y, bx = s.b.x, by = s.b.y;
        const bool inside = minX >= x0 && maxX <= x1 && minY >= y0 && maxY <= y1;
        if (!inside && !clipToRect(ax, ay, bx, by, x0, y0, x1, y1)) continue;
        const int dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
        int width;
        if (s.width == commonWidth && std::abs(dx) < kNear && std::abs(dy) < kNear) {
            int& known = knownWidth[static_cast<std::size_t>((dy + kNear) * 2 * kNear + dx + kNear)];
            if (known == 0) known = widthAlong(dx, dy, s.width);
            width = known;
        } else {
            width = widthAlong(dx, dy, s.width);
        }
        // A line of legs turns each point once: a leg starts where the last one ended.
        const ScreenPoint start = inside && lastEnd && s.a.x == lastEnd->x && s.a.y == lastEnd->y ? lastTurned : pixel(ax, ay);
        const ScreenPoint end = pixel(bx, by);
        lastEnd = inside ? &s.b : nullptr;
        lastTurned = end;
        turned.segments_.push_back({start, end, width});
    }
    turned.drawIntoPixels(image, QPoint(), colour, ViewRect{0, 0, image.width(), image.height()});
}

void ThickLines::drawWithPainter(QPainter& painter, const QColor& colour) const {
    std::vector<QLine> lines;
    for (const Segment& s : segments_) {
        const bool f = flat(s.a, s.b);
        for (int k = -s.width / 2; k < s.width - s.width / 2; ++k)
            lines.emplace_back(s.a.x + (f ? 0 : k), s.a.y + (f ? k : 0), s.b.x + (f ? 0 : k), s.b.y + (f ? k : 0));
    }
    painter.setPen(QPen(colour, 0));
    painter.drawLines(lines.data(), static_cast<int>(lines.size()));
}

void ThickLines::drawIntoPixels(QImage& image, QPoint shift, QRgb colour, const ViewRect& frame) const {
    const int w = image.width(), h = image.height();
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const auto row = [&](int y) { return reinterpret_cast<QRgb*>(bits + y * stride); };
    // A span across the line at (x, y): a column of pixels when `across`, else a row.
    const auto span = [&](int x, int y, bool across, int from, int to) {
        if (across) {
            if (x < 0 || x >= w) return;
            for (int yy = std::max(0, y + from); yy <= std::min(h - 1, y + to); ++yy) row(yy)[x] = colour;
        } else {
            if (y < 0 || y >= h) return;
            const int first = std::max(0, x + from), last = std::min(w - 1, x + to);
            if (first > last) return;  // the row lies beside the image
            std::fill(row(y) + first, row(y) + last + 1, colour);
        }
    };
    // The same for a line whose spans all lie on the picture.
    const auto spanWithin = [&](int x, int y, bool across, int from, int to) {
        if (across)
            for (int yy = y + from; yy <= y + to; ++yy) row(yy)[x] = colour;
        else
            std::fill(row(y) + x + from, row(y) + x + to + 1, colour);
    };
    // Along the main direction from (x0, y0) to (x1, y1), one span per step.
    const auto walk = [](int x0, int y0, int x1, int y1, auto&& step) {
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            step(x0, y0);
            if (x0 == x1 && y0 == y1) break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    };
    for (const Segment& s : segments_) {
        const bool f = flat(s.a, s.b);
        const int from = -s.width / 2, to = s.width - s.width / 2 - 1;
        double ax = s.a.x, ay = s.a.y, bx = s.b.x, by = s.b.y;
        const double left = frame.left - s.width - 1.0, top = frame.top - s.width - 1.0;
        const double right = frame.right + s.width + 1.0, bottom = frame.bottom + s.width + 1.0;
        const bool inside = std::min(s.a.x, s.b.x) >= left && std::max(s.a.x, s.b.x) <= right &&
                            std::min(s.a.y, s.b.y) >= top && std::max(s.a.y, s.b.y) <= bottom;
        if (!inside && !clipToRect(ax, ay, bx, by, left, top, right, bottom)) continue;
        // Moved into the picture.
        const int x0 = static_cast<int>(ax) + shift.x(), y0 = static_cast<int>(ay) + shift.y();
        const int x1 = static_cast<int>(bx) + shift.x(), y1 = static_cast<int>(by) + shift.y();
        if (std::min(x0, x1) + from >= 0 && std::max(x0, x1) + to < w && std::min(y0, y1) + from >= 0 &&
            std::max(y0, y1) + to < h)
            walk(x0, y0, x1, y1, [&](int x, int y) { spanWithin(x, y, f, from, to); });
        else
            walk(x0, y0, x1, y1, [&](int x, int y) { span(x, y, f, from, to); });
    }
}

const PointSprite& pointCircle(QRgb outline, QRgb fill) {
    static std::mutex mutex;
    static std::map<std::pair<QRgb, QRgb>, PointSprite> made;
    const std::lock_guard lock(mutex);
    PointSprite& sprite = made[{outline, fill}];
    if (sprite.image.isNull()) {
        sprite.image = QImage(13, 13, QImage::Format_ARGB32_Premultiplied);
        sprite.image.fill(Qt::transparent);
        {
            QPainter p(&sprite.image);
            p.setPen(QPen(QColor::fromRgba(outline | 0xff000000u), 3));
            p.setBrush(qAlpha(fill) ? QBrush(QColor::fromRgba(fill)) : QBrush(Qt::NoBrush));
            p.drawEllipse(QPoint(6, 6), 4, 4);
        }
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 13; ++x)
                if (qAlpha(sprite.image.pixel(x, y)) == 255) sprite.pixels.push_back({x - 6, y - 6, sprite.image.pixel(x, y)});
    }
    return sprite;
}

void drawPointCircle(QPainter& painter, ScreenPoint at, const PointSprite& circle) {
    QPoint shift;
    QImage* image = directTarget(painter, shift);
    if (!image && (image = turnedTarget(painter))) at = turnedPixel(painter.transform(), at);  // round: turns as it is
    if (!image) {
        painter.drawImage(at.x - 6, at.y - 6, circle.image);
        return;
    }
    const int w = image->width(), h = image->height();
    uchar* bits = image->bits();
    const qsizetype stride = image->bytesPerLine();
    for (const PointSprite::Pixel& p : circle.pixels) {
        const int x = at.x + shift.x() + p.dx, y = at.y + shift.y() + p.dy;
        if (x >= 0 && x < w && y >= 0 && y < h) reinterpret_cast<QRgb*>(bits + y * stride)[x] = p.colour;
    }
}

}  // namespace vexa
