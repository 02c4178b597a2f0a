#include "display/big_display.h"

#include <string>
#include <vector>

#include <QPainter>

#include "display/gps_panels.h"
#include "display/text_drawing.h"
#include "frame/move_display.h"
#include "gps/gps_state.h"
#include "maps/render/frame_interfaces.h"
#include "maps/render/map_view_layout.h"
#include "util/text.h"

namespace vexa {

namespace {

constexpr int kLineHeight = 34;
const QColor kBox(255, 255, 255);

bool landscape(int mode) { return orientationOf(mode) == Orientation::Landscape; }
bool upsideDown(int mode) { return orientationOf(mode) == Orientation::UpsideDown; }

// The huge font for the orientation: turned in the landscape modes, upside down in modes 6–8,
// once the picture itself has been turned for the window.
FontRole hugeRole(int moveDisplayMode, bool afterOutput) {
    if (afterOutput && landscape(moveDisplayMode)) return FontRole::HugeTurned;
    if (afterOutput && upsideDown(moveDisplayMode)) return FontRole::HugeUpsideDown;
    return FontRole::Huge;
}

}  // namespace

// The panel turns with its font: the escapement runs counter-clockwise, Qt's rotation clockwise.
QTransform orientationTransform(int moveDisplayMode, bool afterOutput, ScreenSize screen) {
    QTransform t;
    const int tenths = fontEscapement(hugeRole(moveDisplayMode, afterOutput));
    if (tenths == 0) return t;
    const int middle = screen.frameSide() / 2;
    t.translate(middle, middle);
    t.rotate(-tenths / 10.0);
    t.translate(-middle, -middle);
    return t;
}

QRect orientedWindow(int moveDisplayMode, bool afterOutput, ScreenSize screen) {
    const bool swap = afterOutput && landscape(moveDisplayMode);
    const int side = screen.frameSide();
    const int w = swap ? screen.height : screen.width, h = swap ? screen.width : screen.height;
    return {(side - w) / 2, (side - h) / 2, w, h};
}

BigDisplayPlaces bigDisplayPlaces(int mode, const QRect& window, bool belowNotice) {
    BigDisplayPlaces places;
    const int lines = mode == 7 ? 4 : (mode >= 1 && mode <= 6 && mode != 4) ? 1 : 0;
    int y = window.top() + kInfoLineTop + (belowNotice ? kInfoLineSpacing : 0);
    for (int i = 0; i < lines; ++i, y += kLineHeight + 4) places.lines.push_back({window.left() + 4, y});
    if (mode == 2 || mode == 5) places.profile = QRect(window.left() + 4, y, 173, 32);
    return places;
}

void ShowBigDisplay(QPainter& painter, const GpsState& gps, const FrameReadings& readings, int mode,
                    int moveDisplayMode, bool afterOutput, ScreenSize screen, bool belowNotice) {
    const std::string speed = strprintf("%1.1f km/h", readings.speed);
    const std::string trip = strprintf("%1.2f km", readings.tripDistance * 0.001);
    const std::string altitude = strprintf("%1.0f m", static_cast<double>(readings.altitude));
    std::vector<std::string> lines;
    bool speedProfile = false, altitudeProfile = false;
    switch (mode) {
    case 1: lines = {speed}; break;
    case 2: lines = {speed}; speedProfile = true; break;
    case 3: lines = {trip}; break;
    case 5: lines = {altitude}; altitudeProfile = true; break;
    case 6: lines = {readings.elapsedText}; break;
    case 7: lines = {speed, trip, altitude, readings.elapsedText}; break;
    default: return;
    }
    painter.save();
    painter.setTransform(orientationTransform(moveDisplayMode, afterOutput, screen), true);
    const QRect window = orientedWindow(moveDisplayMode, afterOutput, screen);
    const BigDisplayPlaces places = bigDisplayPlaces(mode, window, belowNotice);
    painter.setFont(viewFont(hugeRole(moveDisplayMode, afterOutput)));
    painter.setPen(Qt::black);
    for (std::size_t i = 0; i < lines.size(); ++i)
        drawTextOn(painter, places.lines[i].x(), places.lines[i].y(), lines[i], kBox);
    const QRect profile = places.profile;
    if (speedProfile || altitudeProfile) painter.fillRect(profile, kBox);
    if (speedProfile) DrawVProfile(painter, gps, profile, gps.averageSpeed);
    if (altitudeProfile) DrawHProfile(painter, gps, profile);
    painter.restore();
}

}  // namespace vexa
