#include "app/command_table.h"

#include "app/command_ids.h"
#include "platform/linux/serial_devices.h"

namespace vexa {

namespace {

constexpr MenuItem tools(int id, std::string_view text, bool available) {
    return {id, text, MenuId::Tools, available};
}
constexpr MenuItem poi(int id, std::string_view text, bool available) {
    return {id, text, MenuId::Poi, available};
}

}  // namespace

const std::vector<MenuItem>& menuItems() {
    static const std::vector<MenuItem> items = {
        tools(cmd::GpsStart, "GPS Start", true),
        tools(cmd::GpsStop, "GPS Stop", true),
        tools(0, "", true),
        tools(cmd::MapDirectory, "Karten Verzeichnis", true),
        tools(cmd::Overview, "Karten Übersicht", true),
        tools(cmd::ImportMaps, "Karten importieren…", true),
        tools(0, "", true),
        tools(cmd::EmulateStart, "EmulateStart/Import", true),
        tools(cmd::EmulateStop, "EmulateStop", true),
        tools(cmd::ReplaySpeed, "Abspieltempo", true),
        tools(0, "", true),
        tools(40052, "COM1", true),
        tools(40053, "COM2", true),
        tools(40054, "COM3", true),
        tools(40055, "COM4", true),
        tools(40056, "COM5", true),
        tools(40057, "COM6", true),
        tools(40058, "COM7", true),
        tools(40059, "COM8", true),
        tools(cmd::PortGpsd, "gpsd", true),
        tools(cmd::PortDialog, "Port…", true),
        tools(0, "", true),
        tools(cmd::LogSettings, "Aufzeichnung", true),
        tools(cmd::DisplaySettings, "Anzeige", true),
        tools(cmd::UtmGkZone, "UTM oder GK Zone", true),
        tools(cmd::Calibration, "Kalibrierung", true),
        tools(0, "", true),
        tools(cmd::Help, "Help", true),
        tools(cmd::Exit, "EXIT", true),

        poi(cmd::ListPois, "List POIs", true),
        poi(cmd::AddPoi, "Add POI", true),
        poi(cmd::PoiDbChoice, "POI-DB Auswahl", true),
        poi(cmd::PoiDbReset, "POI-DB Reset", true),
        poi(0, "", true),
        poi(cmd::RouteListByName, "Liste nach Namen", true),
        poi(cmd::RouteListByDate, "Liste nach Datum", true),
        poi(cmd::RouteSave, "Route speichern", true),
        poi(kCmdRouteClear, "Route löschen", true),
        poi(kCmdRouteReverse, "Route umkehren", true),
        poi(kCmdRouteReduce, "Routen Punkte reduzieren", true),
        poi(cmd::RouteExport, "Route -> Overlay und KML", true),
        poi(cmd::OtherRouteDb, "Andere Routen DB", true),
        poi(cmd::SendRouteToGarmin, "Send Route to Garmin", true),
        poi(0, "", true),
        poi(kCmdTraceToRoute, "Trace -> Route", true),
        poi(kCmdTraceClear, "Trace löschen", true),
        poi(cmd::PlaceDirectory, "Orts Verzeichnis", true),
        poi(0, "", true),
        poi(cmd::ShowPois, "Show POIs", true),
        poi(cmd::ShowRoutePoints, "Show Routepoints", true),
    };
    return items;
}

const MenuItem* findMenuItem(int id) {
    for (const MenuItem& item : menuItems())
        if (item.id == id && id != 0) return &item;
    return nullptr;
}

const std::vector<ButtonItem>& menuBarButtons() {
    static const std::vector<ButtonItem> buttons = {
        {cmd::Tools, "Tools", "Tools Menu"},
        {cmd::NmeaView, "NMEA", "NMEA/Text Anzeige"},
        {cmd::GpsView, "GPS", "GPS Daten grafisch"},
        {cmd::MoveStep, "Move", "MOVE Anzeige"},
        {cmd::KarteView, "Karte", "Karten Anzeige"},
        {0, "", ""},
        {cmd::ZoomIn, "+", "zoom in"},
        {cmd::ZoomReset, "o", "zoom reset"},
        {cmd::ZoomOut, "-", "zoom out"},
        {0, "", ""},
        {cmd::Poi, "Poi", "POI und Routen Menu"},
    };
    return buttons;
}

bool isComCommand(int id) { return id >= cmd::Com1 && id <= cmd::Com8; }

std::string comPortName(int id) { return "COM" + std::to_string(id - cmd::Com1 + 1) + ":"; }

ItemState itemState(const MenuItem& item, const FrameState& frame) {
    ItemState state;
    state.enabled = item.available;
    switch (item.id) {
    case cmd::Overview:
        state.checkable = true;
        state.checked = frame.overview;
        break;
    case cmd::UtmGkZone:
        // The zone is the maps' once a map directory is loaded.
        state.enabled = item.available && frame.lastMapIndex < 0;
        break;
    case cmd::Calibration:
        state.checkable = true;
        state.checked = frame.calibrating;
        break;
    case cmd::ShowPois:
        state.checkable = true;
        state.checked = frame.showPois;
        break;
    case cmd::ShowRoutePoints:
        state.checkable = true;
        state.checked = frame.showRoutePoints;
        break;
    case cmd::AddPoi:
        state.enabled = item.available && frame.displayMode.load() == DisplayMode::Karte;
        break;
    default:
        if (item.id == cmd::PortGpsd) {
            state.checkable = true;
            state.checked = frame.portName == "gpsd" || frame.portName.rfind("gpsd://", 0) == 0;
        } else if (isComCommand(item.id)) {
            state.checkable = true;
            state.checked = comPortNumber(frame.portName) == item.id - cmd::Com1 + 1;
        }
    }
    return state;
}

}  // namespace vexa
