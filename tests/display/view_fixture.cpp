#include "tests/display/view_fixture.h"

#include "geo/grid.h"
#include "util/text.h"

namespace vexa::testing {

ViewWorld::ViewWorld() {
    image.fill(Qt::white);
    frame.viewCentre = TrackPoint{kCentreX, kCentreY}, frame.mapScale = 1000;
    settings.itracemax = 2000;
}

ViewProjection ViewWorld::projection() const { return projectionAt(frame, kCentreX, kCentreY, 1000); }

void ViewWorld::addRoutePoint(int px, int py, LineKind kind) {
    TrackPoint& p = route.points[static_cast<std::size_t>(route.count++)];
    p.gridX = gridX(px), p.gridY = gridY(py), p.lineKind = kind;
    const GeodeticPoint geo = utm2llh({p.gridX, p.gridY}, grid);
    p.lon = geo.longitude, p.lat = geo.latitude;
}

void ViewWorld::addTracePoint(int px, int py, bool segmentStart) {
    TracePoint& p = trace.points[static_cast<std::size_t>(trace.next++)];
    p.gridX = gridX(px), p.gridY = gridY(py), p.segmentStart = segmentStart ? 1 : 0;
}

void ViewWorld::addPoi(const std::string& name, int px, int py, const std::string& volume) {
    if (pois.records.size() <= static_cast<std::size_t>(pois.count)) AllocPoiTab(pois, static_cast<std::size_t>(pois.count) + 1);
    PoiRecord& p = pois.records[static_cast<std::size_t>(pois.count++)];
    p.name = name, p.gridX = gridX(px), p.gridY = gridY(py), p.dbPath = volume;
}

bool ViewWorld::logHas(std::string_view line) const { return log.text().find(line) != std::string::npos; }

std::string viewRecord(const QImage& image, const DrawnTexts& drawn) {
    static const std::pair<const char*, QRgb> colours[] = {{"blue", kRouteBlue}, {"red", qRgb(255, 0, 0)},     {"yellow", kYellow},
                                                           {"grey", kGreyLine},  {"black", qRgb(0, 0, 0)}, {"poi", qRgb(220, 20, 20)},
                                                           {"rose", qRgb(240, 250, 20)}};
    QRect boxes[std::size(colours)];
    int counts[std::size(colours)] = {};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            for (std::size_t i = 0; i < std::size(colours); ++i)
                if (isColour(image, x, y, colours[i].second)) boxes[i] |= QRect(x, y, 1, 1), ++counts[i];
    std::string out;
    for (std::size_t i = 0; i < std::size(colours); ++i)
        if (counts[i] > 0)
            out += strprintf("%s %d,%d-%d,%d %d; ", colours[i].first, boxes[i].left(), boxes[i].top(), boxes[i].right(),
                             boxes[i].bottom(), counts[i]);
    for (const DrawnTexts::Entry& e : drawn.entries()) out += strprintf("\"%s\" %d,%d; ", e.text.c_str(), e.x, e.y);
    return out;
}

}  // namespace vexa::testing
