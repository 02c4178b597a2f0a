// The rules of the dialog "Log Einstellungen": field ranges, what an empty or too large entry
// becomes, the information line, the 50/20/10 m buttons, "Standard" and Done.
//
// Edits take effect at once in the running settings, so the dialog calls these with the
// application's state mutex held.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vexa {

struct Settings;
struct SettingsStore;

enum class LogField { TraceLength, TraceInterval, RmcInterval, GsaInterval, GgaInterval, MinDistance, TimeZone };

struct FieldRange {
    long min;
    long max;
    long whenEmpty;
};

// The spin range of a field and the value an empty field gives.
FieldRange logFieldRange(LogField field);

class LogSettingsModel {
public:
    explicit LogSettingsModel(Settings& settings) : settings_(settings) {}

    // Reads the log settings from the store again and sets the information line.
    void open(SettingsStore& store);

    // The user typed `text`. Returns the text the field must show instead when the entry
    // was brought into range (e.g. "60" for 70), or nothing when it stands.
    std::optional<std::string> edit(LogField field, std::string_view text);
    // The value a field shows.
    long value(LogField field) const;

    // The three distance buttons: 0 → 50 m, 1 → 20 m, 2 → 10 m.
    void pickDistance(int button);
    // The selected distance button for the current minimum distance, −1 when none.
    int selectedDistanceButton() const { return distanceButton_; }

    void setClockSync(bool on);
    void setAltitudeCorrection(bool on);
    void standard();
    // Done: takes the time zone and saves the values.
    void done(SettingsStore& store, std::string_view timeZoneText);

    bool infoVisible() const { return infoVisible_; }
    const std::string& infoText() const { return info_; }

private:
    Settings& settings_;
    int distanceButton_ = -1;
    bool infoVisible_ = false;
    std::string info_;

    long* target(LogField field) const;  // nullptr for the time zone
    void showInfo(std::string text);
    void intervalInfo(LogField field, long value);
    void distanceChanged();
};

}  // namespace vexa
