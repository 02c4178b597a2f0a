// vexa-shots: composes the GPS, Move and Karte views from the demo data without a window and
// writes them as PNG files: the demo maps, the demo drive log replayed through the GPS core,
// a route made from the drive and two POIs. view-move-modes.png shows the nine Move display
// modes, one orientation per row (normal, landscape, upside down) and one kind per column
// (north up, 3D, course up).
//
//   vexa-shots MAPDIR LOG OUTDIR [WxH]
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "display/display_settings.h"
#include "display/gps_view.h"
#include "display/position_text.h"
#include "display/screen_output.h"
#include "display/view_overlays.h"
#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "frame/move_display.h"
#include "frame/settings.h"
#include "gps/gps_input.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/nmea_log.h"
#include "tools/tool_command_line.h"
#include "gps/nmea_replay.h"
#include "gps/satellites.h"
#include "geo/sun_times.h"
#include "maps/drawing_semaphore.h"
#include "maps/map_catalogue.h"
#include "maps/map_view.h"
#include "maps/render/map_frame.h"
#include "platform/testing/manual_clock.h"
#include "platform/testing/scripted_ui.h"
#include "routes/guidance.h"
#include "routes/poi_record.h"
#include "routes/route_table.h"
#include "routes/trace_table.h"

namespace vexa {
namespace {

int screenWidth = 240, screenHeight = 320;  // the virtual screen, "WxH" on the command line

struct Capture : FramePresenter {
    QImage shown;
    void present(QImage& image, const QRect& visible) override { shown = image.copy(visible); }
};

struct ReplayLink : GpsLink {
    bool portOpen() const override { return false; }
};

class ShotViews : public NoGpsViews {
public:
    explicit ShotViews(const MapTable& maps) : maps_(maps) {}
    bool checkPosKarte(GridPoint p) override { return vexa::checkPosKarte(maps_, p, screenWidth, screenHeight, 1.0); }

private:
    const MapTable& maps_;
};

struct Records {
    GpsState gps;
    LastPosition last;
    SatelliteState satellites;
    std::unique_ptr<TraceTable> trace = std::make_unique<TraceTable>();
    std::unique_ptr<RouteTable> route = std::make_unique<RouteTable>();
    PoiTable pois;
    NmeaLog log;
    Settings settings;
    FrameState frame;
    GridContext grid;
    DiagnosticText diagnostics;
    ScriptedUi ui;
    ManualClock clock;
    MapTable maps;
    MapView view;
    MapCanvas canvas;
    Guidance guidance;
    DisplaySettings display;
    PositionTexts texts;
    std::mutex mutex;
};

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The drive after `from` as the route ahead, every 25th trace point, the kinds changing on the way.
void routeAhead(const Records& r, int from, RouteTable& route) {
    const LineKind kinds[] = {LineKind::Road, LineKind::MainRoad, LineKind::Blue, LineKind::Motorway, LineKind::Path};
    const int last = r.trace->next - 1;
    int k = 0;
    auto add = [&](int i) {
        const TracePoint& t = r.trace->points[static_cast<std::size_t>(i)];
        TrackPoint& p = route.points[static_cast<std::size_t>(route.count++)];
        p.gridX = t.gridX;
        p.gridY = t.gridY;
        p.lon = t.lon;
        p.lat = t.lat;
        p.lineKind = kinds[(k++ / 6) % 5];
    };
    int i = from;
    for (; i <= last && route.count < kRouteCapacity - 1; i += 25) add(i);
    if (i - 25 != last) add(last);
}

void addPoi(Records& r, const char* name, double x, double y, const char* volume) {
    PoiRecord& p = r.pois.records[static_cast<std::size_t>(r.pois.count++)];
    p.name = name;
    p.gridX = x;
    p.gridY = y;
    p.dbPath = volume;
}

// The Move view in all nine display modes, three by three.
QImage moveModes(MapFrameContext& ctx, FrameState& frame, const TrackPoint& position, const FrameReadings& readings,
                 const Capture& presenter) {
    constexpr int kGap = 8;
    QImage sheet(3 * screenWidth + 2 * kGap, 3 * screenHeight + 2 * kGap, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (int mode = 0; mode < 9; ++mode) {
        frame.moveDisplayMode = mode;
        applyMoveDisplayMode(frame);
        show_pos(ctx, position, readings);
        painter.drawImage((mode % 3) * (screenWidth + kGap), (mode / 3) * (screenHeight + kGap), presenter.shown);
    }
    frame.moveDisplayMode = 0;
    applyMoveDisplayMode(frame);
    return sheet;
}

bool save(const QImage& image, const std::filesystem::path& file) {
    if (image.save(QString::fromStdString(file.string()))) return true;
    std::fprintf(stderr, "vexa-shots: cannot write %s\n", file.c_str());
    return false;
}

// Replays `text` through the GPS core into `r`.
void replay(Records& r, ShotViews& views, const std::string& text) {
    GpsInput in{r.gps, r.last, r.satellites, *r.trace, r.log, r.settings, r.frame, r.grid, r.diagnostics,
                r.ui, r.clock, views, r.mutex};
    LogTimers timers;
    r.frame.replaying = true;
    StartReplay(in);
    ReplayNmeaText(in, timers, text);
}

bool scanMaps(Records& r, const std::filesystem::path& mapDir) {
    r.clock.setUtc(DateTime{2026, 6, 1, 8, 45, 0});
    r.clock.setUtcOffsetSeconds(7200);
    r.settings.LGsaLogTime = 0;
    MapScanContext scan{r.maps, r.grid, r.frame, r.diagnostics, r.ui, {}, true};
    return fill_karte_tab(scan, mapDir.string() + "/") >= 0;
}

int run(const std::filesystem::path& mapDir, const std::filesystem::path& logFile, const std::filesystem::path& out) {
    // The whole drive gives the route; the pictures are taken three quarters into it.
    auto whole = std::make_unique<Records>();
    auto r = std::make_unique<Records>();
    if (!scanMaps(*whole, mapDir) || !scanMaps(*r, mapDir)) {
        std::fprintf(stderr, "vexa-shots: no maps in %s\n", mapDir.c_str());
        return 1;
    }
    ShotViews wholeViews(whole->maps), views(r->maps);
    const std::string text = readFile(logFile);
    replay(*whole, wholeViews, text);
    std::size_t cut = text.size() * 3 / 4;
    cut = text.find("$GPRMC", cut);
    replay(*r, views, text.substr(0, cut));
    if (r->trace->next < 100) {
        std::fprintf(stderr, "vexa-shots: the log gave too short a trace\n");
        return 1;
    }
    std::error_code made;
    std::filesystem::create_directories(out, made);
    if (made) {
        std::fprintf(stderr, "vexa-shots: cannot make %s: %s\n", out.c_str(), made.message().c_str());
        return 1;
    }
    const int here = r->trace->next - 1;
    routeAhead(*whole, here, *r->route);
    AllocPoiTab(r->pois, 2);
    const double x = r->trace->points[static_cast<std::size_t>(here)].gridX;
    const double y = r->trace->points[static_cast<std::size_t>(here)].gridY;
    addPoi(*r, "Rasthof (Nord)", x - 420, y - 150, "vexapoi.cdb");
    addPoi(*r, "Kirche", x + 350, y - 650, "other.cdb");
    addPoi(*r, "zLastPos", x, y, "vexapoi.cdb");

    Capture presenter;
    ReplayLink link;
    ViewRecords records{*r->route, *r->trace, r->pois,    r->settings, r->gps,    r->last,  r->grid, r->maps,
                        r->view,   r->frame,  r->guidance, r->display, r->texts, "vexapoi.cdb"};
    r->frame.screen = ScreenSize{screenWidth, screenHeight};
    ViewOverlays overlays(records);
    DrawingSemaphore semaphore;
    MapFrameContext ctx{r->maps, r->view, r->frame, r->grid, r->canvas, r->diagnostics, r->ui, r->clock, &semaphore,
                        presenter, overlays, link, nullptr};
    ctx.screen = ScreenGeometry{screenWidth, screenHeight, false};

    const TrackPoint position{x, y};
    const FrameReadings readings{r->gps.course, r->gps.speed, static_cast<int>(r->gps.altitude), r->gps.tripDistance,
                                 std::string(r->gps.elapsedText.view())};
    r->frame.displayMode = DisplayMode::Move;
    r->display.infoLine = true;
    r->display.bigInfo = true;
    r->display.infoPage = 1;
    r->frame.showPois = true;
    show_pos(ctx, position, readings);
    bool ok = save(presenter.shown, out / "view-move.png");
    ScreenBufferTurner turner;
    ctx.turner = &turner;
    ok = save(moveModes(ctx, r->frame, position, readings, presenter), out / "view-move-modes.png") && ok;

    r->frame.displayMode = DisplayMode::Karte;
    r->frame.showRoutePoints = true;
    r->frame.selectedRoutePoint = -1;
    r->display.coordFormat = 2;
    show_pos(ctx, TrackPoint{x + 400, y + 300}, readings);
    ok = save(presenter.shown, out / "view-karte.png") && ok;

    r->frame.displayMode = DisplayMode::Gps;
    r->display.coordFormat = 0;
    r->frame.viewCentre = position;
    r->gps.onMap = views.checkPosKarte(r->last.grid);
    GpsViewContext gpsCtx{r->gps,   r->last,   r->satellites, r->settings, r->grid, r->maps,     *r->route,
                          r->guidance, r->frame, r->display, r->texts,   r->diagnostics, r->clock, link, presenter};
    gpsCtx.sunTimes = CalcSunrise(r->last.latitude, r->last.longitude, r->clock, r->settings.TimeZoneSetting, r->diagnostics);
    GpsViewState gpsState;
    ShowGps(gpsCtx, gpsState);
    ok = save(presenter.shown, out / "view-gps.png") && ok;
    return ok ? 0 : 1;
}

}  // namespace
}  // namespace vexa

namespace {

constexpr const char* kHelp =
    "usage: vexa-shots MAPDIR LOG OUTDIR [WxH]\n"
    "\n"
    "Replays the NMEA LOG over the maps of MAPDIR without a window and writes the GPS, Move\n"
    "and Karte views, and the nine Move display modes, as PNG files into OUTDIR (made when\n"
    "missing).\n"
    "WxH is the device screen in pixels (default 240x320).\n"
    "\n"
    "  -h, --help       this text\n"
    "  -V, --version    the version\n"
    "\n"
    "Exit status: 0 written, 1 failed, 2 wrong command line.\n";

}  // namespace

int main(int argc, char** argv) {
    const vexa::ToolCommandLine commandLine("vexa-shots", kHelp);
    const std::vector<std::string> args = commandLine.read({}, argc, argv).operands;
    if (args.size() != 3 && args.size() != 4) commandLine.wrong("give MAPDIR LOG OUTDIR and perhaps WxH");
    if (args.size() == 4 && std::sscanf(args[3].c_str(), "%dx%d", &vexa::screenWidth, &vexa::screenHeight) != 2)
        commandLine.wrong("the screen is WxH in pixels, e.g. 240x320");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return vexa::run(args[0], args[1], args[2]);
}
