#include "display/save_screen.h"

#include "display/screen_buffer.h"
#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "geo/grid_context.h"
#include "maps/render/map_frame.h"
#include "maps/render/view_3d.h"
#include "platform/clock.h"
#include "platform/ui.h"
#include "util/text.h"

namespace vexa {

namespace {

std::string timeStamped(const char* prefix, const DateTime& t) {
    return strprintf("%s_%4d%02d%02d_%02d%02d%02d.bmp", prefix, t.year, t.month, t.day, t.hour, t.minute,
                     t.second);
}

int redrawCommand(DisplayMode mode) {
    switch (mode) {
        case DisplayMode::Move: return kCmdRedrawMove;
        case DisplayMode::Karte: return kCmdRedrawKarte;
        case DisplayMode::Gps: return kCmdRedrawGps;
        case DisplayMode::Nmea: return kCmdRedrawNmea;
    }
    return kCmdRedrawMove;
}

}  // namespace

std::filesystem::path SaveScreen(MapFrameContext& ctx, CSTScreenBuffer& buffer, const std::string& baseName,
                                 const std::filesystem::path& vexaDirectory, bool showMessage, bool setTitle) {
    ctx.log.setCurrentOperation("SaveScreen");
    const DateTime now = ctx.clock.localNow();
    ctx.saving = true;
    const TrackPoint centre = ctx.frame.viewCentre;
    show_pos(ctx, centre, FrameReadings{});
    ctx.saving = false;

    const FrameState& frame = ctx.frame;
    std::filesystem::path file;
    int written = -1;
    // The buffer exists only while a copy is written.
    const int side = ctx.screen.side();
    buffer.Resize(side, side);
    if (frame.displayMode == DisplayMode::Move && frame.moveDisplayMode == 1) {
        file = vexaDirectory / timeStamped("Screen3D", now);
        // The 3D view of the whole square composed for the copy.
        QImage view(side, side, QImage::Format_RGB32);
        View3D(1, ctx.view3DParameter, ctx.screen.fullScreen, side).draw(ctx.canvas.buffer, QPoint(0, 0), view.rect(), view);
        buffer.CopyView(view);
        written = buffer.save(file.string(), 0, ctx.log);
    } else {
        if (frame.moveDisplayMode == 0) {
            const bool gaussKrueger = ctx.grid.LocalDatumGrid && !ctx.grid.Ed50Datum;
            const int zone = gaussKrueger ? ctx.grid.GkStrip : ctx.grid.UtmZone;
            const int half = static_cast<int>(frame.zoomFactor * side * 1000.0 / frame.mapScale * 0.5);
            const int west = static_cast<int>(centre.gridX - half);
            const int north = static_cast<int>(centre.gridY + half);
            const int scale = static_cast<int>(frame.mapScale / frame.zoomFactor);
            file = strprintf("%s_%d_%d_%d_%d_%d_%d.bmp", baseName.c_str(), zone, west, north, scale, side, side);
            if (setTitle)
                ctx.ui.setWindowTitle(
                    strprintf("karte__%d_%d_%d_%d_%d_%d.bmp", zone, west, north, scale, side, side));
        } else {
            file = vexaDirectory / timeStamped("ScreenCopy", now);
        }
        buffer.CopyScreen(ctx.canvas.buffer);
        written = buffer.save(file.string(), 1, ctx.log);
    }
    buffer.Release();
    if (showMessage) ctx.ui.messageBox(file.string(), "VEXA", MessageButtons::Ok, MessageIcon::None);
    ctx.ui.sendCommand(redrawCommand(frame.displayMode));
    return written == 0 ? file : std::filesystem::path();
}

}  // namespace vexa
