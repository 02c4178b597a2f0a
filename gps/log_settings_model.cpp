#include "gps/log_settings_model.h"

#include "frame/settings.h"
#include "frame/settings_store.h"
#include "gps/nmea_fields.h"
#include "util/text.h"

namespace vexa {

namespace {

bool isNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

}  // namespace

FieldRange logFieldRange(LogField field) {
    switch (field) {
    case LogField::TraceLength: return {100, kTraceMaxLimit, 100};
    case LogField::TraceInterval: return {1, 60, 1};
    case LogField::RmcInterval:
    case LogField::GsaInterval:
    case LogField::GgaInterval: return {-1, 60, 0};
    case LogField::MinDistance: return {0, 1000, 0};
    case LogField::TimeZone: return {-12, 12, 0};
    }
    return {0, 0, 0};
}

long* LogSettingsModel::target(LogField field) const {
    switch (field) {
    case LogField::TraceLength: return &settings_.itracemax;
    case LogField::TraceInterval: return &settings_.LTraceTime;
    case LogField::RmcInterval: return &settings_.LRmcLogTime;
    case LogField::GsaInterval: return &settings_.LGsaLogTime;
    case LogField::GgaInterval: return &settings_.LGgaLogTime;
    case LogField::MinDistance: return &settings_.imindist;
    case LogField::TimeZone: break;
    }
    return nullptr;
}

long LogSettingsModel::value(LogField field) const {
    const long* v = target(field);
    return v ? *v : settings_.TimeZoneSetting;
}

void LogSettingsModel::showInfo(std::string text) {
    info_ = std::move(text);
    infoVisible_ = true;
}

void LogSettingsModel::distanceChanged() {
    switch (settings_.imindist) {
    case 50: distanceButton_ = 0; break;
    case 20: distanceButton_ = 1; break;
    case 10: distanceButton_ = 2; break;
    default: distanceButton_ = -1; break;
    }
    showInfo(strprintf("Mindest Distanz für Trace/Log %ld m", settings_.imindist));
}

void LogSettingsModel::intervalInfo(LogField field, long value) {
    const char* off = field == LogField::RmcInterval   ? "RMC     wird nicht benutzt"
                      : field == LogField::GgaInterval ? "Ohne GGA Keine Höhenanzeige"
                                                       : "Ohne GSA/V Kein Satellitenstatus";
    const char* noLog = field == LogField::RmcInterval   ? "Kein Logging für RMC"
                        : field == LogField::GgaInterval ? "Kein Logging für GGA"
                                                         : "Kein Logging für GSA/V";
    if (value == -1) showInfo(off);
    else if (value == 0) showInfo(noLog);
    else infoVisible_ = false;
}

void LogSettingsModel::open(SettingsStore& store) {
    RegQueryLogTimes(store, settings_);
    settings_.iZeitsync = static_cast<int>(RegQueryZeitsync(store));
    settings_.iHKorrektur = static_cast<int>(RegQueryHKorrektur(store));
    distanceChanged();
    if (settings_.LRmcLogTime == -1 || settings_.LGgaLogTime == -1 || settings_.LGsaLogTime == -1)
        showInfo("-1:Satz wird nicht benutzt");
    else
        infoVisible_ = false;
}

std::optional<std::string> LogSettingsModel::edit(LogField field, std::string_view text) {
    const FieldRange range = logFieldRange(field);
    std::optional<std::string> corrected;
    long v = range.whenEmpty;
    if (isNumber(text)) {
        v = parseInt(text);
        if (v > range.max || v < range.min) {
            v = v > range.max ? range.max : range.min;
            corrected = std::to_string(v);
        }
    }
    long* setting = target(field);
    if (!setting) {  // the time zone is taken on Done
        return corrected;
    }
    *setting = v;
    switch (field) {
    case LogField::RmcInterval:
    case LogField::GsaInterval:
    case LogField::GgaInterval: intervalInfo(field, v); break;
    case LogField::MinDistance: distanceChanged(); break;
    default: break;
    }
    return corrected;
}

void LogSettingsModel::pickDistance(int button) {
    static constexpr long kDistances[] = {50, 20, 10};
    if (button < 0 || button > 2) return;
    settings_.imindist = kDistances[button];
    distanceChanged();
}

void LogSettingsModel::setClockSync(bool on) { settings_.iZeitsync = on ? 1 : 0; }
void LogSettingsModel::setAltitudeCorrection(bool on) { settings_.iHKorrektur = on ? 1 : 0; }

void LogSettingsModel::standard() {
    settings_.imindist = 25;
    settings_.LTraceTime = 1;
    settings_.itracemax = kTraceMaxLimit;
    settings_.LGgaLogTime = 1;
    settings_.LRmcLogTime = 1;
    settings_.LGsaLogTime = -1;
    settings_.iZeitsync = 0;
    settings_.iHKorrektur = 0;
    distanceButton_ = -1;
    showInfo("Einstellungen auf Default gesetzt");
}

void LogSettingsModel::done(SettingsStore& store, std::string_view timeZoneText) {
    if (isNumber(timeZoneText)) settings_.TimeZoneSetting = parseInt(timeZoneText);
    RegCreateLogTimes(store, settings_);
    RegCreateZeitsync(store, static_cast<std::uint32_t>(settings_.iZeitsync));
    RegCreateHKorrektur(store, static_cast<std::uint32_t>(settings_.iHKorrektur));
}

}  // namespace vexa
