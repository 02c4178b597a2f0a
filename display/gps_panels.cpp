#include "display/gps_panels.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include <QPainter>

#include "display/battery.h"
#include "display/text_drawing.h"
#include "util/diagnostic_text.h"
#include "gps/gps_state.h"
#include "gps/satellites.h"
#include "util/text.h"

namespace vexa {

namespace {

const QColor kNoFixRed(220, 20, 20);
const QColor kFixGreen(40, 200, 40);
const QColor kBarGrey(128, 128, 128);
constexpr int kProfileWidth = kProfileSize - 1;  // 170 pixels
constexpr int kBarWidth = 6, kBarPitch = 9, kBarMaxHeight = 48;
constexpr int kGaugeCells = 12, kGaugeCell = 8;

void panel(QPainter& painter, const QColor& colour) {
    painter.setPen(Qt::black);
    painter.setBrush(colour);
    painter.drawRect(kSatsPanel);
    painter.setBrush(Qt::NoBrush);
}

void usedGauge(QPainter& painter, int used, int x, int y) {
    for (int i = 0; i < kGaugeCells; ++i) {
        const QRect cell(x + i * kGaugeCell, y, kGaugeCell, kGaugeCell);
        painter.setPen(Qt::black);
        painter.setBrush(i < used ? QColor(Qt::black) : QColor(Qt::white));
        painter.drawRect(cell);
    }
    painter.setBrush(Qt::NoBrush);
}

void noSatelliteData(QPainter& painter, const SatsInput& in, DiagnosticText& log) {
    const GpsState& gps = in.gps;
    const int left = kSatsPanel.left() + 4, top = kSatsPanel.top() + 4;
    if (gps.fixValid) {
        panel(painter, kFixGreen);
        drawTextAt(painter, left, top, "Positions Fix");
        if (gps.ggaSeen) {
            drawTextAt(painter, left, top + 20, strprintf("%s Satelliten", std::string(gps.satellitesUsedText.view()).c_str()));
            usedGauge(painter, std::atoi(std::string(gps.satellitesUsedText.view()).c_str()), left, top + 42);
        }
        return;
    }
    panel(painter, in.utcSecond % 2 == 0 ? QColor(Qt::white) : kNoFixRed);
    if (!in.replaying) drawTextAt(painter, left, top, "Warte auf Fix");
    if (!gps.rmcSeen && !gps.ggaSeen && !in.replaying) {
        drawTextAt(painter, left, top + 20, "RMC/GGA aktivieren");
        AddNmeaListLine(log, "Tools->Einstellungen->Log Einstellungen");
        AddNmeaListLine(log, "$GPRMC oder $GPGGA aktivieren");
    }
}

// The in-view entries that get a bar: each satellite once (a receiver may report it on two
// signals), the strongest when there are more than bars, in the order the receiver sent them.
std::vector<int> strongestSatellites(const SatelliteState& sats) {
    std::vector<int> order;
    for (int i = 0; i < sats.inViewCount; ++i) {
        const SatelliteEntry& e = sats.inView[static_cast<std::size_t>(i)];
        const auto same = std::find_if(order.begin(), order.end(), [&](int j) {
            const SatelliteEntry& o = sats.inView[static_cast<std::size_t>(j)];
            return o.prn == e.prn && o.system == e.system;
        });
        if (same == order.end()) order.push_back(i);
        else if (e.snr > sats.inView[static_cast<std::size_t>(*same)].snr) *same = i;
    }
    if (order.size() > static_cast<std::size_t>(kMaxSatBars)) {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return sats.inView[static_cast<std::size_t>(a)].snr > sats.inView[static_cast<std::size_t>(b)].snr;
        });
        order.resize(kMaxSatBars);
        std::sort(order.begin(), order.end());
    }
    return order;
}

void satelliteBars(QPainter& painter, const SatsInput& in) {
    panel(painter, Qt::white);
    const SatelliteState& sats = in.satellites;
    painter.setFont(smallFont());
    const std::string mode = strprintf("%sd", std::string(sats.fixMode.view()).c_str());
    drawTextAt(painter, kSatsPanel.right() - 20, kSatsPanel.top() + 2, mode);
    const int base = kSatsPanel.top() + 56;
    const std::vector<int> shown = strongestSatellites(sats);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const SatelliteEntry& sat = sats.inView[static_cast<std::size_t>(shown[i])];
        const int x = kSatsPanel.left() + 3 + static_cast<int>(i) * kBarPitch;
        const int height = sat.snr * kBarMaxHeight / 100;
        painter.fillRect(QRect(x, base - height, kBarWidth, height), sat.used ? QColor(Qt::black) : kBarGrey);
        const std::string prn = strprintf("%02d", sat.prn % 100);
        painter.setPen(Qt::black);
        painter.setFont(smallBoldFont());
        drawTextAt(painter, x, base + 1, prn.substr(0, 1));
        drawTextAt(painter, x, base + 8, prn.substr(1, 1));
    }
}

// The ring's entry `age` steps before the newest.
int ringEntry(const std::array<int, kProfileSize>& ring, int next, int age) {
    const int index = ((next - 1 - age) % kProfileSize + kProfileSize) % kProfileSize;
    return ring[static_cast<std::size_t>(index)];
}

// A frame narrower than the ring shows its newest entries.
void profile(QPainter& painter, const std::array<int, kProfileSize>& ring, int next, int maximum, const QRect& frame) {
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
    painter.save();
    painter.setClipRect(frame.adjusted(1, 1, -1, -1));
    const int graphHeight = frame.height() - 2;
    const int base = frame.bottom() - 1;
    const int right = frame.right() - 1;
    for (int age = 0; age < kProfileWidth; ++age) {
        const int value = ringEntry(ring, next, age);
        const int height = maximum == 0 ? 0 : std::clamp(value * graphHeight / maximum, 0, graphHeight);
        if (height > 0) painter.drawLine(right - age, base, right - age, base - height + 1);
    }
    painter.restore();
}

// Profile labels stand on a white box: the profile's lines under them may be black.
const QColor kLabelBox(255, 255, 255);

}  // namespace

void DrawSats(QPainter& painter, const SatsInput& in, DiagnosticText& log) {
    painter.setFont(smallSystemFont());
    if (!in.portOpen && !in.replaying) {
        panel(painter, Qt::white);
        drawTextAt(painter, kSatsPanel.left() + 4, kSatsPanel.top() + 4, "GPS nicht aktiv");
        return;
    }
    if (in.satelliteSentencesOff || !in.gps.gsaSeen || !in.gps.gsvSeen) {
        noSatelliteData(painter, in, log);
        return;
    }
    satelliteBars(painter, in);
}

void DrawHProfile(QPainter& painter, const GpsState& gps, const QRect& frame) {
    profile(painter, gps.altitudeProfile, gps.altitudeProfileNext, gps.altitudeMax, frame);
}

void DrawVProfile(QPainter& painter, const GpsState& gps, const QRect& frame, double averageSpeed) {
    profile(painter, gps.speedProfile, gps.speedProfileNext, gps.speedMax, frame);
    painter.setFont(smallFont());
    if (averageSpeed > 0.0 && averageSpeed <= gps.speedMax) {
        const int graphHeight = frame.height() - 2;
        const int y = frame.bottom() - 1 - static_cast<int>(averageSpeed * graphHeight / gps.speedMax);
        painter.setPen(QPen(QColor(255, 0, 0), 1));
        painter.drawLine(frame.left() + 1, y, frame.right() - 1, y);
        painter.setPen(Qt::black);
        drawTextOn(painter, frame.left() + 2, std::max(frame.top() + 1, y - 11), strprintf("%1.1f", averageSpeed),
                   kLabelBox);
    }
    painter.setPen(Qt::black);
    const std::string maximum = strprintf("%1.0d", gps.speedMax);
    const int width = textRect(painter.font(), 0, 0, maximum).width();
    drawTextOn(painter, frame.right() - std::max(24, width + 1), frame.top() + 1, maximum, kLabelBox);
}

void DrawBattery(QPainter& painter, const PowerStatus& power, int x, int y) {
    const QRect body(x, y, 15, 40);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::black);
    painter.fillRect(QRect(x + 4, y - 3, 7, 3), Qt::black);
    painter.fillRect(body, Qt::white);
    painter.drawRect(body.adjusted(0, 0, -1, -1));
    painter.setFont(smallFont());
    if (power.hasBattery) {
        const int fill = std::min(40, static_cast<int>(power.percent * 0.4));
        painter.fillRect(QRect(x + 1, y + 40 - fill, 13, fill - 1 > 0 ? fill - 1 : 0), QColor(40, 200, 40));
        drawTextAt(painter, x - 2, y + 41, strprintf("%d", std::min(power.percent, 99)));
    } else {
        painter.setPen(QPen(QColor(128, 128, 128), 1));
        painter.drawLine(x + 2, y + 2, x + 12, y + 37);
        painter.drawLine(x + 12, y + 2, x + 2, y + 37);
        painter.setPen(Qt::black);
    }
    if (power.onAcPower) drawTextAt(painter, x + 3, y + 12, "+");
}

}  // namespace vexa
