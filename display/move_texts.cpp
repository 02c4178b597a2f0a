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
#include "maps/render/map_view_layout.h"
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
    const int left = v.left() + kInfoLineLeft, width = v.width() - 2 * kInfoLineLeft;
    drawTextOn(painter, left, v.top() + kInfoLineTop,
               fittedText(lineFont(), map ? std::string(map->fileName()) : kNoMapForPosition, width), kTextBox);
    Fill_GeoUtmMsg(ctx.texts.geoText, ctx.display.coordFormat, ctx.last, ctx.gps, ctx.grid, ctx.maps);
    drawTextOn(painter, left, v.top() + kInfoLineTop + kInfoLineSpacing, fittedText(lineFont(), positionLine(ctx), width),
               kTextBox);
}

bool missingMapNotice(const MoveTextContext& ctx, bool mapFound) { return !mapFound && !ctx.maps.empty(); }

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
    if (missingMapNotice(ctx, mapFound))
        drawTextOn(painter, v.left() + kInfoLineLeft, v.top() + kInfoLineTop, kNoMapForPosition, kTextBox);
    if (!ctx.display.infoLine) return;
    // On a narrow screen the line takes the narrow font, and is cut only if even that is too wide.
    const std::string line = strprintf("%1.1fkm/h h=%1.0fm %1.2fkm %s", readings.speed,
                                       static_cast<double>(readings.altitude), readings.tripDistance * 0.001,
                                       readings.elapsedText.c_str());
    const int width = v.width() - 2 * kInfoLineLeft;
    if (textRect(mapFont(), 0, 0, line).width() > width) painter.setFont(lineFont());
    drawTextOn(painter, v.left() + kInfoLineLeft, v.top() + moveInfoLineTop(ctx.screen),
               fittedText(painter.font(), line, width), kTextBox);
}

}  // namespace vexa
