// Routes and POIs in database volumes: FILE.cdb:NAME is a saved route, FILE.cdb the POIs of a
// volume; read and written through the route and POI databases the program uses.
#include <filesystem>

#include "exchange/export_format.h"
#include "util/diagnostic_text.h"
#include "platform/linux/sqlite_db_store.h"
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

}  // namespace

bool readDatabase(const Endpoint& source, Conversion& conversion, Ui& ui) {
    Database db(ui);
    if (!source.routeName.empty()) {
        RouteDb routes;
        routes.volumePath = source.path;
        conversion.route->count = 0;
        conversion.route->name = source.routeName;
        conversion.name = source.routeName;
        return loadNamedRoute(db.context, routes, *conversion.route, conversion.grid, {});
    }
    PoiDb pois;
    pois.currentVolume = source.path;
    conversion.name = source.path.stem().string();
    return CreateListPoiView(db.context, pois, conversion.pois, conversion.grid) > 0;
}

bool writeDatabase(const Endpoint& target, Conversion& conversion, Ui& ui) {
    Database db(ui);
    if (!target.routeName.empty()) {
        RouteDb routes;
        routes.volumePath = target.path;
        return DlgRouteSpeichern(db.context, routes, *conversion.route, conversion.grid, target.routeName, {}) ==
               RouteSave::Saved;
    }
    // The POIs go into a new volume as the POI import writes one: from their text lines.
    return ImportDB(db.context, poiCsvText(conversion.pois, nullptr), target.path, {}).has_value();
}

}  // namespace vexa
