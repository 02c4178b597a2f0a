#include "display/replay_buttons.h"

#include <algorithm>

#include <QPainter>
#include <QPainterPath>

#include "display/trace_replay.h"
#include "routes/route_table.h"
#include "routes/trace_table.h"

namespace vexa {

namespace {

constexpr int kRows = 4;  // fast, start, step, pause

bool isTrace(ReplayButton b) { return static_cast<int>(b) < kRows; }
int rowOf(ReplayButton b) { return static_cast<int>(b) % kRows; }

QPolygonF triangle(double left, double top, double width, double height) {
    return QPolygonF{{QPointF(left, top), QPointF(left + width, top + height / 2), QPointF(left, top + height)}};
}

// The glyph of a row, white on the button: ">>" fast, ">" start, ">|" step, "||" pause.
void drawGlyph(QPainter& p, const QRectF& r, int row) {
    const double u = r.width() / 8.0;
    const double top = r.top() + 2 * u;
    const double h = r.height() - 4 * u;
    QPainterPath path;
    switch (row) {
    case 0:
        path.addPolygon(triangle(r.left() + 1.5 * u, top, 2.5 * u, h));
        path.addPolygon(triangle(r.left() + 4 * u, top, 2.5 * u, h));
        break;
    case 1: path.addPolygon(triangle(r.left() + 2.5 * u, top, 3.5 * u, h)); break;
    case 2:
        path.addPolygon(triangle(r.left() + 2 * u, top, 3 * u, h));
        path.addRect(QRectF(r.left() + 5.2 * u, top, 0.9 * u, h));
        break;
    default:
        path.addRect(QRectF(r.left() + 2.3 * u, top, 1.2 * u, h));
        path.addRect(QRectF(r.left() + 4.5 * u, top, 1.2 * u, h));
        break;
    }
    p.fillPath(path, Qt::white);
}

}  // namespace

ReplayButtonLayout replayButtonLayout(int screenWidth, int screenHeight) {
    const int size = std::clamp(std::min(screenWidth, screenHeight) / 10, 20, 48);
    const int gap = size / 6;
    const int top = (screenHeight - (kRows * size + (kRows - 1) * gap)) / 2;
    ReplayButtonLayout layout;
    for (int i = 0; i < kReplayButtonCount; ++i) {
        const auto button = static_cast<ReplayButton>(i);
        const int left = isTrace(button) ? 2 + size + gap : 2;
        layout.rects[static_cast<std::size_t>(i)] = QRect(left, top + rowOf(button) * (size + gap), size, size);
    }
    return layout;
}

bool ReplayButtonsShown::shows(ReplayButton b) const {
    if (b == ReplayButton::TracePause) return tracePause;
    if (b == ReplayButton::RoutePause) return routePause;
    return isTrace(b) ? trace : route;
}

ReplayButtonsShown replayButtonsShown(const TraceTable& trace, const RouteTable& route, const ReplayControl& replay) {
    ReplayButtonsShown shown;
    shown.trace = trace.wrapped || trace.next > 1;
    shown.route = route.count > 1;
    const bool running = replay.replayDrawing.load();
    shown.tracePause = shown.trace && running && !replay.playingRoute;
    shown.routePause = shown.route && running && replay.playingRoute;
    return shown;
}

std::optional<ReplayButton> replayButtonAt(const ReplayButtonLayout& layout, const ReplayButtonsShown& shown, QPoint p) {
    for (int i = 0; i < kReplayButtonCount; ++i) {
        const auto button = static_cast<ReplayButton>(i);
        if (shown.shows(button) && layout[button].contains(p)) return button;
    }
    return std::nullopt;
}

void drawReplayButtons(QPainter& painter, const ReplayButtonLayout& layout, const ReplayButtonsShown& shown) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < kReplayButtonCount; ++i) {
        const auto button = static_cast<ReplayButton>(i);
        if (!shown.shows(button)) continue;
        const QRectF r = QRectF(layout[button]).adjusted(0.5, 0.5, -0.5, -0.5);
        // The trace in the trace's red, the route in the route's blue.
        painter.setPen(QPen(Qt::white, 1.0));
        painter.setBrush(isTrace(button) ? QColor(180, 20, 20, 210) : QColor(20, 20, 190, 210));
        painter.drawRoundedRect(r, r.width() / 6, r.width() / 6);
        drawGlyph(painter, r, rowOf(button));
    }
    painter.restore();
}

}  // namespace vexa
