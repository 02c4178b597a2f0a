#include "display/move_texts.h"

#include <QImage>
#include <QPainter>

#include "display/display_settings.h"
#include "display/position_text.h"
#include "display/text_drawing.h"
#include "frame/frame_state.h"
#include "gps/gps_state.h"
#include "maps/map_table.h"
#include "maps/map_view.h"
#include "maps/render/frame_interfaces.h"
#include "routes/guidance.h"
#include "routes/route_table.h"
#include "util/text.h"

namespace vexa {

namespace {

const QColor kTextBox(255, 255, 255);

// The map of the current scale that the selection marked for the position, searched from the
// finest down.
const MapEntry* mapAtPosition(const MoveTextContext& ctx) {
    for (int i = ctx.maps.lastIndex(); i >= 0; --i) {
        const MapEntry& row = ctx.maps.rows[static_cast<std::size_t>(i)];
        if (row.containsPosition == 1 && row.resolution == ctx.frame.mapScale) return &row;
    }
    return nullptr;
}

std::string positionLine(const MoveTextContext& ctx) {
    const bool route = ctx.route.count > 0;
    const double km = ctx.guidance.targetDistance * 0.001;
    if (ctx.display.coordFormat == 0) {
        const std::string grid = std::string(ctx.gps.gridText.view());
        return route ? strprintf("%s %s Ziel: %1.2f km", gridLabel(ctx.grid), grid.c_str(), km)
                     : strprintf("%s %s", gridLabel(ctx.grid), grid.c_str());
    }
    return route ? strprintf("%s Ziel: %1.2f km", ctx.texts.geoText.c_str(), km) : ctx.texts.geoText;
}

}  // namespace

void DrawMoveText(QImage& screen, std::string_view text) {
    QPainter painter(&screen);
    painter.fillRect(QRect(0, 0, screen.width(), 20), Qt::white);
    painter.setPen(Qt::black);
    painter.setFont(mapFont());
    drawTextCentred(painter, 0, screen.width(), 3, text);
}

void Draw_Karte_Text(QPainter& painter, MoveTextContext& ctx, GridPoint position) {
    const GeodeticPoint geo = utm2llh(position, ctx.grid);
    ctx.last.latitude = geo.latitude;
    ctx.last.longitude = geo.longitude;
    ctx.last.grid = position;
    const QRect v = ctx.visible();
    painter.setPen(Qt::black);
    painter.setFont(lineFont());
    const MapEntry* map = mapAtPosition(ctx);
    drawTextOn(painter, v.left() + 2, v.top() + 22, map ? std::string(map->fileName()) : kNoMapForPosition, kTextBox);
    Fill_GeoUtmMsg(ctx.texts.geoText, ctx.display.coordFormat, ctx.last, ctx.gps, ctx.grid, ctx.maps);
    drawTextOn(painter, v.left() + 2, v.top() + 38, positionLine(ctx), kTextBox);
}

void ShowMoreInfo(QPainter& painter, MoveTextContext& ctx, GridPoint position, bool mapFound,
                  const FrameReadings& readings) {
    const DisplayMode mode = ctx.frame.displayMode.load();
    if (mode == DisplayMode::Karte) {
        Draw_Karte_Text(painter, ctx, position);
        return;
    }
    if (mode != DisplayMode::Move) return;
    const QRect v = ctx.visible();
    painter.setPen(Qt::black);
    painter.setFont(mapFont());
    if (!mapFound && !ctx.maps.empty()) drawTextOn(painter, v.left() + 2, v.top() + 22, kNoMapForPosition, kTextBox);
    if (ctx.display.infoLine)
        drawTextOn(painter, v.left() + 2, v.bottom() - 16,
                   strprintf("%1.1fkm/h h=%1.0fm %1.2fkm %s", readings.speed, static_cast<double>(readings.altitude),
                             readings.tripDistance * 0.001, readings.elapsedText.c_str()),
                   kTextBox);
}

}  // namespace vexa
