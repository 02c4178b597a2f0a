// The NMEA log: received sentences written to a text file, one per line.
//
// The log is shared by the UI thread (opening it from "GPS Start", closing it from
// "GPS Stop") and the GPS worker (writing, closing at the end of the thread); its own mutex
// keeps the two apart, and the file dialog is asked before that mutex is taken.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>

namespace vexa {

class Clock;
class DiagnosticText;
class Ui;
struct Settings;
struct SettingsStore;

struct NmeaLog {
    std::atomic<bool> active{false};  // the logging-active flag
    std::filesystem::path path;  // the log's file, created by the first sentence
    std::size_t charsSinceFlush = 0;
    std::FILE* file = nullptr;
    std::mutex mutex;

    NmeaLog() = default;
    NmeaLog(const NmeaLog&) = delete;
    NmeaLog& operator=(const NmeaLog&) = delete;
    ~NmeaLog();  // closes, flushes and syncs a log still open at program end
};

// "NmeaLog_YYYYMMDD_HHMM.txt" for the local time now.
std::string defaultLogFileName(const Clock& clock);

// Opens a new log in `logFolder`, the folder `LogDir` names (platform/paths.h
// logDirectory), asking the user first when `askUser`; returns the logging-active flag. The
// file is created (or emptied) when the first sentence is written.
// Cancelling the dialog leaves the flag as it was. `LogDir` then names the chosen folder.
bool OpenLogFile(NmeaLog& log, Settings& settings, SettingsStore& store, Ui& ui,
                 DiagnosticText& diagnostics, const Clock& clock,
                 const std::filesystem::path& logFolder, bool askUser);
// Appends one sentence (its bytes as received) and a line feed.
void WriteLogFile(NmeaLog& log, std::string_view sentence);
// Flushes, syncs and closes; logging is off afterwards.
void CloseLogFile(NmeaLog& log);

}  // namespace vexa
