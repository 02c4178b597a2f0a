#include "display/bearing_drawing.h"

#include <cmath>

#include <QPainter>
#include <QPolygon>

#include "display/icons.h"
#include "display/text_drawing.h"
#include "routes/guidance.h"
#include "routes/route_geometry.h"
#include "routes/route_hits.h"
#include "routes/route_table.h"
#include "util/text.h"

namespace vexa {

namespace {

constexpr double kTwentyDegrees = 0.3490658503988667;
constexpr double kDegreesPerRadian = 57.295779513082195;
const QColor kRoseYellow(240, 250, 20);

QPoint onDial(double radius, double angle) {
    return {static_cast<int>(kDialCentre.x() + radius * std::sin(angle)), static_cast<int>(kDialCentre.y() - radius * std::cos(angle))};
}

// Bearing and distance from the view centre to the target; false without a route.
bool measureTarget(BearingLayer& layer, double& bearing) {
    if (layer.route.count <= 0) return false;
    const TrackPoint& target = layer.route.points[static_cast<std::size_t>(layer.route.count - 1)];
    bearing = gridBearing(layer.grid, layer.centre.gridX, layer.centre.gridY, target.gridX, target.gridY);
    layer.guidance.targetDistance =
        gridDistance(layer.grid, layer.centre.gridX, layer.centre.gridY, target.gridX, target.gridY);
    return true;
}

// Screen angle, counter-clockwise from the right, of bearing `b` degrees on a rose turned so
// that `course` points up.
QPointF onRose(QPointF centre, double radius, double course, double b) {
    double a = std::fmod(course + 90.0 - b, 360.0);
    if (a < 0) a += 360.0;
    const double r = a * kPi / 180.0;
    return {centre.x() + radius * std::cos(r), centre.y() - radius * std::sin(r)};
}

}  // namespace

void DrawBearing(QPainter& painter, BearingLayer& layer, float course, const QColor& background) {
    if (layer.compassStyle == 1) {
        DrawCompassRose(painter, layer, layer.roseOrigin.x(), layer.roseOrigin.y(), course);
        return;
    }
    painter.drawImage(20, 190, compassIcon());
    double bearing = 0.0;
    painter.setFont(mapFont());
    if (measureTarget(layer, bearing)) {
        painter.setPen(QPen(QColor(255, 0, 0), 3));
        painter.drawLine(kDialCentre, onDial(kDialRadius, bearing));
        painter.setPen(Qt::black);
        drawTextOn(painter, layer.distanceText.x(), layer.distanceText.y(),
                   targetDistanceText(layer.guidance.targetDistance), background);
    }
    const double c = course * kPi / 180.0;
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(onDial(kDialRadius, c + kPi), onDial(kDialRadius, c));
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawPolygon(QPolygon({onDial(kDialRadius, c), onDial(15, c + kTwentyDegrees), onDial(15, c - kTwentyDegrees)}));
    painter.setBrush(Qt::NoBrush);
    drawTextOn(painter, kCourseTextAt.x(), kCourseTextAt.y(), strprintf("%1d°", static_cast<int>(course)), background);
}

void DrawCompassRose(QPainter& painter, BearingLayer& layer, int x, int y, float course) {
    const QPointF centre(x + 50, y + 52);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRect(QPoint(x + 2, y + 3), QPoint(x + 97, y + 98)));
    painter.setBrush(Qt::black);
    painter.drawEllipse(centre, 2, 2);
    painter.setPen(QPen(QColor(128, 128, 128), 3));
    painter.drawLine(x + 50, y + 2, x + 50, y + 27);

    static const char* const kLabels[8] = {" N", "NO", " O", "SO", " S", "SW", " W", "NW"};
    painter.setFont(smallFont());
    for (int b = 0; b < 360; b += 15) {
        const bool main = b % 90 == 0, intermediate = !main && b % 45 == 0;
        const int length = main ? 12 : intermediate ? 16 : 8;
        painter.setPen(QPen(Qt::black, intermediate ? 2 : 1));
        painter.drawLine(onRose(centre, 45 - length, course, b), onRose(centre, 45, course, b));
        if (!main) continue;
        const QPointF at = onRose(centre, 27, course, b);
        if (b == 0) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(kRoseYellow);
            painter.drawEllipse(at, 8, 8);
        }
        painter.setPen(Qt::black);
        DrawnTexts::note(static_cast<int>(at.x()) - 9, static_cast<int>(at.y()) - 7, kLabels[b / 45]);
        painter.drawText(QRectF(at.x() - 9, at.y() - 7, 18, 14), Qt::AlignCenter,
                         QString::fromLatin1(kLabels[b / 45]).trimmed());
    }

    double bearing = 0.0;
    if (measureTarget(layer, bearing)) {
        drawTextAt(painter, kTargetTextAt.x(), kTargetTextAt.y(), targetDistanceText(layer.guidance.targetDistance));
        painter.setPen(QPen(QColor(255, 0, 0), 1));
        painter.setBrush(QColor(255, 0, 0));
        painter.drawEllipse(onRose(centre, 45, course, bearing * kDegreesPerRadian), 4, 4);
        if (layer.route.count > 2) {
            const int nearest = NearestRoutePoint(layer.route, {layer.centre.gridX, layer.centre.gridY}, layer.grid);
            const int next = std::min(nearest + 1, layer.route.count - 1);
            const TrackPoint& p = layer.route.points[static_cast<std::size_t>(next)];
            const double b = gridBearing(layer.grid, layer.centre.gridX, layer.centre.gridY, p.gridX, p.gridY) *
                             kDegreesPerRadian;
            // Red while the next point lies ahead (within 90° of the course), black behind.
            double off = std::fmod(std::fabs(b - course), 360.0);
            if (off > 180.0) off = 360.0 - off;
            painter.setPen(QPen(off <= 90.0 ? QColor(255, 0, 0) : QColor(Qt::black), 2));
            painter.drawLine(centre, onRose(centre, 38, course, b));
        }
    } else {
        painter.setPen(Qt::black);
        drawTextAt(painter, x + 35, y + 35, strprintf("%3.0f°", static_cast<double>(course)));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

}  // namespace vexa
