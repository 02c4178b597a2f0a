#include "display/route_drawing.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>
#include <cmath>

#include <QPainter>
#include <QStaticText>

#include <string>
#include <unordered_map>

#include "display/icons.h"
#include "display/text_drawing.h"
#include "frame/frame_state.h"
#include "routes/guidance.h"
#include "routes/poi_record.h"
#include "routes/route_hits.h"
#include "routes/route_table.h"
#include "routes/thick_lines.h"
#include "routes/trace_table.h"
#include "util/text.h"

namespace vexa {

namespace {

const QColor kBlue(0, 0, 180);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 100);
const QColor kGrey(128, 128, 128);
const QColor kPoiRed(220, 20, 20);

// POI labels are laid out once per thread and font and then only drawn: shaping the same
// texts again for every frame would cost more than everything else a frame of POIs does.
void drawPoiLabel(QPainter& painter, int x, int y, std::string_view label) {
    thread_local std::unordered_map<std::string, QStaticText> laidOut;
    thread_local QFont laidOutFont;
    constexpr std::size_t kMostLabels = 4096;
    if (painter.font() != laidOutFont || laidOut.size() > kMostLabels) {
        laidOut.clear();
        laidOutFont = painter.font();
    }
    DrawnTexts::note(x, y, label);
    std::string key(label);
    auto it = laidOut.find(key);
    if (it == laidOut.end()) {
        QStaticText text(QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())));
        text.setTextFormat(Qt::PlainText);
        text.setPerformanceHint(QStaticText::AggressiveCaching);
        text.prepare(QTransform(), laidOutFont);
        it = laidOut.emplace(std::move(key), std::move(text)).first;
    }
    painter.drawStaticText(x, y, it->second);
}
constexpr int kPointRadius = 4;
constexpr int kCentreSearchSquared = 25;

QPen solidPen(const QColor& colour, int width) {
    QPen pen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    return pen;
}

struct Stroke {
    QColor colour;
    int width;
};

// The strokes of a leg by the line kind of its first point, laid over each other in order.
std::array<Stroke, 3> strokesOf(LineKind kind, int& count) {
    switch (kind) {
    case LineKind::Blue: count = 1; return {{{kBlue, 3}, {}, {}}};
    case LineKind::Path: count = 2; return {{{Qt::black, 4}, {Qt::white, 2}, {}}};
    case LineKind::Road: count = 2; return {{{Qt::black, 5}, {kYellow, 3}, {}}};
    case LineKind::MainRoad: count = 2; return {{{Qt::black, 6}, {kRed, 4}, {}}};
    case LineKind::Motorway: count = 3; return {{{Qt::black, 8}, {kRed, 6}, {Qt::black, 1}}};
    case LineKind::NotDrawn: break;
    }
    count = 0;
    return {};
}

void circle(QPainter& painter, ScreenPoint p) {
    painter.drawEllipse(QPoint(p.x, p.y), kPointRadius, kPointRadius);
}

void drawTarget(QPainter& painter, const RouteLayer& layer, const ViewProjection& view) {
    const TrackPoint& last = layer.route.points[static_cast<std::size_t>(layer.route.count - 1)];
    const ScreenPoint target = view.project(last.gridX, last.gridY);
    const ScreenPoint centre = view.project(view.centreX, view.centreY);
    painter.setPen(solidPen(kGrey, 3));
    painter.drawLine(target.x, target.y, centre.x, centre.y);
    painter.setPen(solidPen(kRed, 3));
    painter.setBrush(Qt::NoBrush);
    circle(painter, target);
    painter.drawImage(target.x - 12, target.y - 30, targetIcon());
}

}  // namespace

void show_route(QPainter& painter, RouteLayer& layer, const ViewProjection& view) {
    const RouteTable& route = layer.route;
    // Strokes gathered per line kind and stroke, drawn kind by kind; circles last, in order.
    std::array<std::array<ThickLines, 3>, 6> strokes;
    // Each point's circle as the last leg that drew it left it: 0 none, 1 blue, 2 red.
    std::vector<std::uint8_t> circles(layer.frame.showRoutePoints ? static_cast<std::size_t>(route.count) : 0, 0);
    std::vector<ScreenPoint> at(circles.size());
    ScreenPoint older = route.count > 0 ? view.project(route.points[0].gridX, route.points[0].gridY) : ScreenPoint{};
    for (int i = 1; i < route.count; ++i) {
        const TrackPoint& end = route.points[static_cast<std::size_t>(i)];
        const ScreenPoint newer = view.project(end.gridX, end.gridY);
        const ScreenPoint start = older;
        older = newer;
        if (end.gridX == 0.0 || !legInView(start, newer, view.rect)) continue;
        const LineKind kind = route.points[static_cast<std::size_t>(i - 1)].lineKind;
        int count = 0;
        const auto kinds = strokesOf(kind, count);
        for (int k = 0; k < count; ++k)
            strokes[static_cast<std::size_t>(kind)][static_cast<std::size_t>(k)].add(start, newer,
                                                                                   kinds[static_cast<std::size_t>(k)].width);
        if (layer.frame.showRoutePoints) {
            const auto n = static_cast<std::size_t>(i);
            if (view.rect.contains(newer)) {
                circles[n] = 1;
                at[n] = newer;
            }
            if (view.rect.contains(start)) {
                circles[n - 1] = layer.frame.selectedRoutePoint == i - 1 ? 2 : 1;
                at[n - 1] = start;
            }
        }
    }
    for (std::size_t kind = 0; kind < strokes.size(); ++kind) {
        int count = 0;
        const auto kinds = strokesOf(static_cast<LineKind>(kind), count);
        for (int k = 0; k < count; ++k)
            strokes[kind][static_cast<std::size_t>(k)].draw(painter, kinds[static_cast<std::size_t>(k)].colour, view.rect);
    }
    const PointSprite& blueCircle = pointCircle(kBlue.rgb(), 0);
    const PointSprite& redCircle = pointCircle(kRed.rgb(), 0);
    for (std::size_t n = 0; n < circles.size(); ++n)
        if (circles[n]) drawPointCircle(painter, at[n], circles[n] == 2 ? redCircle : blueCircle);
    if (route.count >= 1) {
        const TrackPoint& last = route.points[static_cast<std::size_t>(route.count - 1)];
        if (!layer.guidance.targetLineOff) {
            drawTarget(painter, layer, view);
            if (view.centreX != 0.0)
                layer.guidance.targetDistance =
                    gridDistance(layer.grid, view.centreX, view.centreY, last.gridX, last.gridY);
        }
    }
    painter.setPen(QPen(Qt::black, 1));
}

double showRouteDist(QPainter* painter, const RouteLayer& layer, const ViewProjection& view, int direction,
                     const ViewRect& visible) {
    const int selected = layer.frame.selectedRoutePoint;
    const bool hasSelection = selected >= 0 && selected < layer.route.count;
    const int summedTo = hasSelection ? selected : -1;
    const double sum = layer.distances ? (*layer.distances)(layer.route, layer.grid, summedTo, direction)
                                       : RouteDistance(layer.route, layer.grid, summedTo, direction);
    if (painter && hasSelection) {
        const TrackPoint& p = layer.route.points[static_cast<std::size_t>(selected)];
        const ScreenPoint at = view.project(p.gridX, p.gridY);
        const std::string text = strprintf("%0.2f km", sum * 0.001);
        // Below right of the point; on the other side where that would leave the screen.
        const QRect box = textRect(mapFont(), at.x + 10, at.y + 10, text);
        const int x = box.right() >= visible.right ? at.x - 10 - box.width() : box.left();
        const int y = box.bottom() >= visible.bottom ? at.y - 10 - box.height() : box.top();
        painter->setPen(Qt::black);
        painter->setFont(mapFont());
        drawTextAt(*painter, std::max(x, visible.left), std::max(y, visible.top), text);
    }
    return sum;
}

int DrawTraceLeg(TraceStrokes& strokes, const TraceTable& trace, const ViewProjection& view, int newer, int older,
                 bool findCentre, int& bestSquared) {
    const TracePoint& n = trace.points[static_cast<std::size_t>(newer)];
    if (n.segmentStart) return -1;
    const TracePoint& o = trace.points[static_cast<std::size_t>(older)];
    const ScreenPoint a = view.project(n.gridX, n.gridY);
    const ScreenPoint b = view.project(o.gridX, o.gridY);
    if (!view.rect.strictlyContains(a) && !view.rect.strictlyContains(b)) return -1;
    strokes.band.add(a, b, 5);
    (newer % 2 == 0 ? strokes.even : strokes.odd).add(a, b, 3);
    if (!findCentre) return -1;
    const int dx = a.x - view.rect.halfWidth(), dy = a.y - view.rect.halfHeight();
    const int squared = dx * dx + dy * dy;
    if (squared > bestSquared) return -1;
    bestSquared = squared;
    return newer;
}

void TraceStrokes::draw(QPainter& painter, const ViewRect& frame) {
    band.draw(painter, Qt::black, frame);
    even.draw(painter, kRed, frame);
    odd.draw(painter, kYellow, frame);
}

int show_trace(QPainter& painter, const TraceTable& trace, long itracemax, const ViewProjection& view,
               bool findCentre) {
    int best = kCentreSearchSquared;
    int found = -1;
    TraceStrokes strokes;
    auto leg = [&](int i) {
        const int hit = DrawTraceLeg(strokes, trace, view, i, i - 1, findCentre, best);
        if (hit >= 0) found = hit;
    };
    for (int i = trace.next - 1; i >= 1; --i) leg(i);
    if (trace.wrapped)
        for (int i = static_cast<int>(itracemax) - 1; i >= trace.next + 1; --i) leg(i);
    strokes.draw(painter, view.rect);
    painter.setPen(QPen(Qt::black, 1));
    return found;
}

void show_Poi(QPainter& painter, const PoiTable& pois, const ViewProjection& view, int labelPosition,
              const std::string& defaultVolume) {
    const int w = view.rect.halfWidth(), h = view.rect.halfHeight();
    const int count = std::min(pois.count, static_cast<int>(pois.records.size()));
    painter.setFont(mapFont());
    for (int i = 0; i < count; ++i) {
        const PoiRecord& poi = pois.records[static_cast<std::size_t>(i)];
        const ScreenPoint p = view.project(poi.gridX, poi.gridY);
        if (std::abs(p.x - w) >= w || std::abs(p.y - h) >= h) continue;  // cheap test first
        if (!poiIsShown(poi.name)) continue;
        drawPointCircle(painter, p, pointCircle(kBlue.rgb(), poi.dbPath == defaultVolume ? qRgb(255, 255, 255) : kPoiRed.rgb()));
        painter.setPen(Qt::black);
        if (labelPosition == 0)
            drawPoiLabel(painter, p.x - 14, p.y - 20, poiLabel(poi.name));
        else
            drawPoiLabel(painter, p.x - 20, p.y + 20, poiLabel(poi.name));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1));
}

}  // namespace vexa
