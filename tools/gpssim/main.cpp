// vexa-gpssim: a GPS receiver that is not there. Creates a pseudo-terminal, prints the device
// to read, and sends NMEA text on it: a recorded log at its recorded pace, or a drive it
// generates along waypoints. Faults can be injected to test how a reader copes.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

#include "tools/gpssim/drive.h"
#include "tools/gpssim/faults.h"
#include "tools/gpssim/nmea_sentences.h"
#include "tools/pseudo_terminal.h"
#include "tools/tool_command_line.h"

namespace {

using namespace vexa::gpssim;
using Clock = std::chrono::steady_clock;

constexpr const char* kHelp = R"(usage: vexa-gpssim (--log FILE | --route WAYPOINTS | --route-file FILE) [options]

A virtual GPS receiver. It creates a pseudo-terminal, prints the device path to read (give it
to VEXA as --port DEVICE, or in "GPS Start"), and sends NMEA 0183 text on it at 4800 baud pace.

Sources:
  --log FILE            send a recorded NMEA log at its recorded pace (by the time of its
                        RMC/GGA sentences)
  --route WAYPOINTS     drive along "lon,lat[,kmh];lon,lat[,kmh];..." (degrees WGS84, the speed
                        holds from that waypoint on); 1 Hz RMC, GGA, GSA and 3 x GSV with twelve
                        satellites in view and a gently changing altitude
  --route-file FILE     the same, waypoints from a file (";" or line separated, "#" comments)

Options:
  --start YYYY-MM-DDTHH:MM:SS   UTC time of the first fix (default 2026-06-01T08:00:00)
  --no-fix FROM-TO      seconds FROM to TO of the drive without fix (a tunnel); repeatable
  --rate X              X times real time (default 1; 0 = as fast as the baud rate allows)
  --baud N              pace the bytes as N baud would (default 4800; 0 = unpaced)
  -o, --output FILE     write the text to FILE instead of a pseudo-terminal, unpaced
  --link PATH           also create PATH as a symbolic link to the device
  -q, --quiet           print only the device path
  -h, --help            this text
  -V, --version         the version

Faults:
  --bad-checksum N      every N-th sentence gets a wrong checksum
  --overlong N          every N-th second sends a 1500-byte line without line end
  --garbage N           every N-th second sends a burst of random bytes
  --silence AT:SECS     after second AT, send nothing for SECS real seconds (any --rate)
  --hangup AT           after second AT, hang up (close the pseudo-terminal) and exit
  --seed N              seed of the random bytes (default 1)

Exit status: 0 done, 1 failed (a file, the pseudo-terminal), 2 wrong command line.

Example:
  vexa-gpssim --route "9.7410,52.3766,40;9.7400,52.4400,70;9.8500,52.4600" --no-fix 60-75
)";

struct Options {
    std::string logFile, route, routeFile, output, link;
    UtcTime start;
    std::vector<NoFixStretch> noFix;
    double rate = 1.0;
    int baud = 4800;
    bool quiet = false;
    FaultPlan faults;
};

const vexa::ToolCommandLine commandLine("vexa-gpssim", kHelp);

[[noreturn]] void fail(const std::string& message) {
    std::cerr << "vexa-gpssim: " << message << "\n";
    std::exit(1);
}

int toInt(const std::string& text, const char* option) {
    long value = 0;
    if (!vexa::readCount(text, 0, 10'000'000, value)) commandLine.wrong(std::string("bad number for ") + option);
    return static_cast<int>(value);
}

enum Option {
    kLog, kRoute, kRouteFile, kOutput, kLink, kQuiet, kStart, kNoFix, kRate, kBaud,
    kBadChecksum, kOverlong, kGarbage, kSilence, kHangup, kSeed
};
constexpr vexa::OptionDef kOptions[] = {
    {kLog, "log", 0, true},         {kRoute, "route", 0, true},     {kRouteFile, "route-file", 0, true},
    {kOutput, "output", 'o', true}, {kLink, "link", 0, true},       {kQuiet, "quiet", 'q'},
    {kStart, "start", 0, true},     {kNoFix, "no-fix", 0, true},    {kRate, "rate", 0, true},
    {kBaud, "baud", 0, true},       {kBadChecksum, "bad-checksum", 0, true},
    {kOverlong, "overlong", 0, true}, {kGarbage, "garbage", 0, true}, {kSilence, "silence", 0, true},
    {kHangup, "hangup", 0, true},   {kSeed, "seed", 0, true},
};

Options parseOptions(int argc, char** argv) {
    Options o;
    const vexa::ReadOptions read = commandLine.read(kOptions, argc, argv);
    if (!read.operands.empty()) commandLine.wrong("unexpected argument '" + read.operands[0] + "'");
    for (const vexa::OptionFound& option : read.options) {
        const std::string& v = option.value;
        switch (option.id) {
            case kLog: o.logFile = v; break;
            case kRoute: o.route = v; break;
            case kRouteFile: o.routeFile = v; break;
            case kOutput: o.output = v; break;
            case kLink: o.link = v; break;
            case kQuiet: o.quiet = true; break;
            case kStart:
                if (std::sscanf(v.c_str(), "%d-%d-%dT%d:%d:%d", &o.start.year, &o.start.month, &o.start.day,
                                &o.start.hour, &o.start.minute, &o.start.second) != 6 ||
                    o.start.month < 1 || o.start.month > 12 || o.start.day < 1 || o.start.day > 31 ||
                    o.start.hour > 23 || o.start.minute > 59 || o.start.second > 59)
                    commandLine.wrong("--start wants YYYY-MM-DDTHH:MM:SS");
                break;
            case kNoFix: {
                NoFixStretch s;
                if (std::sscanf(v.c_str(), "%d-%d", &s.from, &s.to) != 2 || s.to <= s.from)
                    commandLine.wrong("--no-fix wants FROM-TO");
                o.noFix.push_back(s);
                break;
            }
            case kRate:
                o.rate = std::atof(v.c_str());
                if (!(o.rate >= 0)) commandLine.wrong("bad --rate");
                break;
            case kBaud: o.baud = toInt(v, "--baud"); break;
            case kBadChecksum: o.faults.badChecksumEvery = toInt(v, "--bad-checksum"); break;
            case kOverlong: o.faults.overlongEvery = toInt(v, "--overlong"); break;
            case kGarbage: o.faults.garbageEvery = toInt(v, "--garbage"); break;
            case kSilence:
                if (std::sscanf(v.c_str(), "%d:%d", &o.faults.silenceAt, &o.faults.silenceSeconds) != 2)
                    commandLine.wrong("--silence wants AT:SECS");
                break;
            case kHangup: o.faults.hangupAt = toInt(v, "--hangup"); break;
            case kSeed: o.faults.seed = static_cast<std::uint32_t>(toInt(v, "--seed")); break;
        }
    }
    const int sources = !o.logFile.empty() + !o.route.empty() + !o.routeFile.empty();
    if (sources != 1) commandLine.wrong("give exactly one of --log, --route, --route-file");
    return o;
}

std::string readWhole(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) fail("cannot read " + file + ": " + std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Where the text goes: a pseudo-terminal paced like a serial line, or a file.
class Line {
public:
    explicit Line(const Options& o) : options_(o) {
        if (!o.output.empty()) {
            fd_ = ::open(o.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (fd_ < 0) fail("cannot write " + o.output + ": " + std::strerror(errno));
            paced_ = false;
            return;
        }
        if (const std::string error = pty_.open(o.link); !error.empty()) fail(error);
        fd_ = pty_.master();
        std::cout << pty_.device() << std::endl;
        if (!o.quiet) std::cerr << "vexa-gpssim: sending on " << pty_.device() << (o.link.empty() ? "" : " (" + o.link + ")") << "\n";
    }
    ~Line() { hangUp(); }

    void send(const std::string& bytes) {
        const auto began = Clock::now();
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n < 0) {
                if (errno == EINTR) continue;
                fail(std::string("write: ") + std::strerror(errno));
            }
            done += static_cast<std::size_t>(n);
        }
        if (paced_ && options_.baud > 0 && options_.rate > 0) {
            // Ten bits a byte on the line: 8 data bits, a start and a stop bit.
            const double seconds = bytes.size() * 10.0 / options_.baud / options_.rate;
            std::this_thread::sleep_until(began + std::chrono::duration<double>(seconds));
        }
    }
    void pauseSeconds(double seconds) const {
        if (paced_ && options_.rate > 0 && seconds > 0)
            std::this_thread::sleep_for(std::chrono::duration<double>(seconds / options_.rate));
    }
    bool paced() const { return paced_; }
    void hangUp() {
        if (!paced_ && fd_ >= 0) ::close(fd_);
        pty_.hangUp();
        fd_ = -1;
    }

private:
    const Options& options_;
    vexa::PseudoTerminal pty_;
    int fd_ = -1;  // the pseudo-terminal's master side, or the output file
    bool paced_ = true;
};

// Sends one second's bytes, then waits until the next second is due (real time / rate).
class SecondPacer {
public:
    SecondPacer(Line& line, const Options& o) : line_(line), options_(o), next_(Clock::now()) {}
    // Returns false when the line was hung up.
    bool sendSecond(int second, const std::vector<std::string>& sentences) {
        const FaultPlan& f = options_.faults;
        if (f.hangupAt >= 0 && second > f.hangupAt) {
            if (!options_.quiet) std::cerr << "vexa-gpssim: hanging up after second " << f.hangupAt << "\n";
            line_.hangUp();
            return false;
        }
        if (f.silenceAt >= 0 && second == f.silenceAt + 1 && f.silenceSeconds > 0) {
            if (!options_.quiet) std::cerr << "vexa-gpssim: silent for " << f.silenceSeconds << " s\n";
            // Real seconds whatever the rate: the silence tests a reader's time-out.
            if (line_.paced()) std::this_thread::sleep_for(std::chrono::seconds(f.silenceSeconds));
            next_ = Clock::now();
        }
        line_.send(applyFaults(f, second, sentences, counter_, random_));
        if (line_.paced() && options_.rate > 0) {
            next_ += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / options_.rate));
            std::this_thread::sleep_until(next_);
        }
        return true;
    }

private:
    Line& line_;
    const Options& options_;
    Clock::time_point next_;
    long long counter_ = 0;
    std::uint32_t random_ = 0;
};

// Seconds of the day of an RMC or GGA time field, or −1.
int sentenceSecond(const std::string& line) {
    if (line.size() < 14 || line[0] != '$' || (line.compare(3, 3, "RMC") != 0 && line.compare(3, 3, "GGA") != 0))
        return -1;
    int h = 0, m = 0, s = 0;
    if (std::sscanf(line.c_str() + 7, "%2d%2d%2d", &h, &m, &s) != 3) return -1;
    return h * 3600 + m * 60 + s;
}

void sendLog(const Options& o, Line& line) {
    std::istringstream text(readWhole(o.logFile));
    SecondPacer pacer(line, o);
    std::vector<std::string> bundle;
    int bundleTime = -1, second = 0;
    std::string raw;
    while (std::getline(text, raw)) {
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        const int t = sentenceSecond(raw);
        if (t >= 0 && bundleTime >= 0 && t != bundleTime && !bundle.empty()) {
            if (!pacer.sendSecond(second, bundle)) return;
            // A gap in the recording (receiver off) is kept, up to a minute.
            const int gap = (t - bundleTime + 86400) % 86400;
            if (gap > 1) line.pauseSeconds(std::min(gap - 1, 60));
            second += std::max(1, gap);
            bundle.clear();
        }
        if (t >= 0) bundleTime = t;
        bundle.push_back(raw + "\r\n");
    }
    if (!bundle.empty()) pacer.sendSecond(second, bundle);
}

void sendDrive(const Options& o, Line& line) {
    std::string error;
    std::string waypoints = o.route;
    if (!o.routeFile.empty()) {
        std::istringstream in(readWhole(o.routeFile));
        std::string row;
        while (std::getline(in, row)) {
            if (const auto hash = row.find('#'); hash != std::string::npos) row.erase(hash);
            waypoints += row + ";";
        }
    }
    const auto route = parseWaypoints(waypoints, error);
    if (!route && o.routeFile.empty()) commandLine.wrong("--route: " + error);
    if (!route) fail(o.routeFile + ": " + error);
    SecondPacer pacer(line, o);
    for (const Fix& fix : simulateDrive(*route, o.noFix))
        if (!pacer.sendSecond(fix.second, sentencesForFix(fix, o.start))) return;
}

}  // namespace

int main(int argc, char** argv) {
    signal(SIGPIPE, SIG_IGN);
    const Options options = parseOptions(argc, argv);
    Line line(options);
    if (!options.logFile.empty()) sendLog(options, line);
    else sendDrive(options, line);
    return 0;
}
