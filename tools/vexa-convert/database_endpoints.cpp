// Routes and POIs in database volumes: FILE.cdb:NAME is a saved route, FILE.cdb the POIs of a
// volume; read and written through the route and POI databases the program uses.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "exchange/export_format.h"
#include "util/diagnostic_text.h"
#include "platform/linux/sqlite_db_store.h"
#include "platform/silent_ui.h"
#include "routes/poi_db.h"
#include "routes/poi_import.h"
#include "routes/route_db.h"
#include "tools/vexa-convert/conversion.h"

namespace vexa {

namespace {

// The databases' message boxes are the program's, in German: held, and shown as they are only
// for a failure that gives back no reason of its own. The one question, whether a route of the
// same name is overwritten, is answered yes.
struct HeldMessages : SilentUi {
    Answer messageBox(std::string_view text, std::string_view caption, MessageButtons, MessageIcon) override {
        held.emplace_back(text, caption);
        return Answer::Ok;
    }
    void showOn(Ui& ui) const {
        for (const auto& [text, caption] : held) ui.messageBox(text, caption);
    }

    std::vector<std::pair<std::string, std::string>> held;
};

struct Database {
    HeldMessages messages;
    SqliteDbStore store;
    DiagnosticText log;
    DbContext context{store, log, messages};
};

// Why a volume was refused or a call on it failed, in the tool's words; "" when not known.
std::string problemText(const DbFailure& failure) {
    switch (failure.problem) {
        case DbProblem::None: break;
        case DbProblem::Missing: return "no such database volume";
        case DbProblem::NoFolder: return "cannot be created, its folder does not exist";
        case DbProblem::FolderReadOnly: return "cannot be created, its folder is read-only";
        case DbProblem::IsFolder: return "a folder, not a database volume";
        case DbProblem::Unreadable: return "cannot be read: " + failure.reason;
        case DbProblem::TextFile: return "not a database volume (a text file)";
        case DbProblem::Foreign: return "not a database volume";
        case DbProblem::Truncated: return "a database volume cut short, not used";
        case DbProblem::EmptyReadOnly: return "empty and read-only";
        case DbProblem::CannotOpen: return "cannot be opened: " + failure.reason;
        case DbProblem::NotVolume: return "not a database volume, or damaged";
        case DbProblem::OtherSqlite: return "not a database volume (an SQLite file of another program)";
        case DbProblem::Newer: return "a database volume of a newer VEXA version";
        case DbProblem::CannotCreate: return "cannot be created: " + failure.reason;
        case DbProblem::Busy: return "in use by another program, try again later";
        case DbProblem::Full: return "the disk is full";
        case DbProblem::ReadOnly: return "read-only";
        case DbProblem::Damaged: return "damaged, left unchanged";
        case DbProblem::NoSuchDatabase: return "a database of the volume is missing";
        case DbProblem::NoSuchRecord: return "a record of the volume is missing";
        case DbProblem::Failed: return "database error: " + failure.reason;
    }
    return "";
}

// "VOLUME: WHAT: REASON"; a failure without a reason of its own shows the databases' messages.
void tellFailure(const std::filesystem::path& volume, const std::string& what, const DbFailure& failure,
                 const Database& db, Ui& ui) {
    const std::string reason = problemText(failure);
    complain("%s", volume.string() + ": " + what + (reason.empty() || what.empty() ? "" : ": ") + reason);
    if (reason.empty()) db.messages.showOn(ui);
}

std::string routeNamed(const std::string& name) { return "the route \"" + name + "\""; }

// The volume mounted as it is, or null after saying in the tool's words why it was refused.
std::unique_ptr<DbVolume> mountExisting(const std::filesystem::path& volume, Database& db, Ui& ui) {
    MountResult mounted = db.store.mount(volume, MountMode::OpenExisting);
    if (!mounted.volume) tellFailure(volume, "", mounted.failure, db, ui);
    return std::move(mounted.volume);
}

}  // namespace

ExitStatus readDatabase(const Endpoint& source, Conversion& conversion, Ui& ui) {
    Database db;
    const std::filesystem::path& volume = source.path;
    if (!source.routeName.empty()) {
        RouteDb routes;
        routes.volumePath = volume;
        conversion.route->count = 0;
        conversion.route->name = source.routeName;
        conversion.name = source.routeName;
        const std::string route = routeNamed(source.routeName);
        RouteLoadReport report;
        if (loadNamedRoute(db.context, routes, *conversion.route, conversion.grid, {}, &report)) {
            if (report.cut && conversion.talk != Conversion::Talk::Quiet)
                complain("%s", volume.string() + ": " + route + " has more than " + std::to_string(kRouteLoadLimit) +
                                   " points, read the first " + std::to_string(kRouteLoadLimit));
            return kConverted;
        }
        switch (report.failure) {
            case RouteLoadFailure::VolumeRefused: tellFailure(volume, "", report.volume, db, ui); break;
            case RouteLoadFailure::Unreadable: tellFailure(volume, route + " cannot be read", report.volume, db, ui); break;
            case RouteLoadFailure::NoSuchRoute:
                complain("%s", volume.string() + ": no route \"" + source.routeName + "\" in the volume");
                break;
            case RouteLoadFailure::Empty: complain("%s", volume.string() + ": " + route + " holds no points"); break;
        }
        return kFailed;
    }
    // A volume that is refused says why, and only that.
    if (!mountExisting(volume, db, ui)) return kFailed;
    PoiDb pois;
    pois.currentVolume = volume;
    conversion.name = volume.stem().string();
    if (CreateListPoiView(db.context, pois, conversion.pois, conversion.grid) > 0) return kConverted;
    complain("%s: no POIs in the volume", volume.string());
    return kFailed;
}

ExitStatus listDatabase(const std::filesystem::path& volume, Ui& ui) {
    Database db;
    const auto mounted = mountExisting(volume, db, ui);
    if (!mounted) return kFailed;
    DbListing listing;
    ListDB(db.context, *mounted, listing);
    std::stable_sort(listing.routes.begin(), listing.routes.end(),
                     [](const RouteEntry& a, const RouteEntry& b) { return a.name < b.name; });
    for (const RouteEntry& route : listing.routes) {
        const std::time_t seconds = static_cast<std::time_t>(route.modifiedMs / 1000);
        std::tm local{};
        localtime_r(&seconds, &local);
        char saved[20];
        std::strftime(saved, sizeof saved, "%Y-%m-%d %H:%M", &local);
        std::printf("%s\t%d points\t%s\n", route.name.c_str(), route.records, saved);
    }
    std::printf("%d POI%s\n", listing.poiCount, listing.poiCount == 1 ? "" : "s");
    return kConverted;
}

bool writeDatabase(const Endpoint& target, Conversion& conversion, Ui& ui) {
    Database db;
    const std::filesystem::path& volume = target.path;
    if (!target.routeName.empty()) {
        RouteDb routes;
        routes.volumePath = volume;
        DbFailure failure;
        const std::string route = routeNamed(target.routeName);
        const RouteSave saved =
            DlgRouteSpeichern(db.context, routes, *conversion.route, conversion.grid, target.routeName, {}, &failure);
        if (saved == RouteSave::Replaced && conversion.talk != Conversion::Talk::Quiet)
            complain("%s", volume.string() + ": replaced " + route + " saved before");
        if (routeStored(saved)) return true;
        tellFailure(volume, route + " was not saved", failure, db, ui);
        return false;
    }
    // The POIs go into the named volume as the POI import writes one: from their text lines.
    PoiImportFailure failure;
    if (importPoisInto(db.context, poiCsvText(conversion.pois, nullptr), volume, volume, {}, &failure)) return true;
    using Kind = PoiImportFailure::Kind;
    switch (failure.kind) {
        case Kind::VolumeRefused: tellFailure(volume, "", failure.volume, db, ui); break;
        case Kind::Exists: complain("%s: a POI volume of that name exists already", volume.string()); break;
        case Kind::NoReadableLine: complain("%s: no readable POI line", volume.string()); break;
        case Kind::NoVolumeName:  // the volume is named, not taken from a file's name
        case Kind::NotWritten: tellFailure(volume, "the POI volume could not be created", failure.volume, db, ui); break;
    }
    return false;
}

}  // namespace vexa
