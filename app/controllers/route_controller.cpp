// The route and trace commands, the route list and the Garmin upload.
#include <chrono>
#include <system_error>
#include <thread>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/controllers/route_controller.h"
#include "app/dialog_flag.h"
#include "app/garmin_transfer.h"
#include "app/route_dialogs.h"
#include "app/route_name_dialog.h"
#include "gps/gps_session.h"
#include "gps/trip_reset.h"
#include "platform/serial_port.h"
#include "util/text.h"

namespace vexa {

namespace {
constexpr const char* kRouteDbFilter = "Routen Datenbank (*.cdb);;All Files (*.*)";
}  // namespace

bool RouteController::handles(int id) const {
    switch (id) {
    case cmd::RouteExport:
    case cmd::RouteListByName:
    case cmd::RouteListByDate:
    case cmd::RouteSave:
    case cmd::OtherRouteDb:
    case cmd::SendRouteToGarmin:
    case kCmdRouteClear:
    case kCmdRouteReverse:
    case kCmdRouteReduce:
    case kCmdRouteDeleteBefore:
    case kCmdRouteDeleteFrom:
    case kCmdTraceClear:
    case kCmdTraceToRoute: return true;
    default: return lineKindOfCommand(id) >= 0;
    }
}

void RouteController::run(int id) {
    switch (id) {
    case cmd::RouteExport: exportRoute(); break;
    case cmd::RouteListByName: openRouteList(false); break;
    case cmd::RouteListByDate: openRouteList(true); break;
    case cmd::RouteSave: saveRoute(); break;
    case cmd::OtherRouteDb: chooseRouteVolume(); break;
    case cmd::SendRouteToGarmin: sendRouteToGarmin(); break;
    default: editRoute(id);
    }
}

// Commands that need a route or a trace say so when there is none; the box is shown with the
// state released, so the GPS thread never waits behind it. True when the command has nothing.
bool RouteController::reportMissingRoute(int id) {
    bool empty = false;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        empty = id == kCmdTraceToRoute ? c_.state.trace.empty() : c_.state.route.count == 0;
    }
    if (!empty) return false;
    const char* caption = id == kCmdTraceToRoute ? "Trace -> Route "
                          : id == cmd::RouteSave ? "Speichern Route"
                                                 : "Senden Route";
    c_.ui.messageBox(id == kCmdTraceToRoute ? "Kein Trace vorhanden" : "Keine Route vorhanden", caption,
                     MessageButtons::Ok, MessageIcon::None);
    return true;
}

// Clearing a route or a trace that holds points asks first; the box is shown with the state
// released. True when the command may go on.
bool RouteController::confirmClear(int id) {
    bool empty = false;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        empty = id == kCmdTraceClear ? c_.state.trace.empty() : c_.state.route.count == 0;
    }
    if (empty) return true;
    const bool trace = id == kCmdTraceClear;
    return c_.ui.messageBox(trace ? "Den Trace löschen?" : "Die Route löschen?",
                            trace ? "Trace löschen" : "Route löschen", MessageButtons::OkCancel,
                            MessageIcon::Question) == Answer::Ok;
}

void RouteController::editRoute(int id) {
    if (id == kCmdTraceToRoute && reportMissingRoute(id)) return;
    if ((id == kCmdRouteClear || id == kCmdTraceClear) && !confirmClear(id)) return;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        RouteTable& route = c_.state.route;
        FrameState& frame = c_.state.frame;
        switch (id) {
        case kCmdRouteClear:
            ClearRoute(route);
            RestartTripDistance(c_.state.gps);
            break;
        case kCmdRouteReverse: ReverseRoute(route); break;
        case kCmdRouteReduce: ReduceRoute(route); break;
        case kCmdRouteDeleteBefore: DeleteRouteBefore(route, frame); break;
        case kCmdRouteDeleteFrom: DeleteRouteFrom(route, frame); break;
        case kCmdTraceClear:
            ClearTrace(c_.state.trace, c_.state.settings.itracemax);
            RestartTrip(c_.state.gps, c_.state.last);
            return;
        case kCmdTraceToRoute:
            trace2track(route, c_.state.trace, c_.state.settings.itracemax, frame, c_.ui);
            return;
        default: {
            const int kind = lineKindOfCommand(id);
            if (kind < 0) return;  // identifiers nothing handles do nothing
            SetLineKindFrom(route, frame, static_cast<LineKind>(kind));
        }
        }
    }
    c_.window.command(cmd::KarteView);
}

void RouteController::openRouteList(bool byDate) {
    DbContext db = c_.dbContext();
    bool listed = false;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        listed = CreateListRoutenView(db, c_.state.routeDb, byDate);
    }
    bool loaded = false;
    if (listed) {
        RouteListDialog::Actions actions;
        actions.select = [this](int entry) {
            StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
            selectRouteEntry(c_.state.routeDb, c_.state.route, entry);
        };
        actions.load = [this, &db, &loaded](const Progress& progress) {
            StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
            const std::string& name = c_.state.route.name;
            if (name.empty() || name == kDeletedRouteName) return false;
            loaded = loadNamedRoute(db, c_.state.routeDb, c_.state.route, c_.state.grid, progress);
            return true;
        };
        actions.exportRoute = [this, &db](const Progress& progress) {
            std::string name;
            {
                StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
                name = c_.state.route.name;
                if (name.empty() || name == kDeletedRouteName) return;
                ClearRoute(c_.state.route);
                RestartTripDistance(c_.state.gps);
                loadNamedRoute(db, c_.state.routeDb, c_.state.route, c_.state.grid, progress);
            }
            exportRouteNamed(name, &progress);
        };
        actions.remove = [this, &db] {
            StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
            return deleteSelectedRoute(db, c_.state.routeDb);
        };
        actions.columnClick = [this] { AddNmeaListLine(c_.state.diagnostics, "LVN_COLUMNCLICK"); };
        DialogFlag flag(c_.state.frame);
        RouteListDialog dialog(c_.state.routeDb, std::move(actions), c_.window.dialogParent());
        c_.window.runDialog(dialog);
    }
    c_.window.fullscreenOff();
    if (loaded) {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        FrameState& frame = c_.state.frame;
        frame.viewCentre.gridX = c_.state.route.points[0].gridX;
        frame.viewCentre.gridY = c_.state.route.points[0].gridY;
        frame.lastShown = frame.viewCentre;
    }
    c_.window.command(cmd::KarteView);
}

void RouteController::saveRoute() {
    if (reportMissingRoute(cmd::RouteSave)) return;
    std::string name;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        name = c_.state.route.name;
    }
    {
        DialogFlag flag(c_.state.frame);
        RouteSaveDialog dialog(name, [this](const std::string& entered, const Progress& progress) {
            StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
            setGarminTrackName(c_.state.garmin, entered);  // the saved name also names the Garmin track
            DbContext db = c_.dbContext();
            const RouteSave saved =
                DlgRouteSpeichern(db, c_.state.routeDb, c_.state.route, c_.state.grid, entered, progress);
            if (routeStored(saved)) c_.state.route.name = std::string(utf8Prefix(entered, kRouteNameChars));
            return saved;
        }, c_.window.dialogParent());
        c_.window.runDialog(dialog);
    }
    c_.window.fullscreenOff();
    c_.window.command(cmd::KarteView);
}

void RouteController::chooseRouteVolume() {
    const auto file = c_.chooseVolumeFile("Andere Routen DB", kRouteDbFilter);
    if (!file) return;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        c_.state.routeDb.volumePath = *file;
    }
    c_.window.command(cmd::RouteListByName);
}

// The track name, then the upload on its own thread with a copy of the route taken now: the
// route may be edited while it runs.
void RouteController::sendRouteToGarmin() {
    if (reportMissingRoute(cmd::SendRouteToGarmin)) return;
    if (garmin_.running()) {
        c_.ui.messageBox("Die Übertragung zum Garmin läuft noch", "Senden Route", MessageButtons::Ok,
                         MessageIcon::Information);
        return;
    }
    std::string routeName;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        routeName = c_.state.route.name;
    }
    {
        DialogFlag flag(c_.state.frame);
        RouteNameDialog dialog(routeName, c_.window.dialogParent());
        if (c_.window.runDialog(dialog) == QDialog::Accepted) setGarminTrackName(c_.state.garmin, dialog.text());
        else c_.state.garmin.trackName.clear();
    }
    c_.window.fullscreenOff();

    GarminUploadJob job;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        const std::string name = c_.state.frame.portName;
        job = makeGarminUploadJob(c_.state.route, c_.state.grid, c_.state.garmin.trackName, name,
                                  c_.session.portDevice(name));
    }
    const bool logging = c_.state.log.active.load();
    // The GPS reader leaves its loop once the port is closed; the upload opens the port only
    // after that, so the reader never reads the receiver's answers.
    const bool readerRunning = c_.state.port.isOpen() && !c_.state.frame.replaying.load();
    if (c_.state.port.isOpen()) close_port(c_.session, job.portName);
    auto waitForReader = [this, readerRunning] {
        while (readerRunning && c_.session.workerRunning.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    try {
        garmin_.start(std::move(job), logging, waitForReader);
    } catch (const std::system_error& e) {
        c_.ui.messageBox(strprintf("Unable to create the Write thread, \r\nlasterror=%ld",
                                   static_cast<long>(e.code().value())),
                                   "Error", MessageButtons::Ok, MessageIcon::Error);
    }
}

}  // namespace vexa
