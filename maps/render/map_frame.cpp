#include "maps/render/map_frame.h"

#include <cmath>
#include <optional>

#include <QPainter>

#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "geo/datum.h"
#include "geo/grid_context.h"
#include "maps/drawing_semaphore.h"
#include "maps/map_selection.h"
#include "maps/render/map_drawing.h"
#include "maps/render/map_loading.h"
#include "maps/render/view_3d.h"
#include "maps/render/window_turn.h"
#include "platform/clock.h"
#include "util/text.h"

namespace vexa {

bool is3DView(const FrameState& frame) {
    return frame.displayMode == DisplayMode::Move &&
           (frame.moveDisplayMode == 1 || frame.moveDisplayMode == 4 || frame.moveDisplayMode == 7);
}

namespace {

void logAndShow(MapFrameContext& ctx, const std::string& text) {
    AddNmeaListLine(ctx.log, text);
    ctx.presenter.windowText(10, 20, text);
}

// Takes the drawing semaphore; after a timeout a stuck holder is released and the frame is
// drawn without it.
void acquireSemaphore(MapFrameContext& ctx) {
    if (!ctx.semaphore || ctx.semaphore->wait(ctx.semaphoreWait)) return;
    logAndShow(ctx, "show_pos WaitForSingleObject Timeout");
    const int error = ctx.semaphore->release();
    if (error != 0)
        logAndShow(ctx, strprintf("ReleaseSemaphore <%x> error <%ld> occured.", ctx.semaphore->handle(),
                                  static_cast<long>(error)));
}

void releaseSemaphore(MapFrameContext& ctx) {
    if (!ctx.semaphore) return;
    const int error = ctx.semaphore->release();
    if (error == 0 || error == DrawingSemaphore::kTooManyPosts) return;
    logAndShow(ctx, strprintf("ReleaseSemaphore <%x> error <%ld> occured.", ctx.semaphore->handle(),
                              static_cast<long>(error)));
    logAndShow(ctx, strprintf("CreateSemaphore hSema = <%x>", ctx.semaphore->recreate()));
}

char datumTagOf(const GridContext& grid) {
    if (!grid.LocalDatumGrid) return kDatumWgs84;
    return grid.Ed50Datum ? kDatumEd50 : kDatumPotsdam;
}

// Walks rows first..last through show_pos_UP; false when a load failed. The walk ends there: the
// rows that left the view have already given their images back.
bool walkRows(MapFrameContext& ctx, QPainter& painter, const TrackPoint& position, int first, int last) {
    for (int i = first; i <= last; ++i)
        if (!show_pos_UP(ctx, painter, i, position)) return false;
    return true;
}

// Dims what is drawn so far: each pixel AND the grey layer's pixel.
void combineAnd(QImage& buffer, const QImage& grey) {
    const int width = std::min(buffer.width(), grey.width());
    const int height = std::min(buffer.height(), grey.height());
    for (int y = 0; y < height; ++y) {
        QRgb* out = reinterpret_cast<QRgb*>(buffer.scanLine(y));
        const QRgb* in = reinterpret_cast<const QRgb*>(grey.constScanLine(y));
        for (int x = 0; x < width; ++x) out[x] &= in[x];
    }
}

// A turned view gets its background around the maps drawn so far before anything goes over
// them through the painter.
void fillAroundTurnedMaps(MapFrameContext& ctx) {
    if (ctx.canvas.turn) ctx.canvas.turn->fillAround(ctx.canvas.buffer, kMapBackground);
}

// `inView` is the size of the rectangle about the position whose maps are drawn.
void drawMaps(MapFrameContext& ctx, QPainter& painter, const TrackPoint& position, QSize inView) {
    ctx.canvas.images.sync(ctx.table);
    if (ctx.frame.overview) {
        fillAroundTurnedMaps(ctx);
        int resolution = 0;
        show_KarteOV(ctx, painter, position, &resolution);
        for (int i = 0; i <= ctx.table.lastIndex(); ++i) ctx.canvas.images.release(i);
        return;
    }
    ctx.view.CurrentRow = -1;
    if (ctx.table.empty()) return;
    int anyInView = 0;
    setMatchKarten(ctx.table, ctx.view, ctx.frame, ctx.grid, GridPoint{position.gridX, position.gridY}, 0, 0,
                   inView.width(), inView.height(), &anyInView);
    ctx.frame.mapScale = ctx.view.ShownResolution;

    const int last = ctx.table.lastIndex();
    // Maps that left the view go first, so the maps coming into view can reuse their memory.
    for (int i = 0; i <= last; ++i)
        if (!drawnInView(ctx.table.rows[static_cast<std::size_t>(i)], ctx.view)) show_pos_UP(ctx, painter, i, position);
    const int calibration = ctx.view.CalibrationRow;
    if (calibration < 0 || calibration > last) {
        walkRows(ctx, painter, position, 0, last);
        return;
    }
    if (walkRows(ctx, painter, position, 0, calibration - 1)) walkRows(ctx, painter, position, calibration + 1, last);
    if (ctx.canvas.grey.size() != ctx.canvas.buffer.size())
        Init_hdcCompGray(ctx.canvas, ctx.canvas.buffer.width(), ctx.canvas.buffer.height());
    fillAroundTurnedMaps(ctx);
    combineAnd(ctx.canvas.buffer, ctx.canvas.grey);
    show_pos_UP(ctx, painter, calibration, position);
}

// How the composed frame reaches the window.
enum class Output {
    Straight,  // the window's part as it is
    Mirrored,  // the window's part upside down (Move display mode 6)
    Turned,    // the window turned about the frame's middle
    View3D,
    None,      // a Move view that is being calibrated in a turned or 3D mode shows nothing new
};

// Stepping through the route turns the north-up view to each leg's course.
bool turnedToCourse(const FrameState& frame) {
    return frame.courseUp || (frame.moveDisplayMode == 0 && frame.routeStepping && !frame.calibrating);
}

Output outputOf(const MapFrameContext& ctx, bool view3D) {
    const FrameState& frame = ctx.frame;
    const int mode = frame.moveDisplayMode;
    if (frame.displayMode != DisplayMode::Move || (mode == 0 && !turnedToCourse(frame))) return Output::Straight;
    if (frame.calibrating) return Output::None;
    if (mode == 6) return Output::Mirrored;
    if (!ctx.turner) return Output::Straight;
    return view3D ? Output::View3D : Output::Turned;
}

double turnAngle(const FrameState& frame, float course) {
    return turnedToCourse(frame) ? frame.baseAngle - course : frame.baseAngle;
}

// The part of the square frame that is composed, in frame pixels. A window that shows the
// frame as it is (or mirrored) gets just its own rectangle; a turned view is composed through
// the turn onto the screen, its maps only in the bounding box of the turned window (with a
// margin for the rounding); the 3D view the band its window reads (with the maps of the whole
// square, as they decide the resolution shown); a screen copy the whole square.
struct ComposedArea {
    QRect image;       // the frame image's place in the square frame
    QRect maps;        // where maps are drawn
    QSize mapsInView;  // the maps touching this rectangle about the position are loaded
    bool turned;       // composed through the turn onto a screen-sized image
};

ComposedArea composedArea(const MapFrameContext& ctx, Output output, double angle,
                          const std::optional<View3D>& perspective) {
    const QRect all(0, 0, ctx.screen.side(), ctx.screen.side());
    if (ctx.saving) return {all, all, all.size(), false};
    if (output == Output::View3D) {
        // A window of sky still composes a pixel, for the layers' bookkeeping.
        QRect band = perspective->sourceArea(ctx.screen.visible());
        if (band.isEmpty()) band = QRect(0, 0, 1, 1);
        return {band, band, all.size(), false};
    }
    // The window's maps, with a pixel to spare on each side for the rounding.
    if (output != Output::Turned)
        return {ctx.screen.visible(), ctx.screen.visible(), ctx.screen.visible().size() + QSize(2, 2), false};
    const double c = std::abs(std::cos(angle * kDegToRad)), s = std::abs(std::sin(angle * kDegToRad));
    const int halfWidth = static_cast<int>((ctx.screen.width * c + ctx.screen.height * s) / 2) + 3;
    const int halfHeight = static_cast<int>((ctx.screen.width * s + ctx.screen.height * c) / 2) + 3;
    const int middle = ctx.screen.side() / 2;
    const QRect maps = QRect(middle - halfWidth, middle - halfHeight, 2 * halfWidth, 2 * halfHeight).intersected(all);
    return {ctx.screen.visible(), maps, maps.size(), true};
}

// In the course-up Move modes the compass goes over the frame, turning with it.
void drawCompass(MapFrameContext& ctx, QPainter& painter) {
    const int mode = ctx.frame.moveDisplayMode;
    if (ctx.frame.displayMode != DisplayMode::Move || ctx.frame.calibrating || (mode != 2 && mode != 5 && mode != 8) ||
        ctx.canvas.compass.isNull())
        return;
    painter.drawImage(ctx.screen.side() / 2 - ctx.canvas.compass.width() / 2, ctx.screen.visible().top() + 60,
                      ctx.canvas.compass);
}

// The replay buttons go over the picture as the window shows it, in the Move view while no
// port is open.
bool replayButtonsShown(MapFrameContext& ctx, Output output) {
    return ctx.frame.displayMode == DisplayMode::Move && output != Output::View3D && !ctx.gps.portOpen() &&
           ctx.overlays.hasReplayButtons();
}

void output(MapFrameContext& ctx, Output output, double angle, const ComposedArea& area,
            const std::optional<View3D>& perspective, const FrameReadings& readings) {
    const QPoint origin = area.image.topLeft();
    if (output != Output::View3D && !area.turned) {
        QPainter painter(&ctx.canvas.buffer);
        painter.translate(-origin);
        drawCompass(ctx, painter);
    }
    const bool buttons = replayButtonsShown(ctx, output);
    QImage& buffer = ctx.canvas.buffer;
    switch (output) {
        case Output::None:
            return;
        case Output::Straight:
        case Output::Mirrored: {
            // The window's part of the image; a screen copy keeps the composed frame as it is, so
            // the window then gets a picture of its own to mirror and draw the buttons on.
            QRect visible(ctx.screen.visible().topLeft() - origin, ctx.screen.visible().size());
            QImage own;
            QImage* shown = &buffer;
            if (ctx.saving && (output == Output::Mirrored || buttons)) {
                own = buffer.copy(visible);
                shown = &own;
                visible = own.rect();
            }
            if (output == Output::Mirrored) shown->mirror(true, true);
            if (buttons) {
                QPainter painter(shown);
                painter.translate(visible.topLeft());
                ctx.overlays.drawReplayButtons(painter);
            }
            ctx.presenter.present(*shown, visible);
            return;
        }
        case Output::Turned:
        case Output::View3D: {
            const TurnedFrameTarget target{ctx.presenter,     ctx.overlays, ctx.log, ctx.screen.width,
                                           ctx.screen.height, buttons,      readings};
            if (output == Output::View3D) {
                ctx.turner->show3D(buffer, origin, *perspective, target);
                // The band is not kept between frames; a screen copy keeps the square it saves.
                if (!ctx.saving) buffer = QImage();
            } else if (area.turned)
                ctx.turner->showScreen(buffer, ctx.screen.side(), target);
            else
                ctx.turner->showTurned(buffer, angle, target);
            return;
        }
    }
}

}  // namespace

void fitFrame(MapCanvas& canvas, QSize size, FramePresenter& presenter) {
    if (canvas.buffer.size() == size) return;
    canvas.buffer = QImage();  // let go of a picture of another size before taking one
    canvas.buffer = presenter.pictureToDrawInto(size);
}

void show_pos(MapFrameContext& ctx, const TrackPoint& position, const FrameReadings& readings) {
    ctx.log.setCurrentOperation("show_pos");
    acquireSemaphore(ctx);
    const std::uint32_t startTick = ctx.clock.tickCount();
    AddDebugLine(ctx.log, strprintf("show_pos Start Tick Count = <%ld>", static_cast<long>(startTick)));

    ctx.frame.viewCentre.gridX = position.gridX;
    ctx.frame.viewCentre.gridY = position.gridY;
    ctx.view.DatumTag = datumTagOf(ctx.grid);

    const bool view3D = is3DView(ctx.frame);
    const Output shownAs = outputOf(ctx, view3D);
    const double angle = turnAngle(ctx.frame, readings.course);
    std::optional<View3D> perspective;
    if (shownAs == Output::View3D)
        perspective.emplace(ctx.frame.moveDisplayMode, ctx.view3DParameter, ctx.screen.fullScreen, ctx.screen.side());
    const ComposedArea area = composedArea(ctx, shownAs, angle, perspective);
    // The 3D view's band is its own, taken for this frame: the window's spare picture stays for
    // the picture shown.
    if (perspective && !ctx.saving)
        ctx.canvas.buffer = QImage(area.image.size(), QImage::Format_RGB32);
    else
        fitFrame(ctx.canvas, area.image.size(), ctx.presenter);
    std::optional<WindowTurn> turn;
    if (area.turned) {
        turn.emplace(area.image.size(), ctx.screen.side(), angle);
        ctx.canvas.turn = &*turn;
        ctx.canvas.turnedMaps = area.maps;
    }
    {
        // Every layer draws in the square frame's pixels; the image holds only area.image, or
        // the window turned.
        QPainter painter(&ctx.canvas.buffer);
        if (turn) {
            painter.setTransform(turn->transform());
            drawMaps(ctx, painter, position, area.mapsInView);
            fillAroundTurnedMaps(ctx);
            ctx.canvas.turn = nullptr;
        } else {
            painter.translate(-area.image.topLeft());
            // The maps only where the window will show them; the layers over them draw
            // unclipped, which keeps their fast path into the pixels.
            const bool clipped = area.maps != area.image;
            if (clipped) painter.setClipRect(area.maps);
            painter.fillRect(area.maps, QColor(kMapBackground));
            drawMaps(ctx, painter, position, area.mapsInView);
            if (clipped) painter.setClipping(false);
        }
        ctx.canvas.images.dropSpares();
        if (ctx.table.empty()) DrawScale(ctx, painter, position);

        const bool positionsArrive = ctx.gps.portOpen() || (ctx.frame.replaying && !ctx.frame.replayPaused);
        const OverlayFrame overlay{position, readings, ctx.frame.mapScale, ctx.frame.zoomFactor,
                                   ctx.frame.verticalRatio, view3D, positionsArrive, ctx.saving};
        ctx.overlays.drawPois(painter, overlay);
        ctx.overlays.drawRoute(painter, overlay);
        ctx.overlays.drawTrace(painter, overlay);
        ctx.overlays.drawGuidance(painter, overlay);
        show_fadenkreuz(ctx, painter, readings.course);
        const bool move = ctx.frame.displayMode == DisplayMode::Move;
        if (move && (ctx.frame.moveDisplayMode == 0 || ctx.frame.moveDisplayMode == 6))
            ctx.overlays.drawBigNumbers(painter, overlay);
        if (!view3D) ctx.overlays.drawInfoTexts(painter, overlay);
        if (turn) drawCompass(ctx, painter);
    }
    output(ctx, shownAs, angle, area, perspective, readings);
    releaseSemaphore(ctx);

    const std::uint32_t endTick = ctx.clock.tickCount();
    const std::uint32_t elapsed = endTick - startTick;
    AddDebugLine(ctx.log, strprintf("show_pos Ende Tick Count = <%ld> deltatime = <%d>", static_cast<long>(endTick),
                                    static_cast<int>(elapsed)));
    if (ctx.frame.displayMode == DisplayMode::Move && ctx.gps.portOpen() && elapsed > kPurgeAfterMs) {
        AddNmeaListLine(ctx.log, "show_pos PurgeComm wegen Zeitüberschreitung");
        ctx.gps.restartSatelliteSequence();
        if (const int error = ctx.gps.purgeComm(); error != 0)
            ReportSystemError(ctx.log, __LINE__, error, "show_pos PurgeComm");
    }
}

}  // namespace vexa
