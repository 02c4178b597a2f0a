// Reading and writing the settings under the key "Software\KL\VEXA".
//
// Every operation opens (or creates) the key, touches its values and is done; nothing is
// cached here. Failures are reported the way the user knows them: a message box when the key
// cannot be opened (once: the program then runs on its defaults) or a text cannot be saved, an NMEA list line for a number that cannot be
// written or a value that is absent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/settings.h"

namespace vexa {

class DiagnosticText;
class SettingsStorage;
class Ui;

struct SettingsStore {
    SettingsStorage& storage;
    Ui& ui;
    DiagnosticText& diagnostics;
    // The box for a key that cannot be opened is shown once; further failures only add an
    // NMEA list line, until the key opens again.
    bool keyFailureShown = false;
};

inline constexpr std::size_t kKartDirChars = 259;  // 260-character text with terminator

// Writers of single numbers.
void RegCreateZeitsync(SettingsStore& store, std::uint32_t value);
void RegCreateHKorrektur(SettingsStore& store, std::uint32_t value);
void RegCreateGpsBKColor(SettingsStore& store, std::uint32_t value);
void RegCreateComx(SettingsStore& store, std::uint32_t value);
void RegCreateKartenFarben(SettingsStore& store, std::uint32_t value);
void RegCreatePowerSave(SettingsStore& store, std::uint32_t value);
// LGgaLogTime, LGsaLogTime, LRmcLogTime, LTraceTime, itracemax, imindist, in this order.
void RegCreateLogTimes(SettingsStore& store, const Settings& settings);
void RegCreateLogdir(SettingsStore& store, std::string_view logDir);
void RegCreateKartdir(SettingsStore& store, std::string_view mapDir);
// The face name of fonts[index] and the size.
void RegCreateFont(SettingsStore& store, const std::vector<std::string>& fonts, int index,
                   int size);

// Readers of single numbers: the value, or 0 when it is absent or the key cannot be opened.
std::uint32_t RegQueryZeitsync(SettingsStore& store);
std::uint32_t RegQueryHKorrektur(SettingsStore& store);
std::uint32_t RegQueryGpsBKColor(SettingsStore& store);
std::uint32_t RegQueryComx(SettingsStore& store);
std::uint32_t RegQueryKartenFarben(SettingsStore& store);
std::uint32_t RegQueryPowerSave(SettingsStore& store);
// Fills the six log and trace values that are present; itracemax is cut to 2000.
void RegQueryLogTimes(SettingsStore& store, Settings& settings);
// Fill the text and return whether the value was present.
bool RegQueryLogdir(SettingsStore& store, std::string& logDir);
bool RegQueryKartdir(SettingsStore& store, std::string& mapDir);
// Selects the font of that name in the list (a name not in the list leaves the selection) and
// reads the size as a 16-bit value.
void RegQueryFont(SettingsStore& store, const std::vector<std::string>& fonts,
                  int& selectedFont, int& fontSize);

// The device a port name "COMn:" stands for on this machine, from the value "ComDevice<n>"
// (e.g. ComDevice1=sz:/dev/rfcomm0); empty when none is set, and then the n-th serial device
// found is used. Absence is normal and not reported.
std::string RegQueryComDevice(SettingsStore& store, int port);
void RegCreateComDevice(SettingsStore& store, int port, std::string_view device);
// The port chosen by name (a device path, "gpsd" or "gpsd://HOST:PORT") in the value sPort;
// empty when a COM item is the choice.
std::string RegQueryPort(SettingsStore& store);
void RegCreatePort(SettingsStore& store, std::string_view port);
// Where the port "gpsd" connects: "gpsd://HOST:PORT" from the values GpsdHost (default
// localhost) and GpsdPort (default 2947).
std::string RegQueryGpsd(SettingsStore& store);

// The memory budget for one decoded map in MB, from "iKartenSpeicherMB"; 0 when absent (a
// quarter of physical memory then applies). Absence is normal and not reported.
std::uint32_t RegQueryKartenSpeicher(SettingsStore& store);

// The NMEA replay's speed in "iReplaySpeed": a factor of the log's own time, 0 for as fast as
// possible; empty when absent (the default speed applies). Absence is normal and not reported.
std::optional<std::uint32_t> RegQueryReplaySpeed(SettingsStore& store);
void RegCreateReplaySpeed(SettingsStore& store, std::uint32_t speed);

// The values read at window creation, in their order there. Fonts are read later.
void LoadStartupSettings(SettingsStore& store, Settings& settings);

// The 18 names that "delete all" removes, in order.
const std::vector<std::string_view>& settingNamesToDelete();
// Asks "Registry Entries ?" and on OK deletes every value, one NMEA list line each.
// The running program keeps its values. Returns whether the user confirmed.
bool RegDeleteAll(SettingsStore& store);

// The window on the desktop as the last run left it: "sWindow" holds "x,y,width,height" (the
// frame's top-left corner and the inner size, in desktop pixels), "iScale" the scale of the
// device screen. Absence is normal and not reported; a failed write adds an NMEA list line.
struct WindowPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowPlacement&) const = default;
};
std::optional<WindowPlacement> RegQueryWindow(SettingsStore& store);
void RegCreateWindow(SettingsStore& store, const WindowPlacement& placement);
std::uint32_t RegQueryScale(SettingsStore& store);  // 0 when absent
void RegCreateScale(SettingsStore& store, std::uint32_t scale);

}  // namespace vexa
