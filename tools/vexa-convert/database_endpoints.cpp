// Routes and POIs in database volumes: FILE.cdb:NAME is a saved route, FILE.cdb the POIs of a
// volume; read and written through the route and POI databases the program uses.
#include <cstdio>
#include <filesystem>
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

struct Database {
    SqliteDbStore store;
    DiagnosticText log;
    DbContext context;
    explicit Database(Ui& ui) : context{store, log, ui} {}
};

// The databases' messages, held: a read or write that fails shows them on the console (their
// reasons), one that succeeds is told in the tool's words. The one question, whether a route of
// the same name is overwritten, is answered yes.
struct HeldMessages : SilentUi {
    Answer messageBox(std::string_view text, std::string_view caption, MessageButtons buttons, MessageIcon) override {
        if (buttons == MessageButtons::OkCancel) overwrote = true;
        else held.emplace_back(text, caption);
        return Answer::Ok;
    }
    void showOn(Ui& ui) const {
        for (const auto& [text, caption] : held) ui.messageBox(text, caption);
    }

    bool overwrote = false;
    std::vector<std::pair<std::string, std::string>> held;
};

}  // namespace

ExitStatus readDatabase(const Endpoint& source, Conversion& conversion, Ui& ui) {
    HeldMessages messages;
    Database db(messages);
    const std::string volume = source.path.string();
    if (!source.routeName.empty()) {
        RouteDb routes;
        routes.volumePath = source.path;
        conversion.route->count = 0;
        conversion.route->name = source.routeName;
        conversion.name = source.routeName;
        RouteLoadFailure failure{};
        if (loadNamedRoute(db.context, routes, *conversion.route, conversion.grid, {}, &failure)) {
            // The one message of a load that succeeds: the route holds more points than a load takes.
            if (!messages.held.empty() && conversion.talk != Conversion::Talk::Quiet)
                std::fprintf(stderr, "vexa-convert: %s: the route \"%s\" has more than %d points, read the first %d\n",
                             volume.c_str(), source.routeName.c_str(), kRouteLoadLimit, kRouteLoadLimit);
            return kConverted;
        }
        messages.showOn(ui);
        if (failure == RouteLoadFailure::NoSuchRoute)
            std::fprintf(stderr, "vexa-convert: %s: no route \"%s\" in the volume\n", volume.c_str(),
                         source.routeName.c_str());
        else if (failure == RouteLoadFailure::Empty)
            std::fprintf(stderr, "vexa-convert: %s: the route \"%s\" holds no points\n", volume.c_str(),
                         source.routeName.c_str());
        return kFailed;
    }
    // A volume that is refused says why, and only that.
    if (const MountResult probe = db.store.mount(source.path, MountMode::OpenExisting); !probe.volume) {
        std::fprintf(stderr, "vexa-convert: %s\n", probe.error.c_str());
        return kFailed;
    }
    PoiDb pois;
    pois.currentVolume = source.path;
    conversion.name = source.path.stem().string();
    if (CreateListPoiView(db.context, pois, conversion.pois, conversion.grid) > 0) return kConverted;
    std::fprintf(stderr, "vexa-convert: %s: no POIs in the volume\n", volume.c_str());
    return kFailed;
}

bool writeDatabase(const Endpoint& target, Conversion& conversion, Ui& ui) {
    HeldMessages messages;
    Database db(messages);
    bool written = false;
    if (!target.routeName.empty()) {
        RouteDb routes;
        routes.volumePath = target.path;
        written = DlgRouteSpeichern(db.context, routes, *conversion.route, conversion.grid, target.routeName, {}) ==
                  RouteSave::Saved;
    } else {
        // The POIs go into a new volume as the POI import writes one: from their text lines.
        written = ImportDB(db.context, poiCsvText(conversion.pois, nullptr), target.path, {}).has_value();
    }
    if (!written) messages.showOn(ui);
    else if (messages.overwrote && conversion.talk != Conversion::Talk::Quiet)
        std::fprintf(stderr, "vexa-convert: %s: replaced the route \"%s\" saved before\n",
                     target.path.string().c_str(), target.routeName.c_str());
    return written;
}

}  // namespace vexa
