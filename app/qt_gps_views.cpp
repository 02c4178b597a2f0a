#include "app/qt_gps_views.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <utility>

#include <QFontMetrics>

#include "app/app_state.h"
#include "app/ui_thread.h"
#include "display/display_power.h"
#include "display/position_text.h"
#include "display/text_drawing.h"
#include "geo/grid_refresh.h"
#include "geo/sun_times.h"
#include "routes/trace_table.h"
#include "maps/map_selection.h"
#include "display/save_screen.h"
#include "maps/render/map_frame.h"
#include "platform/serial_port.h"

namespace vexa {

QtGpsViews::QtGpsViews(AppState& state, Ui& ui, ViewSink& sink)
    : state_(state),
      ui_(ui),
      sink_(sink),
      overlays_(ViewRecords{state.route, state.trace, state.pois, state.settings, state.gps, state.last,
                            state.grid, state.maps, state.mapView, state.frame, state.guidance, state.display,
                            state.texts, "vexapoi.cdb", 0, &state.replay}) {}

MapFrameContext QtGpsViews::context() {
    MapFrameContext ctx{state_.maps,   state_.mapView,     state_.frame, state_.grid,
                        state_.canvas, state_.diagnostics, ui_,          state_.clock,
                        &state_.semaphore, *this,          overlays_,    *this,
                        &turner_};
    const ScreenSize screen = state_.frame.screen;
    ctx.screen = ScreenGeometry{screen.width, screen.height, fullScreen_.load()};
    ctx.infoLineHeight = QFontMetrics(lineFont()).height();
    ctx.MapColourMode = state_.settings.iKartenFarben;
    return ctx;
}

void QtGpsViews::compose(const TrackPoint& position, const FrameReadings& readings) {
    MapFrameContext ctx = context();
    vexa::show_pos(ctx, position, readings);
}

std::filesystem::path QtGpsViews::saveScreen(const std::string& baseName,
                                             const std::filesystem::path& folder) {
    MapFrameContext ctx = context();
    return SaveScreen(ctx, state_.screenBuffer, baseName, folder, false, true);
}

void QtGpsViews::composeMapView(const TrackPoint& position) {
    FrameReadings readings;
    readings.course = state_.gps.course;
    readings.speed = state_.gps.speed;
    readings.altitude = static_cast<int>(state_.gps.altitude);
    readings.tripDistance = state_.gps.tripDistance;
    readings.elapsedText = std::string(state_.gps.elapsedText.view());
    compose(position, readings);
}

// Workers draw only while the window is active and no command dialog is open.
bool QtGpsViews::drawsNow() const { return state_.frame.active.load() && !state_.frame.dialogActive.load(); }

// A worker starts no frame while its last one still waits for the UI thread: that frame, the
// one shown and the one being drawn would be three screen-sized pictures. The UI thread draws
// the newest such drawing after taking the waiting frame, into the picture it gives back, and
// itself always draws at once.
bool QtGpsViews::leftForWindow(std::function<void()> draw) {
    return !onUiThread() && sink_.drawAfterPending(std::move(draw));
}

void QtGpsViews::show_pos(const PositionFrame& frame) {
    if (!drawsNow()) return;
    TrackPoint position;
    position.gridX = frame.grid.easting;
    position.gridY = frame.grid.northing;
    FrameReadings readings{frame.course, frame.speed, static_cast<int>(frame.altitude),
                           frame.tripDistance, std::string(frame.elapsedText)};
    compose(position, readings);
}

void QtGpsViews::composeAt(const ReplayFrame& frame) {
    if (!drawsNow() || leftForWindow([this, frame] { composeAt(frame); })) return;
    compose(frame.position, FrameReadings{frame.course, frame.speed, frame.altitude, frame.tripDistance,
                                          frame.elapsedText});
}

// The GPS view at a played trace entry: its grid text, geographic position, map and sun times.
void QtGpsViews::showGpsAt(const TracePoint& entry) {
    const GridContext& grid = state_.grid;
    const bool gaussKrueger = grid.LocalDatumGrid && !grid.Ed50Datum;
    state_.gps.gridText.format("%s %1.0f %1.0f", gaussKrueger ? "3" : "32", entry.gridX, entry.gridY);
    GeodeticPoint geo = utm2llh(GridPoint{entry.gridX, entry.gridY}, grid);
    if (gaussKrueger) geo = potsdamToWgs84(geo.longitude, geo.latitude);
    fillGeomsg(geo.longitude, geo.latitude, geo.longitude < 0 ? "W" : "E", geo.latitude < 0 ? "S" : "N");
    state_.gps.onMap = checkPosKarte(GridPoint{entry.gridX, entry.gridY});
    sunTimes_ = CalcSunrise(geo.latitude, geo.longitude, state_.clock, state_.settings.TimeZoneSetting,
                            state_.diagnostics);
    drawGpsView();
}

void QtGpsViews::ShowGps() { drawGpsView(); }

void QtGpsViews::drawGpsView() {
    if (!drawsNow() || leftForWindow([this] { drawGpsView(); })) return;
    GpsViewContext ctx{state_.gps,      state_.last,  state_.satellites, state_.settings, state_.grid,
                       state_.maps,     state_.route, state_.guidance,   state_.frame,    state_.display,
                       state_.texts,    state_.diagnostics, state_.clock, *this,          *this};
    ctx.sunTimes = sunTimes_;
    ctx.screenWidth = state_.frame.screen.width;
    ctx.screenHeight = state_.frame.screen.height;
    vexa::ShowGps(ctx, gpsView_);
}

void QtGpsViews::setSunTimes(std::string_view sunTimesText) { sunTimes_ = sunTimesText; }

void QtGpsViews::DrawMoveText(std::string_view text) { sink_.presentMoveText(std::string(text)); }

void QtGpsViews::fillGeomsg(double longitude, double latitude, std::string_view eastWest,
                            std::string_view northSouth) {
    vexa::fillGeomsg(state_.texts.geoText, state_.display.coordFormat, longitude, latitude, eastWest,
                     northSouth);
}

bool QtGpsViews::checkPosKarte(GridPoint position) {
    const ScreenSize screen = state_.frame.screen;
    return vexa::checkPosKarte(state_.maps, position, screen.width, screen.height, state_.frame.zoomFactor);
}

void QtGpsViews::refreshNmeaList() { sink_.refreshNmea(); }

void QtGpsViews::DisplayOnOff(bool off) { sink_.displayPower(off); }

bool QtGpsViews::onAcPower() {
    if (!power_) return gpsView_.onAcPower;
    power_->queryPower();
    return power_->onAcPower();
}

void QtGpsViews::present(QImage& image, const QRect& visible) {
    if (visible != image.rect()) {
        sink_.presentFrame(image.copy(visible));
        return;
    }
    sink_.presentFrame(std::exchange(image, QImage()));
}

// Taken only when a frame starts, so that at most two screen-sized pictures exist: the one
// shown and the one being drawn or waiting for the UI thread. A worker starts no frame while
// one waits; the UI thread draws at once, and its frame replaces the waiting one.
QImage QtGpsViews::pictureToDrawInto(QSize size) {
    QImage spare = sink_.spareFrame(size, onUiThread());
    if (!spare.isNull() && spare.format() == QImage::Format_RGB32) return spare;
    return FramePresenter::pictureToDrawInto(size);
}

bool QtGpsViews::portOpen() const { return state_.port.isOpen(); }

bool QtGpsViews::hasFix() const { return state_.gps.fixValid; }

int QtGpsViews::purgeComm() { return state_.port.purge().error; }

}  // namespace vexa
