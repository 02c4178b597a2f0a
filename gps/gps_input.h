// The records and services one GPS worker thread works with, taken by reference from the
// application's state aggregate. A test builds a fresh set per case.
//
// `stateMutex` is the application's state mutex: the sentence processing holds it for each
// line, and the UI thread holds it whenever it reads or writes these records.
#pragma once

#include <mutex>

namespace vexa {

class Clock;
class DiagnosticText;
class GpsViews;
class Ui;
struct FrameState;
struct GpsState;
struct GridContext;
struct LastPosition;
struct NmeaLog;
struct SatelliteState;
struct Settings;
struct TraceTable;

struct GpsInput {
    GpsState& gps;
    LastPosition& last;
    SatelliteState& satellites;
    TraceTable& trace;
    NmeaLog& log;
    Settings& settings;
    FrameState& frame;
    GridContext& grid;
    DiagnosticText& diagnostics;
    Ui& ui;
    Clock& clock;
    GpsViews& views;
    std::mutex& stateMutex;
};

}  // namespace vexa
