#include "app/button_icons.h"

#include <QPainter>
#include <QPainterPath>

#include "app/command_ids.h"
#include "frame/move_display.h"

namespace vexa {

namespace {

int angleOf(Orientation orientation) {
    switch (orientation) {
    case Orientation::Landscape: return -90;
    case Orientation::UpsideDown: return 180;
    case Orientation::Normal: break;
    }
    return 0;
}

// The Move button: an arrow pointing up the screen, with the kind's mark.
void drawMoveGlyph(QPainter& p, MoveKind kind) {
    QPainterPath arrow;
    arrow.moveTo(0, -9);
    arrow.lineTo(6, 5);
    arrow.lineTo(0, 2);
    arrow.lineTo(-6, 5);
    arrow.closeSubpath();
    switch (kind) {
    case MoveKind::NorthUp:
        p.fillPath(arrow, QColor(200, 20, 20));
        p.setFont(QFont("DejaVu Sans", 6, QFont::Bold));
        p.drawText(QRectF(-6, 3, 12, 8), Qt::AlignCenter, "N");
        break;
    case MoveKind::View3D: {
        const QPointF road[] = {{-3, -9}, {3, -9}, {9, 9}, {-9, 9}};
        p.setBrush(QColor(90, 90, 90));
        p.drawPolygon(road, 4);
        p.setPen(QPen(Qt::white, 1.5));
        p.drawLine(QPointF(0, -7), QPointF(0, 7));
        break;
    }
    case MoveKind::CourseUp:
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(0, 0), 10, 10);
        p.fillPath(arrow, QColor(0, 0, 180));
        break;
    }
}

void drawGlyph(QPainter& p, int buttonId, MoveKind kind) {
    p.setPen(QPen(Qt::black, 1.5));
    switch (buttonId) {
    case cmd::Tools:
        for (int y : {-6, 0, 6}) p.drawLine(QPointF(-8, y), QPointF(8, y));
        break;
    case cmd::NmeaView:
        p.setFont(QFont("DejaVu Sans Mono", 7, QFont::Bold));
        p.drawText(QRectF(-11, -11, 22, 22), Qt::AlignCenter, "$GP");
        break;
    case cmd::GpsView:
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(0, 0), 9, 9);
        p.drawEllipse(QPointF(0, 0), 4, 4);
        p.setBrush(QColor(40, 200, 40));
        p.drawEllipse(QPointF(4, -6), 2.5, 2.5);
        break;
    case cmd::MoveStep:
        drawMoveGlyph(p, kind);
        break;
    case cmd::KarteView:
        p.setBrush(QColor(40, 200, 200));
        p.drawRect(QRectF(-9, -9, 18, 18));
        p.drawLine(QPointF(-9, 0), QPointF(9, 0));
        p.drawLine(QPointF(0, -9), QPointF(0, 9));
        p.setBrush(QColor(220, 20, 20));  // the position, in the north-east square
        p.drawEllipse(QPointF(4.5, -4.5), 2.5, 2.5);
        break;
    case cmd::ZoomIn:
        p.setPen(QPen(Qt::black, 3));
        p.drawLine(QPointF(-7, 0), QPointF(7, 0));
        p.drawLine(QPointF(0, -7), QPointF(0, 7));
        break;
    case cmd::ZoomReset:
        p.setPen(QPen(Qt::black, 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(0, 0), 6, 6);
        break;
    case cmd::ZoomOut:
        p.setPen(QPen(Qt::black, 3));
        p.drawLine(QPointF(-7, 0), QPointF(7, 0));
        break;
    case cmd::Poi: {
        p.setBrush(QColor(220, 20, 20));
        p.drawEllipse(QPointF(0, -3), 5, 5);
        p.drawLine(QPointF(0, 2), QPointF(0, 10));
        break;
    }
    default:
        break;
    }
}

}  // namespace

QImage buttonImage(int buttonId, int strip, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const int mode = modeOfStrip(strip) < 0 ? 0 : modeOfStrip(strip);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(size / 2.0, size / 2.0);
    p.scale(size / 24.0, size / 24.0);
    p.rotate(angleOf(orientationOf(mode)));
    drawGlyph(p, buttonId, kindOf(mode));
    return image;
}

}  // namespace vexa
