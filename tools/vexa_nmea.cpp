// vexa-nmea FILE…
// vexa-nmea --port PORT [--seconds N]
//
// Replays NMEA logs through the replay processing, without a window, streaming each file line
// by line, or reads a live receiver (serial device, pseudo-terminal, "COMn:", gpsd) through the
// reader thread for N seconds, and prints: sentences by type (with lines of junk and stray
// bytes before a tag), checksum failures, fixes (sentences that gave a position), satellites,
// trace points, trip distance, time span, and the first and last position.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <map>
#include <optional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "frame/settings.h"
#include "geo/grid_context.h"
#include "gps/gps_input.h"
#include "gps/gps_records.h"
#include "gps/gps_state.h"
#include "gps/gps_session.h"
#include "gps/gps_views.h"
#include "gps/log_encoding.h"
#include "gps/nmea_checksum.h"
#include "gps/nmea_log.h"
#include "gps/nmea_replay.h"
#include "gps/nmea_talker.h"
#include "gps/port_failure_text.h"
#include "gps/sentence_processing.h"
#include "gps/satellites.h"
#include "frame/settings_store.h"
#include "platform/input_file.h"
#include "platform/linux/file_settings_storage.h"
#include "platform/linux/receiver_port.h"
#include "platform/linux/serial_devices.h"
#include "platform/linux/system_clock.h"
#include "platform/paths.h"
#include "platform/ui.h"
#include "routes/trace_table.h"
#include "tools/console_ui.h"
#include "tools/tool_command_line.h"

namespace {

using namespace vexa;

// Counts the positions the parsers placed on the grid: one per sentence that gave a fix.
class FixCounter : public NoGpsViews {
public:
    long fixes = 0;
    void fillGeomsg(double, double, std::string_view, std::string_view) override { ++fixes; }
};

struct Summary {
    std::map<std::string, long> byType;
    long checksumFailures = 0;
    bool haveFirst = false;
    double firstLat = 0, firstLon = 0;
};

// A sentence's address: talker and type, or a maker's own (PGRMZ, PMTK314), letters and
// digits only. Anything else after a '$' is line noise, not a tag to list.
bool isTag(std::string_view tag) {
    constexpr std::size_t kLongestTag = 16;
    return !tag.empty() && tag.size() <= kLongestTag &&
           std::all_of(tag.begin(), tag.end(), [](char c) {
               return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
           });
}

// What the replay sees: the sentence tag, stray bytes before it, the checksum verdict.
void countLine(Summary& s, std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string_view sentence = sentenceIn(line);
    // The address: after the '$', up to the first field or the checksum.
    const std::string_view tag = sentence.empty() ? sentence : sentence.substr(1, sentence.find_first_of(",*", 1) - 1);
    if (!isTag(tag)) {
        ++s.byType[line.empty() ? "(empty)" : "(junk)"];
        return;
    }
    if (sentence.size() != line.size())
        ++s.byType[line.substr(0, 2) == "$$" ? "($$ before a tag)" : "(junk before a tag)"];
    ++s.byType[std::string(tag)];
    if (nmeaChecksum(sentence) == ChecksumResult::Mismatch) ++s.checksumFailures;
}

void printSummary(const std::string& name, bool replayed, long lines, const Summary& s, long fixes,
                  GpsRecords& records) {
    std::lock_guard lock(records.mutex);
    const GpsState& gps = records.gps;
    const LastPosition& last = records.last;
    const TraceTable& trace = *records.trace;
    int used = 0;
    for (int i = 0; i <= records.satellites.usedLast; ++i) used += records.satellites.used[static_cast<std::size_t>(i)].prn != 0;
    std::printf("%s\n", name.c_str());
    std::printf("  lines %-13s %ld\n", replayed ? "replayed" : "received", lines);
    for (const auto& [tag, count] : s.byType) std::printf("  %-19s %ld\n", tag.c_str(), count);
    std::printf("  checksum failures   %ld\n", s.checksumFailures);
    std::printf("  fixes               %ld\n", fixes);
    std::printf("  satellites          %d in view, %d used\n", records.satellites.inViewCount, used);
    std::printf("  trace points        %d%s\n", trace.wrapped ? 2001 : trace.next,
                trace.wrapped ? " (ring full)" : "");
    std::printf("  trip distance       %.1f m\n", gps.tripDistance);
    std::printf("  time span           %s (%d s)\n", gps.elapsedText.c_str(), gps.elapsedSeconds);
    if (s.haveFirst) {
        std::printf("  first position      %.6f %.6f\n", s.firstLat, s.firstLon);
        std::printf("  last position       %.6f %.6f\n", last.latitude, last.longitude);
    }
}

int replayFile(const char* name) {
    // A folder, FIFO or device would block or never end a line.
    if (const InputFile check = checkInputFile(name); !check) {
        std::fprintf(stderr, "vexa-nmea: %s: %s\n", name, inputProblemText(check).c_str());
        return 1;
    }
    std::ifstream file(name, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "vexa-nmea: cannot read %s\n", name);
        return 1;
    }
    // A UTF-16 log is read whole and narrowed; an 8-bit one is streamed as it is.
    char mark[2] = {};
    file.read(mark, 2);
    const bool utf16 = isUtf16Text(std::string_view(mark, static_cast<std::size_t>(file.gcount())));
    file.clear();
    file.seekg(0);
    std::istringstream narrowed;
    if (utf16) narrowed.str(nmeaLogText(std::string(std::istreambuf_iterator<char>(file), {})));
    std::istream& in = utf16 ? static_cast<std::istream&>(narrowed) : file;

    GpsRecords records;
    records.settings.LGsaLogTime = 1;                // satellites are part of the picture
    records.frame.displayMode = DisplayMode::Karte;  // no view refresh
    ConsoleUi ui("vexa-nmea");
    SystemClock clock;
    FixCounter views;
    GpsInput input = records.input(ui, clock, views);
    const LastPosition& last = records.last;

    Summary s;
    records.frame.replaying = true;
    StartReplay(input);
    LogTimers timers;
    long lines = 0;
    // The log is streamed line by line; a last line without its line feed is not replayed.
    std::string line;
    while (std::getline(in, line) && !in.eof()) {
        const std::string_view text = std::string_view(line).substr(0, line.find('\0'));
        countLine(s, text);
        ProcessReplaySentence(input, timers, text);
        ++lines;
        std::lock_guard lock(records.mutex);
        if (!s.haveFirst && views.fixes > 0) {
            s.haveFirst = true;
            s.firstLat = last.latitude;
            s.firstLon = last.longitude;
        }
    }
    FinishReplay(input);

    printSummary(name, true, lines, s, views.fixes, records);
    return 0;
}

// The live port as the reader sees it, with every received line counted on its way through.
// Runs on the reader thread only; the counts are read after it has been joined.
class CountingPort : public SerialPort {
public:
    CountingPort(SerialPort& port, Summary& summary, GpsRecords& records, const FixCounter& views)
        : port_(port), summary_(summary), records_(records), views_(views) {}
    long lines = 0;

    SerialError open(const std::string& device, int baud) override { return port_.open(device, baud); }
    SerialError close() override { return port_.close(); }
    bool isOpen() const override { return port_.isOpen(); }
    SerialError write(std::string_view bytes) override { return port_.write(bytes); }
    SerialError purge() override { return port_.purge(); }
    ReadResult readByte() override {
        // The line that ended with the previous byte has been processed by now.
        if (lineDone_ && !summary_.haveFirst) {
            std::lock_guard lock(records_.mutex);
            if (views_.fixes > 0) {
                summary_.haveFirst = true;
                summary_.firstLat = records_.last.latitude;
                summary_.firstLon = records_.last.longitude;
            }
        }
        lineDone_ = false;
        const ReadResult read = port_.readByte();
        if (read.status != ReadStatus::Byte) return read;
        if (read.byte == '\n') {
            countLine(summary_, line_);
            line_.clear();
            ++lines;
            lineDone_ = true;
        } else if (line_.size() < 4096) {
            line_.push_back(static_cast<char>(read.byte));
        }
        return read;
    }

private:
    SerialPort& port_;
    Summary& summary_;
    GpsRecords& records_;
    const FixCounter& views_;
    std::string line_;
    bool lineDone_ = false;
};

// Reads the port through the reader thread for the given time, or until the port is lost.
int receivePort(const std::string& name, int seconds) {
    GpsRecords records;
    records.settings.LGsaLogTime = 1;
    records.frame.displayMode = DisplayMode::Karte;
    records.frame.portName = name;
    ConsoleUi ui("vexa-nmea");
    SystemClock clock;
    FixCounter views;
    GpsInput input = records.input(ui, clock, views);
    FileSettingsStorage storage(settingsFile());
    SettingsStore store{storage, ui, records.diagnostics};
    ReceiverPort receiver;
    Summary s;
    CountingPort port(receiver, s, records, views);
    GpsSession session(input, store, port);
    // The names the program takes: "COMn:" as configured or detected, "gpsd" as configured.
    session.portDevice = [&store](const std::string& portName) {
        if (portName == "gpsd") return RegQueryGpsd(store);
        const int n = comPortNumber(portName);
        return n > 0 ? portDevice(portName, RegQueryComDevice(store, n), detectSerialDevices()) : portName;
    };
    if (!open_port(session, name, kGpsBaud)) {
        const std::string report = records.diagnostics.text();  // newest line first
        std::fprintf(stderr, "vexa-nmea: cannot open %s: %s\n", name.c_str(),
                     report.substr(0, report.find_first_of("\r\n")).c_str());
        const std::string advice = portFailureAdvice(session.openError, name, session.openDevice);
        if (!advice.empty()) std::fprintf(stderr, "%s\n", advice.c_str());
        return 1;
    }
    std::atomic<bool> ended{false};
    std::thread reader([&] {
        readPacketNMEA(session);
        ended = true;
    });
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!ended && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    session.stopRequested = true;
    if (port.isOpen()) port.close();
    reader.join();
    printSummary(name, false, port.lines, s, views.fixes, records);
    if (port.lines == 0) {
        std::fprintf(stderr, "vexa-nmea: nothing arrived from %s in %d s: is the receiver on and "
                     "sending NMEA at 4800 baud on this port?\n", name.c_str(), seconds);
        return 1;
    }
    return 0;
}

constexpr const char* kUsage =
    "usage: vexa-nmea FILE...\n"
    "       vexa-nmea --port PORT [--seconds N]\n"
    "\n"
    "Replays NMEA logs and summarises each, or reads a receiver and summarises what arrived:\n"
    "sentences by type, checksum failures, fixes, satellites, trace points, distance, time\n"
    "span, first and last position.\n"
    "\n"
    "  -p, --port PORT    read a receiver: a device (/dev/ttyUSB0, /dev/serial/by-id/...,\n"
    "                     a pseudo-terminal), COM1: to COM8:, gpsd or gpsd://HOST:PORT\n"
    "  -s, --seconds N    how long to read the receiver (default 10)\n"
    "  -h, --help         this text\n"
    "  -V, --version      the version\n"
    "\n"
    "Exit status: 0 done, 1 a file or the port could not be read, 2 wrong command line.\n";

enum Option { kPort, kSeconds };
constexpr OptionDef kOptions[] = {{kPort, "port", 'p', true}, {kSeconds, "seconds", 's', true}};

}  // namespace

int main(int argc, char** argv) {
    const ToolCommandLine commandLine("vexa-nmea", kUsage);
    const ReadOptions read = commandLine.read(kOptions, argc, argv);
    std::optional<std::string> port;
    std::optional<long> seconds;
    for (const OptionFound& option : read.options) {
        if (option.id == kPort) port = option.value;
        long n = 0;
        if (option.id == kSeconds && !readCount(option.value, 1, 86400, n)) commandLine.wrong("--seconds takes 1..86400");
        if (option.id == kSeconds) seconds = n;
    }
    if (port && !read.operands.empty()) commandLine.wrong("give FILE... or --port, not both");
    if (port) return receivePort(*port, static_cast<int>(seconds.value_or(10)));
    if (seconds) commandLine.wrong("--seconds goes with --port");
    if (read.operands.empty()) commandLine.wrong("give FILE... or --port PORT");
    int status = 0;
    for (const std::string& file : read.operands) status |= replayFile(file.c_str());
    return status;
}
