// Starting and stopping GPS reception and log replay: the serial link to the receiver, the
// reader thread `readPacketNMEA`, the replay thread `ProcessEmul` and the commands that run
// them ("GPS Start", "GPS Stop", "EmulateStart/Import", "EmulateStop", and the stop at exit).
//
// One worker thread runs at a time. Threads are never killed: a stop request makes the worker
// leave its loop (the reader within one read time-out, the replay after the current line) and
// the thread is joined.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "gps/gps_input.h"
#include "gps/nmea_framing.h"
#include "gps/replay_pace.h"
#include "gps/sentence_processing.h"
#include "platform/input_file.h"

namespace vexa {

class SerialPort;
struct SettingsStore;

// The replay pause: an auto-reset event, created signalled. Each signal releases one line.
class ReplayEvent {
public:
    void signal();
    // Waits until signalled, then resets.
    void wait();

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool signalled_ = true;
};

struct GpsSession {
    GpsSession(GpsInput& in, SettingsStore& store, SerialPort& serial)
        : input(in), settingsStore(store), port(serial) {}

    GpsInput& input;
    SettingsStore& settingsStore;
    SerialPort& port;
    // Resolves a port name ("COM3:" or a device path) to the device to open.
    std::function<std::string(const std::string&)> portDevice;
    // Extensions the program imports instead of replaying ("kml", "kmz", "ovl", "gpx", "csv"): the app hands
    // these to their importers; without one the file is refused with a message.
    std::function<bool(const std::filesystem::path&, const std::string& extension)> importFile;
    // Asked after a replay started: show the GPS view, or the Move view when maps exist.
    std::function<void()> showReplayView;
    // Called on the UI thread before a replay starts: nothing else may move the position
    // while the log plays (the window ends its start-up route animation here).
    std::function<void()> beforeReplay;
    // The display's backlight hold: taken when a replay starts, released when it ends, so the
    // screen stays lit while nobody touches the device.
    std::function<void(bool hold)> holdBacklight;

    ReplayEvent replayEvent;
    // The log's own clock: waits between the lines by the chosen speed, outside the state mutex.
    ReplayPace pace;
    std::thread worker;
    std::atomic<bool> workerRunning{false};
    std::atomic<bool> stopRequested{false};  // the reader's stop at exit
    // The last open_port's failure (errno, 0 after success) and the device it tried.
    int openError = 0;
    std::string openDevice;
};

inline constexpr int kGpsBaud = 4800;
inline constexpr int kReadTimeoutUnits = 500;  // of 10 ms: five seconds without a byte

// Opens and configures the port; reports failures and leaves no half-open port behind.
bool open_port(GpsSession& session, const std::string& portName, int baud);
// "Close %s ok" or the report and "Close %s not ok".
bool close_port(GpsSession& session, const std::string& portName);
// What one read gives: 1 with `count` bytes (at most `capacity`), 0 after the five-second
// time-out (the port is then closed) or without a port, 6 when the port was closed underneath
// the read. While no byte comes, the lines waiting in `reader`'s backlog are processed as soon
// as the state mutex is free.
int Read_Timeout(GpsSession& session, char* into, std::size_t capacity, std::size_t& count,
                 ReaderState* reader = nullptr);

// The reader and replay thread bodies (run on the worker thread).
void readPacketNMEA(GpsSession& session);
void ProcessEmul(GpsSession& session, std::string bytes);
// The file, read whole; its date becomes the fix date text. Unreadable: the problem, also in the
// NMEA list.
InputFile read_EmulFile(GpsSession& session, const std::filesystem::path& file);

// The commands.
void GpsStart(GpsSession& session);
void GpsStop(GpsSession& session);
// Asks for a file (OpenEmulFile) and replays or imports it.
void EmulateStart(GpsSession& session);
// Replays or imports the given file without asking (command line, tests).
void EmulateStartFile(GpsSession& session, const std::filesystem::path& file);
void EmulateStop(GpsSession& session);
// Pauses or resumes a running replay; a paused replay stops before its next line.
void PauseReplay(GpsSession& session, bool paused);
// At exit: closes the port, stops and joins a running worker. A worker may be waiting for the
// user (a message box through Ui); the application's Ui must answer such calls at once while
// it shuts down, or this join would wait for a dialog that is never shown.
void StopGpsThreads(GpsSession& session);
// Joins a worker that has ended by itself (called before starting another).
void JoinFinishedWorker(GpsSession& session);

}  // namespace vexa
