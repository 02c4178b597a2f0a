// The records the views read, a white 400 × 400 frame to draw on, a projection of one pixel
// per metre around (500000, 5500000), and the record of what a drawing left.
#pragma once

#include <memory>

#include <QImage>
#include <QPainter>

#include "display/display_settings.h"
#include "display/text_drawing.h"
#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "frame/settings.h"
#include "geo/grid_context.h"
#include "gps/gps_state.h"
#include "gps/satellites.h"
#include "maps/map_table.h"
#include "maps/map_view.h"
#include "platform/testing/manual_clock.h"
#include "routes/guidance.h"
#include "routes/poi_record.h"
#include "routes/route_geometry.h"
#include "routes/route_table.h"
#include "routes/trace_table.h"

namespace vexa::testing {

inline constexpr double kCentreX = 500000.0;
inline constexpr double kCentreY = 5500000.0;

struct ViewWorld {
    std::unique_ptr<RouteTable> routePtr = std::make_unique<RouteTable>();
    std::unique_ptr<TraceTable> tracePtr = std::make_unique<TraceTable>();
    RouteTable& route = *routePtr;
    TraceTable& trace = *tracePtr;
    PoiTable pois;
    Settings settings;
    GpsState gps;
    LastPosition last;
    SatelliteState satellites;
    GridContext grid;
    MapTable maps;
    MapView view;
    FrameState frame;
    Guidance guidance;
    DisplaySettings display;
    PositionTexts texts;
    DiagnosticText log;
    ManualClock clock;
    QImage image{400, 400, QImage::Format_RGB32};
    DrawnTexts drawn;  // the texts drawn while the world exists

    ViewWorld();
    // Pixel (px, py) of the frame as a grid position.
    static double gridX(int px) { return kCentreX + (px - 200); }
    static double gridY(int py) { return kCentreY - (py - 200); }
    ViewProjection projection() const;
    // Appends a route point at frame pixel (px, py).
    void addRoutePoint(int px, int py, LineKind kind = LineKind::Blue);
    void addTracePoint(int px, int py, bool segmentStart = false);
    void addPoi(const std::string& name, int px, int py, const std::string& volume);
    bool logHas(std::string_view line) const;
};

// What a drawing left: for each colour of the views its bounding box and pixel count, then the
// texts drawn and where.
std::string viewRecord(const QImage& image, const DrawnTexts& drawn);
inline bool isColour(const QImage& image, int x, int y, QRgb colour) {
    return (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
}

inline constexpr QRgb kRouteBlue = qRgb(0, 0, 180);
inline constexpr QRgb kYellow = qRgb(255, 255, 100);
inline constexpr QRgb kGreyLine = qRgb(128, 128, 128);

}  // namespace vexa::testing
