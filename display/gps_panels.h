// The parts of the GPS view: the satellite panel, the altitude and speed profiles and the
// battery gauge. The big-number display draws the profiles too.
#pragma once

#include <QRect>

class QPainter;

namespace vexa {

class DiagnosticText;
struct DateTime;
struct GpsState;
struct PowerStatus;
struct SatelliteState;

// What the satellite panel shows besides the satellite tables.
struct SatsInput {
    const GpsState& gps;
    const SatelliteState& satellites;
    bool portOpen = false;
    bool replaying = false;
    bool satelliteSentencesOff = false;  // GSA/GSV switched off in the log settings
    int utcSecond = 0;                   // the panel blinks on even seconds while waiting for a fix
};

inline constexpr QRect kSatsPanel{QPoint(98, 173), QPoint(217, 247)};  // (98,173)–(218,248)
inline constexpr int kMaxSatBars = 11;

void DrawSats(QPainter& painter, const SatsInput& in, DiagnosticText& log);

// One line per profile entry, newest at the right edge of `frame`, scaled to the maximum.
void DrawHProfile(QPainter& painter, const GpsState& gps, const QRect& frame);
// The speed profile with the average speed line and the maximum written at the top.
void DrawVProfile(QPainter& painter, const GpsState& gps, const QRect& frame, double averageSpeed);

// The battery outline of 15 × 40 with its top-left at (x, y), its charge and percentage,
// "+" on external power; without a battery a crossed-out outline.
void DrawBattery(QPainter& painter, const PowerStatus& power, int x, int y);

}  // namespace vexa
