// A fresh set of GPS records per test, the scripted user and clock, views that record what
// they were asked to show, and sentences with their checksum.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "frame/settings.h"
#include "geo/grid_context.h"
#include "gps/gps_input.h"
#include "gps/gps_records.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/nmea_framing.h"
#include "gps/nmea_log.h"
#include "gps/satellites.h"
#include "platform/testing/manual_clock.h"
#include "platform/testing/scripted_ui.h"
#include "routes/trace_table.h"

namespace vexa {
class SerialPort;
}

namespace vexa::testing {

class RecordingViews : public GpsViews {
public:
    std::vector<PositionFrame> frames;
    std::vector<std::string> moveTexts;
    std::vector<bool> displaySwitches;  // true = off
    int gpsRedraws = 0;
    int fixesPlaced = 0;
    int keepAwakeCalls = 0;
    bool acPower = false;

    void show_pos(const PositionFrame& f) override { frames.push_back(f); }
    void setSunTimes(std::string_view) override {}
    void ShowGps() override { ++gpsRedraws; }
    void DrawMoveText(std::string_view text) override { moveTexts.emplace_back(text); }
    void fillGeomsg(double, double, std::string_view, std::string_view) override { ++fixesPlaced; }
    bool checkPosKarte(GridPoint) override { return true; }
    int nmeaListRefreshes = 0;
    void refreshNmeaList() override { ++nmeaListRefreshes; }
    void keepAwake() override { ++keepAwakeCalls; }
    void DisplayOnOff(bool off) override { displaySwitches.push_back(off); }
    bool onAcPower() override { return acPower; }
};

struct GpsRecords : vexa::GpsRecords {
    ScriptedUi ui;
    ManualClock clock;
    RecordingViews views;
    GpsInput in = input(ui, clock, views);

    // Lines of the NMEA list, oldest first.
    std::vector<std::string> listLines() const;
    bool listHas(std::string_view line) const;
    int titleCount(std::string_view title) const;
};

// Bytes through the live framing as one read.
void receive(GpsRecords& r, ReaderState& reader, std::string_view bytes, SerialPort* port = nullptr);
// A whole text through the replay sequence, from its start to its end, as the replay thread runs it.
void replay(GpsRecords& r, std::string_view text);

// Polls the condition every 20 ms until it holds or the time is up; true when it held.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);

// "$" + body + "*" + two upper-case hex digits.
std::string nmea(std::string_view body);
std::string readDataFile(const std::string& name);

}  // namespace vexa::testing
