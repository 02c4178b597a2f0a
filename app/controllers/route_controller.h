// The route and trace commands: route editing and clearing, trace to route and trace clear,
// the route list and saving in the route database, its volume, the route files in and out,
// and the route sent to a Garmin.
#pragma once

#include <filesystem>
#include <string>

#include "app/controllers/window_context.h"

namespace vexa {

class GarminTransfer;

class RouteController : public Controller {
public:
    RouteController(WindowContext& context, GarminTransfer& garmin) : c_(context), garmin_(garmin) {}
    bool handles(int id) const override;
    void run(int id) override;

    // KML, KMZ, OVL and GPX files of "EmulateStart/Import"; false for other extensions.
    bool importRouteFile(const std::filesystem::path& file, const std::string& extension);

private:
    WindowContext& c_;
    GarminTransfer& garmin_;

    void editRoute(int id);
    // Commands that need a route or a trace say so when there is none; true when it has nothing.
    bool reportMissingRoute(int id);
    bool confirmClear(int id);
    void openRouteList(bool byDate);
    void saveRoute();
    void chooseRouteVolume();
    void sendRouteToGarmin();
    void exportRoute();
    // The export of the route in the route list (`bar` its progress) or of the menu.
    void exportRouteNamed(const std::string& name, const Progress* bar);
};

}  // namespace vexa
