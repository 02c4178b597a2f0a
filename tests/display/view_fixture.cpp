#include "tests/display/view_fixture.h"

#include "geo/grid.h"

namespace vexa::testing {

ViewWorld::ViewWorld() {
    image.fill(Qt::white);
    frame.viewCentre = TrackPoint{kCentreX, kCentreY};
    frame.mapScale = 1000;
    settings.itracemax = 2000;
}

ViewProjection ViewWorld::projection() const { return projectionAt(frame, kCentreX, kCentreY, 1000); }

void ViewWorld::addRoutePoint(int px, int py, LineKind kind) {
    TrackPoint& p = route.points[static_cast<std::size_t>(route.count++)];
    p.gridX = gridX(px);
    p.gridY = gridY(py);
    p.lineKind = kind;
    const GeodeticPoint geo = utm2llh({p.gridX, p.gridY}, grid);
    p.lon = geo.longitude;
    p.lat = geo.latitude;
}

void ViewWorld::addTracePoint(int px, int py, bool segmentStart) {
    TracePoint& p = trace.points[static_cast<std::size_t>(trace.next++)];
    p.gridX = gridX(px);
    p.gridY = gridY(py);
    p.segmentStart = segmentStart ? 1 : 0;
}

void ViewWorld::addPoi(const std::string& name, int px, int py, const std::string& volume) {
    if (pois.records.size() <= static_cast<std::size_t>(pois.count)) AllocPoiTab(pois, static_cast<std::size_t>(pois.count) + 1);
    PoiRecord& p = pois.records[static_cast<std::size_t>(pois.count++)];
    p.name = name;
    p.gridX = gridX(px);
    p.gridY = gridY(py);
    p.dbPath = volume;
}

bool ViewWorld::logHas(std::string_view line) const { return log.text().find(line) != std::string::npos; }

int countColour(const QImage& image, const QRect& rect, QRgb colour) {
    int n = 0;
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
    return n;
}

}  // namespace vexa::testing
