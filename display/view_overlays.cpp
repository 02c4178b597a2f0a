#include "display/view_overlays.h"

#include <algorithm>

#include <QPainter>

#include "display/big_display.h"
#include "display/display_settings.h"
#include "display/move_texts.h"
#include "display/replay_buttons.h"
#include "display/trace_replay.h"
#include "frame/frame_state.h"
#include "frame/settings.h"
#include "maps/map_table.h"
#include "maps/map_view.h"
#include "routes/guidance.h"
#include "routes/poi_record.h"
#include "display/route_drawing.h"
#include "routes/route_hits.h"
#include "routes/route_table.h"
#include "routes/trace_table.h"

namespace vexa {

namespace {

ViewProjection projectionOf(const OverlayFrame& f, ScreenSize screen) {
    ViewProjection p;
    const int side = screen.frameSide();
    p.rect = ViewRect{0, 0, side, side};
    p.centreX = f.position.gridX;
    p.centreY = f.position.gridY;
    p.scale = f.mapScale;
    p.zoomFactor = f.zoomFactor;
    p.verticalRatio = f.verticalRatio;
    return p;
}

}  // namespace

void ViewOverlays::drawPois(QPainter& painter, const OverlayFrame& f) {
    if (!r_.frame.showPois || r_.pois.count <= 0) return;
    show_Poi(painter, r_.pois, projectionOf(f, r_.frame.screen), r_.poiLabelPosition, r_.defaultPoiVolume);
}

void ViewOverlays::drawRoute(QPainter& painter, const OverlayFrame& f) {
    RouteLayer layer{r_.route, r_.grid, r_.frame, r_.guidance};
    show_route(painter, layer, projectionOf(f, r_.frame.screen));
}

void ViewOverlays::drawTrace(QPainter& painter, const OverlayFrame& f) {
    if (r_.trace.empty()) return;
    // The Karte view also looks for a trace point at its centre; nothing here asks for it.
    const bool karte = r_.frame.displayMode.load() == DisplayMode::Karte;
    show_trace(painter, r_.trace, r_.settings.itracemax, projectionOf(f, r_.frame.screen), karte);
}

void ViewOverlays::drawGuidance(QPainter& painter, const OverlayFrame& f) {
    if (f.positionsArrive) {
        r_.frame.selectedRoutePoint = -1;
        r_.guidance.distanceMarkCleared = true;
    }
    if (f.view3D || r_.route.count <= 0) return;
    if (r_.frame.selectedRoutePoint == -1) {
        r_.frame.selectedRoutePoint = NearestRoutePoint(r_.route, {f.position.gridX, f.position.gridY}, r_.grid);
        r_.guidance.distanceMarkCleared = true;
    }
    const RouteLayer layer{r_.route, r_.grid, r_.frame, r_.guidance, &routeDistance_};
    const ScreenSize screen = r_.frame.screen;
    const ViewRect visible{screen.left(), screen.top(), screen.left() + screen.width, screen.top() + screen.height};
    showRouteDist(&painter, layer, projectionOf(f, screen), 0, visible);
}

void ViewOverlays::drawBigNumbers(QPainter& painter, const OverlayFrame& f) {
    if (!r_.display.bigInfo) return;
    ShowBigDisplay(painter, r_.gps, f.readings, r_.display.infoPage, r_.frame.moveDisplayMode, false,
                   r_.frame.screen, missingMapNotice(textContext(), mapUnderPosition()));
}

void ViewOverlays::drawInfoTexts(QPainter& painter, const OverlayFrame& f) {
    MoveTextContext ctx = textContext();
    ShowMoreInfo(painter, ctx, {f.position.gridX, f.position.gridY}, mapUnderPosition(), f.readings);
}

MoveTextContext ViewOverlays::textContext() const {
    return MoveTextContext{r_.gps,   r_.last,     r_.grid,    r_.maps,  r_.view,         r_.frame,
                           r_.route, r_.guidance, r_.display, r_.texts, r_.frame.screen};
}

// The chosen row is set whenever maps are loaded; what counts is a map under the position.
bool ViewOverlays::mapUnderPosition() const {
    const auto rows = r_.maps.rows.begin();
    return std::any_of(rows, rows + (r_.maps.lastIndex() + 1),
                       [](const MapEntry& row) { return row.containsPosition != 0; });
}

void ViewOverlays::drawInfoPanel(QPainter& painter, const FrameReadings& readings) {
    if (!r_.display.bigInfo) return;
    ShowBigDisplay(painter, r_.gps, readings, r_.display.infoPage, r_.frame.moveDisplayMode, true,
                   r_.frame.screen);
}

bool ViewOverlays::hasReplayButtons() const {
    if (!r_.replay) return false;
    const ReplayButtonsShown shown = replayButtonsShown(r_.trace, r_.route, *r_.replay);
    return shown.trace || shown.route;
}

void ViewOverlays::drawReplayButtons(QPainter& painter) {
    if (!r_.replay) return;
    vexa::drawReplayButtons(painter, replayButtonLayout(r_.frame.screen.width, r_.frame.screen.height),
                            replayButtonsShown(r_.trace, r_.route, *r_.replay));
}

}  // namespace vexa
