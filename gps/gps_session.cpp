#include "gps/gps_session.h"

#include <sys/stat.h>
#include <fcntl.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <ctime>
#include <system_error>

#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "frame/settings.h"
#include "gps/gps_state.h"
#include "gps/gps_views.h"
#include "gps/log_encoding.h"
#include "gps/nmea_log.h"
#include "gps/nmea_replay.h"
#include "gps/port_failure_text.h"
#include "platform/clock.h"
#include "platform/input_file.h"
#include "platform/paths.h"
#include "platform/serial_port.h"
#include "platform/ui.h"
#include "util/text.h"

namespace vexa {

namespace {

constexpr std::string_view kCaption = "VEXA";
constexpr std::string_view kNoData = "       GPS sendet keine NMEA-Daten          ";
constexpr std::string_view kLost = "   Verbindung zum GPS unterbrochen   ";

// The receiver is gone (silence, hang-up, unplugged): the screen comes on, the Move view's
// status line says why, and a box tells the user.
void tellReceiverLost(GpsInput& in, std::string_view text, std::string_view caption) {
    {
        std::lock_guard lock(in.stateMutex);
        if (!in.frame.bAutoScreenOn || in.frame.bManualScreenOff) in.views.DisplayOnOff(false);
        in.views.DrawMoveText(text);
    }
    in.ui.messageBox(text, caption, MessageButtons::Ok, MessageIcon::Warning);
}

// Asks the window to redraw the view that is shown.
void RefreshWindow(GpsSession& session) {
    switch (session.input.frame.displayMode.load()) {
    case DisplayMode::Nmea: session.input.ui.sendCommand(kCmdRedrawNmea); break;
    case DisplayMode::Gps: session.input.ui.sendCommand(kCmdRedrawGps); break;
    case DisplayMode::Move: session.input.ui.sendCommand(kCmdRedrawMove); break;
    case DisplayMode::Karte: session.input.ui.sendCommand(kCmdRedrawKarte); break;
    }
}

std::string portName(GpsSession& session) {
    std::lock_guard lock(session.input.stateMutex);
    return session.input.frame.portName;
}

void clearSeenFlags(GpsSession& session) {
    std::lock_guard lock(session.input.stateMutex);
    session.input.gps.rmcSeen = false;
    session.input.gps.ggaSeen = false;
}

// Starts the worker; reports when the system refuses a thread.
bool startWorker(GpsSession& session, std::function<void()> body, std::string_view caption) {
    // A previous worker has been asked to stop (port closed, replay stopped) and ends within
    // one read time-out or line.
    if (session.worker.joinable()) session.worker.join();
    session.workerRunning = true;
    try {
        session.worker = std::thread([&session, body = std::move(body)] {
            body();
            session.workerRunning = false;
        });
    } catch (const std::system_error& e) {
        session.workerRunning = false;
        session.input.ui.messageBox(
            strprintf("Unable to create the read thread, \r\nlasterror=%ld", static_cast<long>(e.code().value())),
            caption, MessageButtons::Ok, MessageIcon::Error);
        return false;
    }
    return true;
}

// Stops a running replay (the worker leaves after its current line) and joins it.
void stopReplayWorker(GpsSession& session) {
    if (!session.worker.joinable()) return;
    EmulateStop(session);
    session.worker.join();
}

// The file's date: its birth time where the file system keeps one, else its last change,
// in local time.
std::string fileDateText(const std::filesystem::path& file) {
    struct statx info {};
    std::time_t seconds = 0;
    if (::statx(AT_FDCWD, file.c_str(), 0, STATX_BTIME | STATX_MTIME, &info) == 0)
        seconds = (info.stx_mask & STATX_BTIME) ? info.stx_btime.tv_sec : info.stx_mtime.tv_sec;
    std::tm local{};
    localtime_r(&seconds, &local);
    return strprintf("%02d.%02d.%02d", local.tm_mday, local.tm_mon + 1, (local.tm_year + 1900) % 1000);
}

std::string lowerExtension(const std::filesystem::path& file) {
    std::string ext = file.extension().string();
    if (!ext.empty() && ext.front() == '.') ext.erase(0, 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

}  // namespace

void ReplayEvent::signal() {
    {
        std::lock_guard lock(mutex_);
        signalled_ = true;
    }
    cv_.notify_one();
}

void ReplayEvent::wait() {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [this] { return signalled_; });
    signalled_ = false;
}

bool open_port(GpsSession& session, const std::string& name, int baud) {
    DiagnosticText& diagnostics = session.input.diagnostics;
    diagnostics.setCurrentOperation("open_port");
    const std::string device = session.portDevice ? session.portDevice(name) : name;
    session.openDevice = device;
    session.openError = 0;
    if (device.empty()) {
        // "COMn:" with neither a configured nor a detected device behind it.
        session.openError = ENODEV;
        ReportApiError(diagnostics, "CreateFile", ENODEV, name);
        return false;
    }
    if (const SerialError failed = session.port.open(device, baud)) {
        session.openError = failed.error;
        ReportApiError(diagnostics, failed.function, failed.error, name);
        return false;
    }
    return true;
}

bool close_port(GpsSession& session, const std::string& name) {
    DiagnosticText& diagnostics = session.input.diagnostics;
    if (const SerialError failed = session.port.close()) {
        ReportApiError(diagnostics, "CloseHandle", failed.error, name);
        AddNmeaListLine(diagnostics, strprintf("Close %s not ok", name.c_str()));
        return false;
    }
    AddNmeaListLine(diagnostics, strprintf("Close %s ok", name.c_str()));
    return true;
}

int Read_Timeout(GpsSession& session, char* into, std::size_t capacity, std::size_t& count, ReaderState* reader) {
    count = 0;
    GpsInput& in = session.input;
    const std::uint32_t entry = in.clock.tickCount();
    for (;;) {
        if (session.stopRequested) return 0;
        const std::uint32_t units = (in.clock.tickCount() - entry) / 10;
        if (units > kReadTimeoutUnits) {
            const std::string name = portName(session);
            ReportApiError(in.diagnostics, "Read_Timeout", static_cast<long>(units), name);
            close_port(session, name);
            tellReceiverLost(in, kNoData, "GPS Timeout");
            return 0;
        }
        if (!session.port.isOpen()) return 0;
        const ReadResult read = session.port.readBytes(into, capacity, count);
        switch (read.status) {
        case ReadStatus::Byte: return 1;
        case ReadStatus::Idle:
            if (reader) ProcessBacklog(in, *reader, false);
            break;
        case ReadStatus::Closed:
            AddNmeaListLine(in.diagnostics, strprintf("Port %s is closed", portName(session).c_str()));
            return 6;
        case ReadStatus::Error: {
            const std::string name = portName(session);
            ReportApiError(in.diagnostics, "ReadFile", read.error, name);
            AddNmeaListLine(in.diagnostics, strprintf("ReadFile return=0 Close %s", name.c_str()));
            close_port(session, name);
            // The box may stay up longer than the read time-out: the loss is told once.
            tellReceiverLost(in, kLost, "GPS getrennt");
            return 0;
        }
        }
    }
}

void readPacketNMEA(GpsSession& session) {
    GpsInput& in = session.input;
    in.diagnostics.setCurrentOperation("readPacketNMEA");
    ReaderState reader;
    StartReception(in, reader);
    int result = 1;
    std::array<char, 256> chunk;
    while (session.port.isOpen() && result != 6 && !session.stopRequested) {
        std::size_t count = 0;
        result = Read_Timeout(session, chunk.data(), chunk.size(), count, &reader);
        if (result == 1) AppendBytes(in, reader, &session.port, std::string_view(chunk.data(), count));
    }
    ProcessBacklog(in, reader, true);
    if (in.log.active.load()) CloseLogFile(in.log);
    in.ui.setWindowTitle(kCaption);
    RefreshWindow(session);
}

InputFile read_EmulFile(GpsSession& session, const std::filesystem::path& file) {
    GpsInput& in = session.input;
    in.diagnostics.setCurrentOperation("read_EmulFile");
    InputFile input = readInputFile(file);
    if (!input) AddNmeaListLine(in.diagnostics, file.string() + ": " + inputProblemText(input));
    std::lock_guard lock(in.stateMutex);
    if (input) in.gps.fixDateText.assign(fileDateText(file));
    else in.gps.fixDateText.clear();
    return input;
}

void ProcessEmul(GpsSession& session, std::string bytes) {
    GpsInput& in = session.input;
    in.diagnostics.setCurrentOperation("ProcessEmul");
    StartReplay(in);
    if (session.holdBacklight) session.holdBacklight(true);
    session.pace.restart();
    const std::string text = nmeaLogText(std::move(bytes));
    LogTimers timers;
    ReplayNmeaText(in, timers, text, [&session](std::string_view line) {
        FrameState& frame = session.input.frame;
        session.pace.waitForLine(line, [&frame] { return frame.replayStopRequested || frame.replayPaused; });
        if (frame.replayStopRequested) return false;
        if (frame.replayPaused) session.replayEvent.wait();
        return !frame.replayStopRequested;
    });
    FinishReplay(in);
    if (session.holdBacklight) session.holdBacklight(false);
    in.ui.setWindowTitle(kCaption);
    RefreshWindow(session);
}

void GpsStart(GpsSession& session) {
    GpsInput& in = session.input;
    in.diagnostics.setCurrentOperation("GPS Start");
    if (in.frame.replaying) stopReplayWorker(session);
    in.frame.replaying = false;
    clearSeenFlags(session);
    bool logOpenedByKey = false;
    {
        std::lock_guard lock(in.stateMutex);
        logOpenedByKey = in.frame.logOpenedByKey;
        in.frame.logOpenedByKey = false;
    }
    const bool logWasActive = in.log.active.load();
    if (!logOpenedByKey)
        OpenLogFile(in.log, in.settings, session.settingsStore, in.ui, in.diagnostics, in.clock,
                    logDirectory(in.settings.LogDir), true);
    // A start that fails closes the log it has just opened: no empty log file stays open.
    const auto closeNewLog = [&] {
        if (!logWasActive && in.log.active.load()) CloseLogFile(in.log);
    };
    if (session.port.isOpen()) {
        in.ui.messageBox("NMEA ist bereits gestartet", kCaption);
        return;
    }
    // A reader that ended with its port has nothing more to say (its last title included).
    if (session.worker.joinable()) session.worker.join();
    const std::string name = portName(session);
    if (!open_port(session, name, kGpsBaud)) {
        closeNewLog();
        const std::string advice = portFailureAdvice(session.openError, name, session.openDevice);
        in.ui.messageBox(advice.empty() ? std::string("Fehler bei Open GPS-Port")
                                        : "Fehler bei Open GPS-Port\n\n" + advice,
                         kCaption, MessageButtons::Ok, MessageIcon::Error);
        return;
    }
    in.ui.setWindowTitle(strprintf("GPS an %s", name.c_str()));
    session.stopRequested = false;
    if (!startWorker(session, [&session] { readPacketNMEA(session); }, kCaption)) {
        close_port(session, name);
        closeNewLog();
    }
}

void GpsStop(GpsSession& session) {
    GpsInput& in = session.input;
    in.diagnostics.setCurrentOperation("GPS Stop");
    if (in.frame.replaying) return;
    if (session.port.isOpen()) close_port(session, portName(session));
    if (in.log.active.load()) CloseLogFile(in.log);
}

void EmulateStart(GpsSession& session) {
    GpsInput& in = session.input;
    in.diagnostics.setCurrentOperation("EmulateStart");
    if (session.port.isOpen()) {
        in.ui.messageBox("NMEA ist gestartet", kCaption);
        return;
    }
    FileDialogRequest request;
    request.title = "EmulateStart/Import";
    request.directory = myDocumentsDir();
    // NMEA logs, then every kind the import reads.
    request.filter = "NMEA-Log (*.txt *.nmea *.log);;Google Earth Route (*.kml *.kmz);;GPX (*.gpx);;"
                     "TOP50-Overlay (*.ovl);;Excel (*.csv);;All Files (*)";
    const auto file = in.ui.openFileName(request);
    if (file) EmulateStartFile(session, *file);
}

void EmulateStartFile(GpsSession& session, const std::filesystem::path& file) {
    GpsInput& in = session.input;
    in.diagnostics.setCurrentOperation("EmulateStartFile");
    if (session.port.isOpen()) {
        in.ui.messageBox("NMEA ist gestartet", kCaption);
        return;
    }
    stopReplayWorker(session);
    clearSeenFlags(session);
    in.frame.replayStopRequested = false;
    in.frame.replayPaused = false;
    session.replayEvent.signal();

    const std::string ext = lowerExtension(file);
    if (ext == "csv" || ext == "kml" || ext == "kmz" || ext == "ovl" || ext == "gpx") {
        if (!session.importFile || !session.importFile(file, ext))
            in.ui.messageBox(strprintf("Der Import von %s-Dateien ist in dieser Version noch nicht "
                                       "möglich:\n%s", ext.c_str(), file.filename().c_str()),
                             kCaption, MessageButtons::Ok, MessageIcon::Information);
        return;
    }
    if (ext != "txt" && ext != "nmea" && ext != "log") {
        // Only NMEA logs are replayed: anything else would feed the parsers noise.
        in.ui.messageBox(strprintf("%s ist kein NMEA-Log (*.txt, *.nmea, *.log) und kann nicht abgespielt werden.",
                                   file.filename().c_str()),
                         kCaption, MessageButtons::Ok, MessageIcon::Warning);
        return;
    }
    if (session.beforeReplay) session.beforeReplay();
    in.frame.replaying = true;
    {
        std::lock_guard lock(in.stateMutex);
        in.frame.replayTitle = file.filename().string();
    }
    in.ui.setWindowTitle(file.filename().string());
    InputFile log = read_EmulFile(session, file);
    if (!log) {
        in.frame.replaying = false;
        in.ui.messageBox(unreadableFileMessage(file, log), kCaption, MessageButtons::Ok, MessageIcon::Error);
        return;
    }
    if (in.diagnostics.debugMode.load())
        OpenLogFile(in.log, in.settings, session.settingsStore, in.ui, in.diagnostics, in.clock,
                    logDirectory(in.settings.LogDir), true);
    if (!startWorker(session, [&session, text = std::move(log.bytes)]() mutable {
            ProcessEmul(session, std::move(text));
        }, "Error")) {
        in.frame.replaying = false;
        return;
    }
    if (session.showReplayView) session.showReplayView();
}

void EmulateStop(GpsSession& session) {
    // The stop request comes first: a paused thread released before it would run on through
    // the lines until it saw the request.
    session.input.frame.replayStopRequested = true;
    session.input.frame.replayPaused = false;
    session.replayEvent.signal();
    session.pace.wake();
}

void PauseReplay(GpsSession& session, bool paused) {
    session.input.frame.replayPaused = paused;
    if (paused) session.pace.wake();
    else session.replayEvent.signal();
}

void StopGpsThreads(GpsSession& session) {
    session.stopRequested = true;
    EmulateStop(session);
    if (session.port.isOpen()) close_port(session, portName(session));
    if (session.worker.joinable()) session.worker.join();
}

void JoinFinishedWorker(GpsSession& session) {
    if (session.worker.joinable() && !session.workerRunning) session.worker.join();
}

}  // namespace vexa
