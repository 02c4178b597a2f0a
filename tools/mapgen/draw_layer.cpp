#include "tools/mapgen/draw_layer.h"

#include <algorithm>
#include <cmath>

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "geo/grid.h"
#include "tools/mapgen/label_placer.h"
#include "tools/mapgen/style.h"

namespace vexa::mapgen {

namespace {

// Points known to lie in open sea: the North Sea north of the East Frisian islands and the
// Bay of Lübeck. The sea is filled from those that fall inside the layer.
constexpr LonLat kSeaSeeds[] = {{7.30, 54.00}, {10.95, 54.05}};

class Projection {
public:
    Projection(const MapLayer& layer, const GridContext& grid) : layer_(layer), grid_(grid) {}

    QPointF fromGrid(double easting, double northing) const {
        const double k = layer_.resolution / 1000.0;
        return {(easting - layer_.left) * k, (layer_.top - northing) * k};
    }
    QPointF fromLonLat(LonLat p) const {
        const GridPoint g = llh2utm(p.lon, p.lat, 1, grid_);
        return fromGrid(g.easting, g.northing);
    }
    QPolygonF polygon(const Segment& s) const {
        QPolygonF out;
        out.reserve(static_cast<qsizetype>(s.points.size()));
        for (const LonLat& p : s.points) out << fromLonLat(p);
        return out;
    }

private:
    const MapLayer& layer_;
    const GridContext& grid_;
};

QFont makeFont(const QString& family, double px, bool bold) {
    QFont font(family);
    font.setPixelSize(static_cast<int>(std::lround(px)));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoFontMerging));
    return font;
}

// Text with a light halo, readable over lines and water. `origin` is the baseline start.
void drawHaloText(QPainter& painter, const QPointF& origin, const QFont& font,
                  const QString& text, const QColor& colour, double halo) {
    QPainterPath path;
    path.addText(origin, font, text);
    painter.strokePath(path, QPen(style::kHalo, halo, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(path, colour);
}

QRectF textBounds(const QFont& font, const QString& text) {
    QPainterPath path;
    path.addText(QPointF(0, 0), font, text);
    return path.boundingRect();
}

// 4-connected span fill of the pixels that have exactly the colour `from`.
void floodFill(QImage& image, QPoint seed, QRgb from, QRgb to) {
    if (!image.rect().contains(seed) || image.pixel(seed) != from || from == to) return;
    const int w = image.width();
    const int h = image.height();
    std::vector<QPoint> stack{seed};
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(p.y()));
        if (line[p.x()] != from) continue;
        int x0 = p.x();
        while (x0 > 0 && line[x0 - 1] == from) --x0;
        int x1 = p.x();
        while (x1 + 1 < w && line[x1 + 1] == from) ++x1;
        for (int x = x0; x <= x1; ++x) line[x] = to;
        for (const int y : {p.y() - 1, p.y() + 1}) {
            if (y < 0 || y >= h) continue;
            const auto* next = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = x0; x <= x1; ++x) {
                if (next[x] == from && (x == x0 || next[x - 1] != from)) stack.emplace_back(x, y);
            }
        }
    }
}

// Land everywhere, then the sea: the sea shores are drawn without smoothing, so that they
// close every gap, and the open water is filled from the sea seeds.
void drawSea(QImage& image, const MapData& data, const Projection& proj) {
    image.fill(style::kLand);
    {
        QPainter painter(&image);
        painter.setPen(QPen(style::kShore, 2.0));
        for (const Segment& s : data.shores)
            if (s.level == 1) painter.drawPolyline(proj.polygon(s));
    }
    for (const LonLat& seed : kSeaSeeds) {
        const QPointF p = proj.fromLonLat(seed);
        floodFill(image, QPoint(static_cast<int>(p.x()), static_cast<int>(p.y())),
                  style::kLand.rgb(), style::kWater.rgb());
    }
}

// Lakes (level 2) and the ponds on their islands (level 4) are filled, their islands (level 3)
// given back to the land; then every shore is drawn smooth.
void drawLakesAndShores(QPainter& painter, const MapData& data, const Projection& proj,
                        double scale) {
    painter.setPen(Qt::NoPen);
    for (int level = 2; level <= 4; ++level) {
        painter.setBrush(level == 3 ? style::kLand : style::kWater);
        for (const Segment& s : data.shores)
            if (s.level == level && isClosed(s)) painter.drawPolygon(proj.polygon(s));
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(style::kShore, 1.2 * scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const Segment& s : data.shores) painter.drawPolyline(proj.polygon(s));
}

void drawRivers(QPainter& painter, const MapData& data, const Projection& proj, double scale) {
    // Minor rivers first, so that the major ones lie on top where they meet.
    std::vector<const Segment*> order;
    for (const Segment& s : data.rivers) order.push_back(&s);
    std::stable_sort(order.begin(), order.end(), [](const Segment* a, const Segment* b) {
        return style::riverWidth(a->level) < style::riverWidth(b->level);
    });
    const double factor = scale * scale;  // rivers grow faster than text with the resolution
    for (const Segment* s : order) {
        QPen pen(style::isCanal(s->level) ? style::kCanal : style::kRiver,
                 style::riverWidth(s->level) * factor, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        if (style::isIntermittent(s->level)) pen.setDashPattern({3.0, 2.0});
        painter.setPen(pen);
        painter.drawPolyline(proj.polygon(*s));
    }
}

void drawBorders(QPainter& painter, const MapData& data, const Projection& proj, double scale) {
    QPen halo(style::kBorderHalo, 6.0 * scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    QPen dashes(style::kBorder, 2.2 * scale, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    dashes.setDashPattern({5.0, 2.5, 1.0, 2.5});
    for (const QPen& pen : {halo, dashes}) {
        painter.setPen(pen);
        for (const Segment& s : data.borders) painter.drawPolyline(proj.polygon(s));
    }
}

// Kilometre lines; every labelEveryKm kilometres a stronger one.
void drawGridLines(QPainter& painter, const MapLayer& layer, const Projection& proj) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int stepM = layer.gridKm * 1000;
    const int firstE = (layer.left + stepM - 1) / stepM * stepM;
    const int lastE = layer.left + layer.columns * layer.tileMetres();
    const int firstN = (layer.top - layer.rows * layer.tileMetres() + stepM - 1) / stepM * stepM;
    const int w = layer.widthPx();
    const int h = layer.heightPx();
    for (int e = firstE; e < lastE; e += stepM) {
        painter.setPen(QPen(e % (layer.labelEveryKm * 1000) == 0 ? style::kGridMajor : style::kGrid, 1));
        const int x = static_cast<int>(std::lround(proj.fromGrid(e, 0).x()));
        painter.drawLine(x, 0, x, h - 1);
    }
    for (int n = firstN; n < layer.top; n += stepM) {
        painter.setPen(QPen(n % (layer.labelEveryKm * 1000) == 0 ? style::kGridMajor : style::kGrid, 1));
        const int y = static_cast<int>(std::lround(proj.fromGrid(0, n).y()));
        painter.drawLine(0, y, w - 1, y);
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
}

// Every kilometre line is labelled with its value in km: eastings just below each stronger
// northing line, northings just above the line and right of each stronger easting line.
// Labels give way to the towns.
void drawGridLabels(QPainter& painter, const MapLayer& layer, const Projection& proj,
                    const QString& family, double scale, LabelPlacer& placer) {
    const QFont font = makeFont(family, style::kGridTextPx * std::min(scale, 1.2), false);
    const int stepM = layer.gridKm * 1000;
    const int labelM = layer.labelEveryKm * 1000;
    const int right = layer.left + layer.columns * layer.tileMetres();
    const int bottom = layer.top - layer.rows * layer.tileMetres();
    const double gap = 3.0 * scale;
    auto place = [&](const QString& text, QPointF corner, bool above) {
        const QRectF b = textBounds(font, text);
        const QPointF origin(corner.x() + gap - b.left(),
                             above ? corner.y() - gap - b.bottom() : corner.y() + gap - b.top());
        const QRectF box = b.translated(origin).adjusted(-2, -2, 2, 2);
        if (!placer.fitsLabel(box)) return;
        placer.occupy(box);
        drawHaloText(painter, origin, font, text, style::kGridText, 3.0);
    };
    for (int row = (bottom + labelM - 1) / labelM * labelM; row < layer.top; row += labelM) {
        for (int e = (layer.left + stepM - 1) / stepM * stepM; e < right; e += stepM)
            place(QString::number(e / 1000), proj.fromGrid(e, row), false);
    }
    for (int column = (layer.left + labelM - 1) / labelM * labelM; column < right; column += labelM) {
        for (int n = (bottom + stepM - 1) / stepM * stepM; n < layer.top; n += stepM)
            place(QString::number(n / 1000), proj.fromGrid(column, n), true);
    }
}

// Towns, most populous first: a dot and the name beside it, wherever the name finds room.
// A town whose name finds no room is left out, dot and all; the largest class always shows.
void drawTowns(QPainter& painter, const MapLayer& layer, const MapData& data,
               const Projection& proj, const QString& family, double scale, LabelPlacer& placer) {
    const QRectF picture(0, 0, layer.widthPx(), layer.heightPx());
    for (const Town& town : data.towns) {
        if (town.population < layer.minPopulation || (town.district && !layer.districts)) continue;
        const int cls = townClass(town.population);
        const double r = style::townRadius(cls) * scale;
        const QPointF c = proj.fromLonLat({town.lon, town.lat});
        const QRectF dot(c.x() - r - 1, c.y() - r - 1, 2 * r + 2, 2 * r + 2);
        if (!picture.contains(dot)) continue;

        const QFont font = makeFont(family, style::townTextPx(cls) * scale, style::townTextBold(cls));
        const QString name = QString::fromStdString(town.name);
        const QRectF b = textBounds(font, name);
        const double gap = r + 2.0 * scale;
        const double d = r * 0.75 + 1.0 * scale;
        const QPointF candidates[] = {
            {c.x() + gap - b.left(), c.y() - b.center().y()},       // right
            {c.x() - gap - b.right(), c.y() - b.center().y()},      // left
            {c.x() + d - b.left(), c.y() - d - b.bottom()},         // above right
            {c.x() + d - b.left(), c.y() + d - b.top()},            // below right
            {c.x() - b.center().x(), c.y() - gap - b.bottom()},     // above
            {c.x() - b.center().x(), c.y() + gap - b.top()},        // below
            {c.x() - d - b.right(), c.y() - d - b.bottom()},        // above left
            {c.x() - d - b.right(), c.y() + d - b.top()},           // below left
        };
        const QPointF* chosen = nullptr;
        QRectF box;
        if (placer.fitsSymbol(dot)) {
            for (const QPointF& origin : candidates) {
                box = b.translated(origin).adjusted(-2, -1, 2, 1);
                if (placer.fitsLabel(box)) {
                    chosen = &origin;
                    break;
                }
            }
        }
        if (!chosen && cls == 0) {
            chosen = &candidates[0];
            box = b.translated(*chosen);
        }
        if (!chosen) continue;
        placer.occupy(dot);
        placer.occupy(box);

        painter.setPen(QPen(style::kTownRing, 1.4 * scale));
        painter.setBrush(style::kTownFill);
        painter.drawEllipse(c, r, r);
        if (cls <= 1) {  // cities: a white centre in the dot
            painter.setPen(Qt::NoPen);
            painter.setBrush(style::kTownRing);
            painter.drawEllipse(c, r * 0.4, r * 0.4);
        }
        painter.setBrush(Qt::NoBrush);
        drawHaloText(painter, *chosen, font, name, style::kTownText, 3.5 * scale);
    }
}

}  // namespace

QImage drawLayer(const MapLayer& layer, const MapData& data, const GridContext& grid,
                 const QString& fontFamily) {
    QImage image(layer.widthPx(), layer.heightPx(), QImage::Format_RGB32);
    const Projection proj(layer, grid);
    const double scale = style::scaleFor(layer.resolution);
    drawSea(image, data, proj);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    drawLakesAndShores(painter, data, proj, scale);
    drawRivers(painter, data, proj, scale);
    drawBorders(painter, data, proj, scale);
    drawGridLines(painter, layer, proj);
    LabelPlacer placer(QRectF(0, 0, layer.widthPx(), layer.heightPx()), layer.tilePx);
    drawTowns(painter, layer, data, proj, fontFamily, scale, placer);
    drawGridLabels(painter, layer, proj, fontFamily, scale, placer);
    painter.end();
    return image;
}

}  // namespace vexa::mapgen
