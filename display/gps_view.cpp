#include "display/gps_view.h"

#include <algorithm>

#include <QPainter>
#include <QTransform>

#include "display/battery.h"
#include "display/display_settings.h"
#include "display/gps_layout.h"
#include "display/gps_panels.h"
#include "display/icons.h"
#include "display/position_text.h"
#include "display/text_drawing.h"
#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "frame/move_display.h"
#include "frame/settings.h"
#include "gps/gps_state.h"
#include "gps/satellites.h"
#include "maps/render/frame_interfaces.h"
#include "platform/clock.h"
#include "display/bearing_drawing.h"
#include "util/text.h"

namespace vexa {

namespace {

constexpr int kPurgeAfterMs = 700;

int largestOf(const std::array<int, kProfileSize>& ring) {
    return *std::max_element(ring.begin(), ring.begin() + (kProfileSize - 1));
}

void serveRequests(GpsState& gps, GpsViewRequests& requests) {
    if (requests.recomputeSpeedMax) gps.speedMax = largestOf(gps.speedProfile);
    if (requests.recomputeAltitudeMax) gps.altitudeMax = largestOf(gps.altitudeProfile);
    if (requests.resetTrip) {
        gps.tripStartSecond = 0;
        gps.tripDistance = 0.0;
        gps.elapsedText.assign("00:00:00");
    }
    requests = {};
}

std::string positionLine(GpsViewContext& ctx) {
    if (ctx.display.coordFormat == 0)
        return strprintf("%s %s", gridLabel(ctx.grid), std::string(ctx.gps.gridText.view()).c_str());
    fillGeomsg(ctx.texts.geoText, ctx.display.coordFormat, ctx.last.longitude, ctx.last.latitude,
               ctx.gps.eastWest.view(), ctx.gps.northSouth.view());
    return "GEO " + ctx.texts.geoText;
}

std::string speedText(double speed) { return speed < 100.0 ? strprintf("%1.1f", speed) : strprintf("%1.0f", speed); }

std::string tripText(double metres) {
    const double km = metres * 0.001;
    return km < 100.0 ? strprintf("%1.2f", km) : strprintf("%1.1f", km);
}

void put(QPainter& p, const GpsText& place, std::string_view text) {
    p.setFont(viewFont(place.font));
    drawTextAt(p, place.x, place.y, text);
}

void drawNumbers(QPainter& p, GpsViewContext& ctx) {
    const GpsState& gps = ctx.gps;
    p.setPen(Qt::black);
    put(p, kPositionText, positionLine(ctx));
    put(p, kSpeedUnitText, "km/h");
    put(p, kAltitudeUnitText, "H in m");
    put(p, kSpeedText, speedText(gps.speed));
    put(p, kAltitudeText, strprintf("%1.0f", static_cast<double>(gps.altitude)));
    put(p, kTripText, tripText(gps.tripDistance));
    put(p, kTripUnitText, "km");
    p.drawImage(kClockIcon.topLeft(), clockIcon());
    put(p, kElapsedText, gps.elapsedText.view());
    put(p, kFixTimeText, strprintf("%s %s", std::string(gps.fixTimeText.view()).c_str(),
                                   std::string(gps.fixDateText.view()).c_str()));
}

// The blocks are drawn as laid out for 240 × 320, each moved to its place for the screen.
void drawPicture(GpsViewContext& ctx, GpsViewState& state, QImage& picture) {
    const GpsViewLayout layout = gpsViewLayout({picture.width(), picture.height()});
    QPainter p(&picture);
    p.fillRect(picture.rect(), state.background);
    const QTransform zoom = QTransform::fromScale(layout.zoom, layout.zoom);
    p.setTransform(zoom);
    p.translate(layout.numbers);
    if (layout.showPicture) p.drawImage(kGpsPicture.topLeft(), gpsViewPicture());
    p.drawImage(kSunIcon.topLeft(), sunIcon());
    p.setPen(Qt::black);
    put(p, kSunTimesText, ctx.sunTimes);
    drawNumbers(p, ctx);
    p.setTransform(zoom);

    if (!layout.altitudeProfile.isEmpty()) {
        DrawHProfile(p, ctx.gps, layout.altitudeProfile);
        DrawVProfile(p, ctx.gps, layout.speedProfile, ctx.gps.averageSpeed);
    }
    p.translate(layout.dial);
    // The target is measured from the receiver's last position.
    const TrackPoint here{ctx.last.grid.easting, ctx.last.grid.northing};
    BearingLayer bearing{ctx.route, ctx.grid, here, ctx.guidance, ctx.display.compassStyle};
    p.setPen(Qt::black);
    put(p, kCourseLetterText, "K");
    DrawBearing(p, bearing, ctx.gps.course, state.background);
    const SatsInput sats{ctx.gps,
                         ctx.satellites,
                         ctx.link.portOpen(),
                         ctx.frame.replaying.load(),
                         ctx.settings.LGsaLogTime == -1,
                         ctx.clock.utcNow().second};
    DrawSats(p, sats, ctx.log);

    p.setPen(Qt::black);
    p.setBrush(ctx.gps.onMap ? QColor(Qt::black) : QColor(Qt::white));
    p.drawEllipse(kDialCentre, 7, 7);
    p.setBrush(Qt::NoBrush);
    p.setTransform(zoom);

    const PowerStatus power = readPowerStatus(ctx.powerSupplyDir);
    if (!power.known) AddNmeaListLine(ctx.log, "Could not get power status");
    state.onAcPower = power.onAcPower;
    if (layout.showBattery) DrawBattery(p, power, layout.battery.x(), layout.battery.y());
}

// The picture as the orientation shows it: turned a quarter (landscape), upside down, or as drawn.
QImage orientedPicture(const QImage& picture, Orientation orientation) {
    switch (orientation) {
    case Orientation::Landscape: return picture.transformed(QTransform().rotate(-90));
    case Orientation::UpsideDown: return picture.mirrored(true, true);
    case Orientation::Normal: break;
    }
    return picture;
}

}  // namespace

QColor gpsBackground(int iGpsBKColor, const QColor& previous) {
    switch (iGpsBKColor) {
    case 0: return {192, 192, 192};
    case 1: return {40, 200, 200};
    case 2: return {220, 20, 20};
    case 3: return {40, 200, 40};
    case 4: return Qt::white;
    default: return previous;
    }
}

void ShowGps(GpsViewContext& ctx, GpsViewState& state) {
    ctx.log.setCurrentOperation("ShowGps");
    const std::uint32_t start = ctx.clock.tickCount();
    AddDebugLine(ctx.log, "ShowGps Start");
    AddDebugLine(ctx.log, strprintf("ShowGps Start Tick Count = <%ld>", static_cast<long>(start)));

    serveRequests(ctx.gps, state.requests);
    state.background = gpsBackground(ctx.settings.iGpsBKColor, state.background);

    // The picture itself goes to the window, which may keep it; a copy shared with the window
    // would be copied again by the next drawing. Turned a quarter, the view is laid out for the
    // screen held sideways (width and height swapped), so that the turned picture fills it.
    const Orientation orientation = orientationOf(ctx.frame.moveDisplayMode);
    QImage picture = ctx.presenter.pictureToDrawInto(orientation == Orientation::Landscape
                                                         ? QSize(ctx.screenHeight, ctx.screenWidth)
                                                         : QSize(ctx.screenWidth, ctx.screenHeight));
    drawPicture(ctx, state, picture);
    picture = orientedPicture(picture, orientation);
    ctx.presenter.present(picture, picture.rect());

    const std::uint32_t end = ctx.clock.tickCount();
    const std::uint32_t elapsed = end - start;
    if (ctx.link.portOpen() && elapsed > kPurgeAfterMs) {
        AddNmeaListLine(ctx.log, "ShowGps PurgeComm wegen Zeitüberschreitung");
        ctx.link.restartSatelliteSequence();
        if (const int error = ctx.link.purgeComm(); error != 0)
            ReportSystemError(ctx.log, __LINE__, error, "ShowGps PurgeComm");
    }
    AddDebugLine(ctx.log, strprintf("ShowGps End Tick Count = <%ld> deltatime = <%d>", static_cast<long>(end),
                                    static_cast<int>(elapsed)));
}

}  // namespace vexa
