#include "frame/settings_store.h"

#include <algorithm>
#include <cstdio>

#include "util/diagnostic_text.h"
#include "platform/settings_storage.h"
#include "platform/ui.h"
#include "util/text.h"

namespace vexa {

namespace {

constexpr std::string_view kKeyFailed =
    "Could not open/create key: \nHKEY_LOCAL_MACHINE\\Software\\KL\\VEXA";
constexpr std::string_view kCaption = "VEXA";

// Opens the key; in debug mode says whether it was new. The first failure shows the message
// box, later ones (start-up alone reads eight values) add a line to the NMEA list.
bool openKey(SettingsStore& store) {
    switch (store.storage.open()) {
    case KeyOpenResult::Created:
        store.keyFailureShown = false;
        AddDebugLine(store.diagnostics, "Created new key");
        return true;
    case KeyOpenResult::Opened:
        store.keyFailureShown = false;
        AddDebugLine(store.diagnostics, "Opened existing key");
        return true;
    case KeyOpenResult::Failed: break;
    }
    if (store.keyFailureShown) {
        AddNmeaListLine(store.diagnostics, "Could not open/create key:");
    } else {
        store.keyFailureShown = true;
        store.ui.messageBox(kKeyFailed, kCaption, MessageButtons::Ok, MessageIcon::Error);
    }
    return false;
}

void reportMissing(SettingsStore& store, std::string_view name) {
    const std::string n(name);
    AddNmeaListLine(store.diagnostics, strprintf("Registry für <%s> nicht vorhanden", n.c_str()));
}

void writeNumber(SettingsStore& store, std::string_view name, std::uint32_t value) {
    if (!store.storage.writeNumber(name, value)) {
        const std::string n(name);
        AddNmeaListLine(store.diagnostics, strprintf("Could not create key <%s>", n.c_str()));
    }
}

void createNumber(SettingsStore& store, std::string_view name, std::uint32_t value) {
    if (openKey(store)) writeNumber(store, name, value);
}

void createString(SettingsStore& store, std::string_view name, std::string_view value) {
    if (!openKey(store)) return;
    if (!store.storage.writeString(name, value))
        store.ui.messageBox("Could not save key", kCaption, MessageButtons::Ok, MessageIcon::Error);
}

std::optional<std::uint32_t> readNumber(SettingsStore& store, std::string_view name) {
    auto value = store.storage.readNumber(name);
    if (!value) reportMissing(store, name);
    return value;
}

std::uint32_t queryNumber(SettingsStore& store, std::string_view name) {
    if (!openKey(store)) return 0;
    return readNumber(store, name).value_or(0);
}

// Log times are signed (−1 = off) although stored as 32-bit numbers.
void readSigned(SettingsStore& store, std::string_view name, long& target) {
    if (const auto value = readNumber(store, name))
        target = static_cast<std::int32_t>(*value);
}

}  // namespace

void RegCreateZeitsync(SettingsStore& store, std::uint32_t value) { createNumber(store, "iZeitsync", value); }
void RegCreateHKorrektur(SettingsStore& store, std::uint32_t value) { createNumber(store, "iHKorrektur", value); }
void RegCreateGpsBKColor(SettingsStore& store, std::uint32_t value) { createNumber(store, "iGpsBKColor", value); }
void RegCreateComx(SettingsStore& store, std::uint32_t value) { createNumber(store, "iCom", value); }
void RegCreateKartenFarben(SettingsStore& store, std::uint32_t value) { createNumber(store, "iKartenFarben", value); }
void RegCreatePowerSave(SettingsStore& store, std::uint32_t value) { createNumber(store, "iPowerSave", value); }

void RegCreateLogTimes(SettingsStore& store, const Settings& settings) {
    if (!openKey(store)) return;
    writeNumber(store, "LGgaLogTime", static_cast<std::uint32_t>(settings.LGgaLogTime));
    writeNumber(store, "LGsaLogTime", static_cast<std::uint32_t>(settings.LGsaLogTime));
    writeNumber(store, "LRmcLogTime", static_cast<std::uint32_t>(settings.LRmcLogTime));
    writeNumber(store, "LTraceTime", static_cast<std::uint32_t>(settings.LTraceTime));
    writeNumber(store, "itracemax", static_cast<std::uint32_t>(settings.itracemax));
    writeNumber(store, "imindist", static_cast<std::uint32_t>(settings.imindist));
}

void RegCreateLogdir(SettingsStore& store, std::string_view logDir) { createString(store, "LogDir", logDir); }
void RegCreateKartdir(SettingsStore& store, std::string_view mapDir) { createString(store, "KartDir", mapDir); }

void RegCreateFont(SettingsStore& store, const std::vector<std::string>& fonts, int index,
                   int size) {
    if (index < 0 || static_cast<std::size_t>(index) >= fonts.size()) return;
    if (!openKey(store)) return;
    if (!store.storage.writeString("Font", fonts[static_cast<std::size_t>(index)])) {
        store.ui.messageBox("Could not save key", kCaption, MessageButtons::Ok, MessageIcon::Error);
        return;
    }
    writeNumber(store, "Fontsize", static_cast<std::uint32_t>(size));
}

std::uint32_t RegQueryZeitsync(SettingsStore& store) { return queryNumber(store, "iZeitsync"); }
std::uint32_t RegQueryHKorrektur(SettingsStore& store) { return queryNumber(store, "iHKorrektur"); }
std::uint32_t RegQueryGpsBKColor(SettingsStore& store) { return queryNumber(store, "iGpsBKColor"); }
std::uint32_t RegQueryComx(SettingsStore& store) { return queryNumber(store, "iCom"); }
std::uint32_t RegQueryKartenFarben(SettingsStore& store) { return queryNumber(store, "iKartenFarben"); }
std::uint32_t RegQueryPowerSave(SettingsStore& store) { return queryNumber(store, "iPowerSave"); }

void RegQueryLogTimes(SettingsStore& store, Settings& settings) {
    if (!openKey(store)) return;
    readSigned(store, "LGgaLogTime", settings.LGgaLogTime);
    readSigned(store, "LGsaLogTime", settings.LGsaLogTime);
    readSigned(store, "LRmcLogTime", settings.LRmcLogTime);
    readSigned(store, "LTraceTime", settings.LTraceTime);
    // The trace table's highest index and the distance are unsigned: a stored −1 is huge and
    // so is cut like any other value above the table.
    if (const auto value = readNumber(store, "itracemax"))
        settings.itracemax = static_cast<long>(std::min<std::uint32_t>(*value, kTraceMaxLimit));
    if (const auto value = readNumber(store, "imindist"))
        settings.imindist = static_cast<long>(std::min<std::uint32_t>(*value, INT32_MAX));
}

bool RegQueryLogdir(SettingsStore& store, std::string& logDir) {
    if (!openKey(store)) return false;
    const auto value = store.storage.readString("LogDir");
    if (!value) {
        reportMissing(store, "LogDir");
        return false;
    }
    logDir = *value;
    return true;
}

bool RegQueryKartdir(SettingsStore& store, std::string& mapDir) {
    if (!openKey(store)) return false;
    const auto value = store.storage.readString("KartDir");
    if (!value) {
        AddNmeaListLine(store.diagnostics, "Value KartDir not in Registry");
        return false;
    }
    mapDir.assign(utf8Prefix(*value, kKartDirChars));
    return true;
}

void RegQueryFont(SettingsStore& store, const std::vector<std::string>& fonts,
                  int& selectedFont, int& fontSize) {
    if (!openKey(store)) return;
    if (const auto name = store.storage.readString("Font")) {
        const auto it = std::find(fonts.begin(), fonts.end(), *name);
        if (it != fonts.end()) selectedFont = static_cast<int>(it - fonts.begin());
    } else {
        AddNmeaListLine(store.diagnostics, "Value Font not in Registry");
    }
    if (const auto size = readNumber(store, "Fontsize"))
        fontSize = static_cast<std::int16_t>(static_cast<std::uint16_t>(*size));
}

std::string RegQueryComDevice(SettingsStore& store, int port) {
    if (port < 1 || port > 8) return {};
    if (store.storage.open() == KeyOpenResult::Failed) return {};
    return store.storage.readString("ComDevice" + std::to_string(port)).value_or("");
}

std::uint32_t RegQueryKartenSpeicher(SettingsStore& store) {
    if (store.storage.open() == KeyOpenResult::Failed) return 0;
    return store.storage.readNumber("iKartenSpeicherMB").value_or(0);
}

void RegCreateComDevice(SettingsStore& store, int port, std::string_view device) {
    if (port < 1 || port > 8) return;
    createString(store, "ComDevice" + std::to_string(port), device);
}

std::string RegQueryPort(SettingsStore& store) {
    if (store.storage.open() == KeyOpenResult::Failed) return {};
    return store.storage.readString("sPort").value_or("");
}

void RegCreatePort(SettingsStore& store, std::string_view port) { createString(store, "sPort", port); }

std::string RegQueryGpsd(SettingsStore& store) {
    std::string host = "localhost";
    std::uint32_t port = 2947;
    if (store.storage.open() != KeyOpenResult::Failed) {
        host = store.storage.readString("GpsdHost").value_or(host);
        if (const auto stored = store.storage.readNumber("GpsdPort"); stored && *stored > 0 && *stored < 65536)
            port = *stored;
    }
    if (host.empty()) host = "localhost";
    const bool v6 = host.find(':') != std::string::npos;
    return "gpsd://" + (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::optional<WindowPlacement> RegQueryWindow(SettingsStore& store) {
    if (store.storage.open() == KeyOpenResult::Failed) return std::nullopt;
    const auto text = store.storage.readString("sWindow");
    if (!text) return std::nullopt;
    WindowPlacement p;
    char rest = 0;
    if (std::sscanf(text->c_str(), "%d,%d,%d,%d%c", &p.x, &p.y, &p.width, &p.height, &rest) != 4) return std::nullopt;
    if (p.width <= 0 || p.height <= 0) return std::nullopt;
    return p;
}

void RegCreateWindow(SettingsStore& store, const WindowPlacement& p) {
    const bool written = store.storage.open() != KeyOpenResult::Failed &&
                         store.storage.writeString("sWindow", strprintf("%d,%d,%d,%d", p.x, p.y, p.width, p.height));
    if (!written) AddNmeaListLine(store.diagnostics, "Could not create key <sWindow>");
}

std::uint32_t RegQueryScale(SettingsStore& store) {
    if (store.storage.open() == KeyOpenResult::Failed) return 0;
    return store.storage.readNumber("iScale").value_or(0);
}

void RegCreateScale(SettingsStore& store, std::uint32_t scale) {
    if (store.storage.open() == KeyOpenResult::Failed || !store.storage.writeNumber("iScale", scale))
        AddNmeaListLine(store.diagnostics, "Could not create key <iScale>");
}

void LoadStartupSettings(SettingsStore& store, Settings& settings) {
    settings.iZeitsync = static_cast<int>(RegQueryZeitsync(store));
    settings.iHKorrektur = static_cast<int>(RegQueryHKorrektur(store));
    settings.iGpsBKColor = static_cast<int>(RegQueryGpsBKColor(store));
    // Ports are COM1: to COM8:; 0 (absent) and anything else select COM1:.
    const std::uint32_t port = RegQueryComx(store);
    settings.iCom = (port >= 1 && port <= 8) ? static_cast<int>(port) : 1;
    RegQueryLogTimes(store, settings);
    RegQueryLogdir(store, settings.LogDir);
    settings.iKartenFarben = static_cast<int>(RegQueryKartenFarben(store));
    settings.iPowerSave = static_cast<int>(RegQueryPowerSave(store));
}

const std::vector<std::string_view>& settingNamesToDelete() {
    static const std::vector<std::string_view> names = {
        "KartDir",     "LogDir",      "iCom",        "itracemax",     "LTraceTime", "LRmcLogTime",
        "LGsvLogTime", "LGsaLogTime", "LGgaLogTime", "imindist",      "iKartenFarben",
        "iPowerSave",  "Font",        "Fontsize",    "iMenustyle",    "iGpsBKColor", "iZeitsync",
        "iHKorrektur"};
    return names;
}

bool RegDeleteAll(SettingsStore& store) {
    if (store.ui.messageBox("Registry Entries ?", "Delete", MessageButtons::OkCancel,
                            MessageIcon::Question) != Answer::Ok)
        return false;
    if (store.storage.open() == KeyOpenResult::Failed) {
        AddNmeaListLine(store.diagnostics, "Could not open/create key:");
        return true;
    }
    for (const std::string_view name : settingNamesToDelete()) {
        const std::string n(name);
        AddNmeaListLine(store.diagnostics,
                        store.storage.remove(name) ? strprintf("Delete key <%s> ok", n.c_str())
                                                   : strprintf("Could not delete key <%s>", n.c_str()));
    }
    return true;
}

}  // namespace vexa
