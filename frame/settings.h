// The persisted user settings and their values before anything is read.
#pragma once

#include <cstdint>
#include <string>

#include "geo/sun_times.h"

namespace vexa {

struct Settings {
    int iCom = 1;               // serial port 1..8, "COM1:".."COM8:"
    int iZeitsync = 0;          // 1 = set the clock from GPS time
    int iHKorrektur = 0;        // 1 = subtract 47 m from GGA altitudes
    long LRmcLogTime = 1;       // −1 off, 0 parsed not logged, n > 0 log every n seconds
    long LGgaLogTime = 1;
    long LGsaLogTime = -1;      // GSA and GSV
    long LTraceTime = 1;        // seconds between trace points; 0 = no live trace
    long itracemax = 2000;      // highest trace index, never above 2000
    long imindist = 25;         // metres between trace points and logged RMC/GGA
    std::string LogDir = "\\";  // "\" = the default log folder
    std::string KartDir;        // empty while no map directory is set
    int iGpsBKColor = 0;
    int iKartenFarben = 0;
    int iPowerSave = 0;         // 1 = screen auto-off
    std::string Font;           // face name of the display font
    int Fontsize = 0;
    int TimeZoneSetting = kTimeZoneAutomatic;  // hours from UTC, or automatic; not persisted
};

inline constexpr long kTraceMaxLimit = 2000;

}  // namespace vexa
