// Keeps labels and symbols from overlapping: a rectangle is placed only where it lies inside
// the picture and clear of everything placed before it. Labels must also lie within one
// tile, so that no map file shows half a name; symbols may cross a tile edge, since they
// mark a position.
#pragma once

#include <cmath>
#include <vector>

#include <QRectF>

namespace vexa::mapgen {

class LabelPlacer {
public:
    LabelPlacer(const QRectF& bounds, int tilePx) : bounds_(bounds), tilePx_(tilePx) {}

    bool fitsLabel(const QRectF& r) const {
        return tileOf(r.left()) == tileOf(r.right()) && tileOf(r.top()) == tileOf(r.bottom()) &&
               fitsSymbol(r);
    }
    bool fitsSymbol(const QRectF& r) const {
        if (!bounds_.contains(r)) return false;
        for (const QRectF& t : taken_)
            if (t.intersects(r)) return false;
        return true;
    }
    void occupy(const QRectF& r) { taken_.push_back(r); }

private:
    int tileOf(double px) const { return static_cast<int>(std::floor(px / tilePx_)); }

    QRectF bounds_;
    int tilePx_;
    std::vector<QRectF> taken_;
};

}  // namespace vexa::mapgen
