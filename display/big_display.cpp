#include "display/big_display.h"

#include <string>
#include <vector>

#include <QPainter>

#include "display/gps_panels.h"
#include "display/text_drawing.h"
#include "gps/gps_state.h"
#include "maps/render/frame_interfaces.h"
#include "util/text.h"

namespace vexa {

namespace {

constexpr int kFrame = 400;
constexpr int kLineHeight = 34;
const QColor kBox(255, 255, 255);

bool landscape(int mode) { return mode >= 3 && mode <= 5; }
bool upsideDown(int mode) { return mode >= 6 && mode <= 8; }

// The huge font for the orientation: turned in the landscape modes, upside down in modes 6–8,
// once the picture itself has been turned for the window.
FontRole hugeRole(int moveDisplayMode, bool afterOutput) {
    if (afterOutput && landscape(moveDisplayMode)) return FontRole::HugeTurned;
    if (afterOutput && upsideDown(moveDisplayMode)) return FontRole::HugeUpsideDown;
    return FontRole::Huge;
}

}  // namespace

// The panel turns with its font: the escapement runs counter-clockwise, Qt's rotation clockwise.
QTransform orientationTransform(int moveDisplayMode, bool afterOutput) {
    QTransform t;
    const int tenths = fontEscapement(hugeRole(moveDisplayMode, afterOutput));
    if (tenths == 0) return t;
    t.translate(kFrame / 2, kFrame / 2);
    t.rotate(-tenths / 10.0);
    t.translate(-kFrame / 2, -kFrame / 2);
    return t;
}

QRect orientedWindow(int moveDisplayMode, bool afterOutput, int screenWidth, int screenHeight) {
    const bool swap = afterOutput && landscape(moveDisplayMode);
    const int w = swap ? screenHeight : screenWidth, h = swap ? screenWidth : screenHeight;
    return {(kFrame - w) / 2, (kFrame - h) / 2, w, h};
}

void ShowBigDisplay(QPainter& painter, const GpsState& gps, const FrameReadings& readings, int mode,
                    int moveDisplayMode, bool afterOutput, int screenWidth, int screenHeight) {
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
    painter.setTransform(orientationTransform(moveDisplayMode, afterOutput), true);
    const QRect window = orientedWindow(moveDisplayMode, afterOutput, screenWidth, screenHeight);
    painter.setFont(viewFont(hugeRole(moveDisplayMode, afterOutput)));
    painter.setPen(Qt::black);
    int y = window.top() + 22;
    for (const std::string& line : lines) {
        drawTextOn(painter, window.left() + 4, y, line, kBox);
        y += kLineHeight + 4;
    }
    const QRect profile(window.left() + 4, y, 173, 32);
    if (speedProfile || altitudeProfile) painter.fillRect(profile, kBox);
    if (speedProfile) DrawVProfile(painter, gps, profile, gps.averageSpeed);
    if (altitudeProfile) DrawHProfile(painter, gps, profile);
    painter.restore();
}

}  // namespace vexa
