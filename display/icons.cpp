#include "display/icons.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPainterPath>

#include "display/text_drawing.h"

namespace vexa {

namespace {

QImage transparentImage(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage makeTargetIcon() {
    QImage image = transparentImage(24, 30);
    QPainter p(&image);
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(12, 2, 12, 29);
    // A chequered flag waving to the right of the pole.
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            p.fillRect(13 + col * 3, 2 + row * 3, 3, 3, (row + col) % 2 ? Qt::white : Qt::black);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(13, 2, 9, 9);
    return image;
}

QImage makeCompassIcon() {
    QImage image = transparentImage(61, 63);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(30, 31);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawEllipse(c, 29, 29);
    for (int deg = 0; deg < 360; deg += 30) {
        const double a = deg * M_PI / 180.0;
        const double inner = deg % 90 == 0 ? 22 : 25;
        p.drawLine(QPointF(c.x() + inner * std::sin(a), c.y() - inner * std::cos(a)),
                   QPointF(c.x() + 29 * std::sin(a), c.y() - 29 * std::cos(a)));
    }
    p.setFont(smallBoldFont());
    p.drawText(QRectF(c.x() - 5, c.y() - 22, 10, 9), Qt::AlignCenter, QStringLiteral("N"));
    p.drawText(QRectF(c.x() - 5, c.y() + 13, 10, 9), Qt::AlignCenter, QStringLiteral("S"));
    p.drawText(QRectF(c.x() + 13, c.y() - 5, 10, 9), Qt::AlignCenter, QStringLiteral("O"));
    p.drawText(QRectF(c.x() - 23, c.y() - 5, 10, 9), Qt::AlignCenter, QStringLiteral("W"));
    return image;
}

QImage makeSunIcon() {
    QImage image = transparentImage(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(230, 140, 0), 1.5));
    for (int deg = -90; deg <= 90; deg += 45) {
        const double a = deg * M_PI / 180.0;
        p.drawLine(QPointF(8 + 5.5 * std::sin(a), 11 - 5.5 * std::cos(a)),
                   QPointF(8 + 7.5 * std::sin(a), 11 - 7.5 * std::cos(a)));
    }
    p.setBrush(QColor(250, 200, 0));
    p.drawPie(QRectF(4, 7, 8, 8), 0, 180 * 16);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(0, 15, 15, 15);
    return image;
}

QImage makeClockIcon() {
    QImage image = transparentImage(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 8), 7, 7);
    p.drawLine(QPointF(8, 8), QPointF(8, 3.5));
    p.drawLine(QPointF(8, 8), QPointF(11.5, 8));
    return image;
}

QImage makeGpsViewPicture() {
    QImage image = transparentImage(100, 48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor line(0, 0, 0, 70);
    const QColor fill(0, 0, 0, 30);
    // The earth's rim along the bottom and the orbit above it.
    p.setPen(QPen(line, 1.5));
    p.setBrush(fill);
    p.drawEllipse(QRectF(2, 38, 96, 40));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(line, 1, Qt::DashLine));
    p.drawArc(QRectF(4, 6, 92, 60), 15 * 16, 150 * 16);
    // The satellite, turned a little: body, two solar wings with their cells, antenna.
    p.save();
    p.translate(60, 9);
    p.rotate(-20);
    p.setPen(QPen(line, 1));
    p.setBrush(fill);
    p.drawRect(QRectF(-5, -5, 10, 10));
    for (const double side : {-1.0, 1.0}) {
        const double inner = side * 5, outer = side * 25;
        p.drawLine(QPointF(inner, 0), QPointF(side * 8, 0));
        const QRectF wing(QPointF(std::min(side * 8, outer), -4), QPointF(std::max(side * 8, outer), 4));
        p.drawRect(wing);
        for (int cell = 1; cell < 4; ++cell) {
            const double x = wing.left() + wing.width() * cell / 4;
            p.drawLine(QPointF(x, wing.top()), QPointF(x, wing.bottom()));
        }
    }
    p.drawLine(QPointF(0, 5), QPointF(0, 9));
    p.drawEllipse(QPointF(0, 10), 2, 1.2);
    p.restore();
    // Its signal going down from the antenna to the earth.
    const QPointF antenna(63.4, 18.4);
    p.setPen(QPen(line, 1.2));
    for (int r = 5; r <= 15; r += 5)
        p.drawArc(QRectF(antenna.x() - r, antenna.y() - r, 2 * r, 2 * r), 240 * 16, 60 * 16);
    return image;
}

}  // namespace

const QImage& targetIcon() {
    static const QImage icon = makeTargetIcon();
    return icon;
}

const QImage& compassIcon() {
    static const QImage icon = makeCompassIcon();
    return icon;
}

const QImage& sunIcon() {
    static const QImage icon = makeSunIcon();
    return icon;
}

const QImage& clockIcon() {
    static const QImage icon = makeClockIcon();
    return icon;
}

const QImage& gpsViewPicture() {
    static const QImage picture = makeGpsViewPicture();
    return picture;
}

}  // namespace vexa
