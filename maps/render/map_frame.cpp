#include "maps/render/map_frame.h"

#include <cmath>

#include <QPainter>

#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "geo/datum.h"
#include "geo/grid_context.h"
#include "maps/drawing_semaphore.h"
#include "maps/map_selection.h"
#include "maps/render/map_drawing.h"
#include "maps/render/map_loading.h"
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

void drawMaps(MapFrameContext& ctx, QPainter& painter, const TrackPoint& position) {
    ctx.canvas.images.sync(ctx.table);
    if (ctx.frame.overview) {
        int resolution = 0;
        show_KarteOV(ctx, painter, position, &resolution);
        for (int i = 0; i <= ctx.table.lastIndex(); ++i) ctx.canvas.images.release(i);
        return;
    }
    ctx.view.CurrentRow = -1;
    if (ctx.table.empty()) return;
    int anyInView = 0;
    const int side = ctx.screen.side();
    setMatchKarten(ctx.table, ctx.view, ctx.frame, ctx.grid, GridPoint{position.gridX, position.gridY}, 0, 0,
                   side, side, &anyInView);
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
    if (ctx.canvas.grey.isNull()) Init_hdcCompGray(ctx.canvas, side, side);
    combineAnd(ctx.canvas.buffer, ctx.canvas.grey);
    show_pos_UP(ctx, painter, calibration, position);
}

// Shows the picture with the replay buttons drawn over it, as the window shows it.
class ButtonsOver : public FramePresenter {
public:
    ButtonsOver(FramePresenter& inner, FrameOverlays& overlays) : inner_(inner), overlays_(overlays) {}
    void present(const QImage& image, const QRect& visible) override {
        QImage shown = image.copy(visible);
        {
            QPainter painter(&shown);
            overlays_.drawReplayButtons(painter);
        }
        inner_.present(shown, shown.rect());
    }
    void windowText(int x, int y, std::string_view text) override { inner_.windowText(x, y, text); }

private:
    FramePresenter& inner_;
    FrameOverlays& overlays_;
};

void output(MapFrameContext& ctx, float course, bool view3D) {
    const FrameState& frame = ctx.frame;
    const bool move = frame.displayMode == DisplayMode::Move;
    const int mode = frame.moveDisplayMode;
    // Stepping through the route turns the north-up view to each leg's course.
    const bool turned = frame.courseUp || (mode == 0 && frame.routeStepping && !frame.calibrating);
    if (move && !frame.calibrating && !view3D && (mode == 2 || mode == 5 || mode == 8) &&
        !ctx.canvas.compass.isNull()) {
        QPainter painter(&ctx.canvas.buffer);
        painter.drawImage(ctx.screen.side() / 2 - ctx.canvas.compass.width() / 2, ctx.screen.visible().top() + 60,
                          ctx.canvas.compass);
    }
    ButtonsOver withButtons(ctx.presenter, ctx.overlays);
    FramePresenter& presenter = move && !ctx.gps.portOpen() && !view3D && ctx.overlays.hasReplayButtons()
                                    ? static_cast<FramePresenter&>(withButtons)
                                    : ctx.presenter;
    const QRect visible = ctx.screen.visible();
    if (!move || (mode == 0 && !turned)) {
        presenter.present(ctx.canvas.buffer, visible);
    } else if (!frame.calibrating) {
        if (mode == 6 || !ctx.turner) {
            presenter.present(mode == 6 ? ctx.canvas.buffer.mirrored(true, true) : ctx.canvas.buffer, visible);
        } else {
            const TurnedFrameTarget target{presenter, ctx.overlays, ctx.log, ctx.screen.width, ctx.screen.height};
            if (view3D) {
                ctx.turner->show3D(ctx.canvas.buffer, mode, ctx.view3DParameter, ctx.screen.fullScreen, target);
            } else {
                ctx.turner->showTurned(ctx.canvas.buffer, turned ? frame.baseAngle - course : frame.baseAngle,
                                       target);
            }
        }
    }
}

// The part of the frame a rotated Move view shows: the bounding box of the visible middle
// turned, with a margin for the rounding. Nothing outside it is drawn; the other views compose
// the whole frame.
QRect composedArea(const MapFrameContext& ctx, float course, bool view3D) {
    const FrameState& frame = ctx.frame;
    const QRect all(0, 0, ctx.screen.side(), ctx.screen.side());
    const int mode = frame.moveDisplayMode;
    const bool move = frame.displayMode == DisplayMode::Move;
    if (view3D || ctx.saving || frame.calibrating || !move || mode == 0 || mode == 6 || !ctx.turner) return all;
    const double angle = (frame.courseUp ? frame.baseAngle - course : frame.baseAngle) * kDegToRad;
    const double c = std::abs(std::cos(angle)), s = std::abs(std::sin(angle));
    const int halfWidth = static_cast<int>((ctx.screen.width * c + ctx.screen.height * s) / 2) + 3;
    const int halfHeight = static_cast<int>((ctx.screen.width * s + ctx.screen.height * c) / 2) + 3;
    const int middle = ctx.screen.side() / 2;
    return QRect(middle - halfWidth, middle - halfHeight, 2 * halfWidth, 2 * halfHeight).intersected(all);
}

}  // namespace

void fitFrame(MapCanvas& canvas, int side) {
    if (canvas.buffer.width() == side && canvas.buffer.height() == side) return;
    canvas.buffer = QImage(side, side, QImage::Format_RGB32);
    canvas.grey = QImage();  // made again at the new size when a calibration needs it
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
    fitFrame(ctx.canvas, ctx.screen.side());
    {
        QPainter painter(&ctx.canvas.buffer);
        // The maps only where the window will show them; the layers over them draw unclipped,
        // which keeps their fast path into the pixels.
        const QRect area = composedArea(ctx, readings.course, view3D);
        painter.setClipRect(area);
        painter.fillRect(area, QColor(kMapBackground));
        drawMaps(ctx, painter, position);
        painter.setClipping(false);
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
    }
    output(ctx, readings.course, view3D);
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
