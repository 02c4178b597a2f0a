// Command identifiers of the menu bar, the menus, the keys and the internal requests.
#pragma once

#include "frame/frame_state.h"
#include "maps/map_selection.h"
#include "routes/route_table.h"

namespace vexa::cmd {

inline constexpr int Quit = 1;              // Ctrl+Q
inline constexpr int LoadMapDirectory = 102;
inline constexpr int MoveView = kCmdRedrawMove;   // 110, no mode step
inline constexpr int Tools = 40001;
inline constexpr int GpsStart = 40004;
inline constexpr int GpsStop = 40005;
inline constexpr int EmulateStart = 40006;
inline constexpr int Exit = 40007;
inline constexpr int GpsView = kCmdRedrawGps;     // 40008
inline constexpr int NmeaView = kCmdRedrawNmea;   // 40011
inline constexpr int MoveStep = 40015;
inline constexpr int EmulateStop = 40016;
inline constexpr int KarteView = kCmdRedrawKarte; // 40038
inline constexpr int Help = 40051;
inline constexpr int Com1 = 40052;
inline constexpr int Com8 = 40059;
inline constexpr int PermanentCalibration = 40074;  // "permanente Kalibrierung"
inline constexpr int TemporaryCalibration = 40075;  // "temporäre Kalbrierung"
inline constexpr int CancelCalibration = 40076;     // "Cancel Kalibrierung"
// Linux only: gpsd as the port, and the port dialog with every receiver by name.
inline constexpr int PortGpsd = 40300;
inline constexpr int PortDialog = 40301;
inline constexpr int ImportMaps = 40302;   // "Karten importieren…"
inline constexpr int ReplaySpeed = 40303;  // "Abspieltempo": the NMEA replay's speed
inline constexpr int Calibration = 40087;
inline constexpr int CalibrationMenu = 40168;       // "Kalibrierung " of the map view's hold menu
inline constexpr int MapDirectory = 40089;
inline constexpr int Poi = 40090;
inline constexpr int ListPois = 40093;
inline constexpr int AddPoi = 40094;
inline constexpr int PoiDbChoice = 40095;
inline constexpr int PoiDbReset = 40097;
inline constexpr int ShowPois = 40101;
inline constexpr int ShowRoutePoints = 40102;
inline constexpr int SendRouteToGarmin = 40103;
inline constexpr int Overview = 40105;
inline constexpr int ZoomIn = kCmdZoomIn;         // 40115
inline constexpr int ZoomOut = kCmdZoomOut;       // 40116
inline constexpr int ZoomReset = kCmdZoomReset;   // 40118
inline constexpr int RouteSave = 40152;
inline constexpr int RouteExport = 40153;
inline constexpr int LogSettings = 40156;
inline constexpr int DisplaySettings = 40157;
inline constexpr int RouteListByDate = 40161;
inline constexpr int RouteListByName = 40162;
inline constexpr int UtmGkZone = 40163;
inline constexpr int OtherRouteDb = 40170;
inline constexpr int PlaceDirectory = 241;

}  // namespace vexa::cmd
