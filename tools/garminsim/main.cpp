// vexa-garminsim: a Garmin receiver that is not there. Creates a pseudo-terminal, prints the
// device to write to, and takes a track upload on it the way a Garmin does: it answers the
// product request, acknowledges each packet, checks framing and checksums, and writes the
// track it received as readable lines. Faults can be injected to test how an uploader copes.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "tools/garminsim/receiver.h"
#include "tools/pseudo_terminal.h"
#include "tools/tool_version.h"

namespace {

using namespace vexa;
using namespace vexa::garminsim;

constexpr const char* kHelp = R"(usage: vexa-garminsim [options]

A virtual Garmin receiver. It creates a pseudo-terminal, prints the device path on the first
line of standard output (give it to VEXA as --port DEVICE, or to vexa-convert as
garmin:DEVICE), and takes track uploads over Garmin's serial link protocol: it answers the
product request with an acknowledgement and a product data packet, acknowledges every packet
(id 6 with the acknowledged packet id), answers a packet with a bad checksum with a negative
acknowledgement (id 21), and writes what it received, one line each:

  product request
  records COUNT
  header "NAME"
  point INDEX LATITUDE LONGITUDE LAT_SEMICIRCLES LON_SEMICIRCLES [new]
  transfer complete 7

Latitude and longitude are degrees from the semicircles. It runs until it is terminated.

Options:
  --output FILE        write the received track to FILE instead of standard output
  --link PATH          also create PATH as a symbolic link to the device
  --quiet              no messages on standard error

Faults (N counts the packets received, the product request being the first):
  --nak N              refuse every N-th packet (negative acknowledgement, not recorded);
                       the uploader finishes but reports the packets as not acknowledged
  --silent-after N     answer the first N packets, then nothing; the uploader gives up
                       after its answer time-out and says how far it came
  --garbage N          send 16 bytes of line noise (never a DLE) before every N-th answer;
                       the uploader skips them and finishes normally
  --bad-checksum N     every N-th answer carries a wrong checksum; the uploader finishes but
                       reports those packets as not acknowledged
  --slow MS            wait MS milliseconds before each answer
  --seed N             seed of the noise bytes (default 1)
  -h, --help           this text
)";

struct Options {
    std::string output, link;
    bool quiet = false;
    int slowMs = 0;
    int seed = 1;
    Faults faults;
};

[[noreturn]] void fail(const std::string& message) {
    std::cerr << "vexa-garminsim: " << message << "\n(vexa-garminsim --help explains the options)\n";
    std::exit(2);
}

// Every option but --quiet and --help takes a value; the numeric ones are counts.
Options parseOptions(int argc, char** argv) {
    Options o;
    const std::pair<std::string_view, int*> counts[] = {
        {"--nak", &o.faults.nakEvery},           {"--silent-after", &o.faults.silentAfter},
        {"--garbage", &o.faults.garbageEvery},   {"--bad-checksum", &o.faults.badChecksumEvery},
        {"--slow", &o.slowMs},                   {"--seed", &o.seed},
    };
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            std::cout << kHelp;
            std::exit(0);
        }
        if (arg == "--quiet") {
            o.quiet = true;
            continue;
        }
        if (i + 1 == args.size()) fail(arg + " needs a value");
        const std::string& value = args[++i];
        if (arg == "--output") {
            o.output = value;
            continue;
        }
        if (arg == "--link") {
            o.link = value;
            continue;
        }
        const auto count = std::find_if(std::begin(counts), std::end(counts),
                                        [&](const auto& c) { return c.first == arg; });
        if (count == std::end(counts)) fail("unknown option " + arg);
        char* end = nullptr;
        const long n = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end || n < 0 || n > 10'000'000) fail("bad number for " + arg);
        *count->second = static_cast<int>(n);
    }
    o.faults.seed = static_cast<std::uint32_t>(o.seed);
    return o;
}

volatile sig_atomic_t stopping = 0;
void onSignal(int) { stopping = 1; }

bool writeAll(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            // A write blocked by an uploader that no longer reads ends with the program.
            if (errno == EINTR && !stopping) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (vexa::printedVersion(argc, argv, "vexa-garminsim")) return 0;
    signal(SIGPIPE, SIG_IGN);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    const Options o = parseOptions(argc, argv);

    FILE* record = stdout;
    if (!o.output.empty()) {
        record = std::fopen(o.output.c_str(), "w");
        if (!record) fail("cannot write " + o.output + ": " + std::strerror(errno));
    }
    PseudoTerminal pty;
    if (const std::string error = pty.open(o.link); !error.empty()) fail(error);
    const int master = pty.master();
    std::cout << pty.device() << std::endl;
    if (!o.quiet) std::cerr << "vexa-garminsim: listening on " << pty.device() << "\n";

    Receiver receiver(o.faults);
    GarminFrameReader reader;
    char buffer[512];
    while (!stopping) {
        pollfd pfd{master, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, 200);
        if (ready <= 0) continue;
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            break;
        }
        for (ssize_t i = 0; i < n; ++i) {
            if (reader.feed(static_cast<std::uint8_t>(buffer[i])) != GarminFrameReader::Event::Frame) continue;
            const Reply reply = receiver.receive(reader.frame());
            // The record is complete before the answer leaves: an uploader that has its
            // acknowledgement finds the line written.
            for (const std::string& line : reply.lines) std::fprintf(record, "%s\n", line.c_str());
            std::fflush(record);
            if (reply.bytes.empty()) continue;
            if (o.slowMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(o.slowMs));
            if (!writeAll(master, reply.bytes) && !stopping) fail(std::string("write: ") + std::strerror(errno));
        }
    }
    if (record != stdout) std::fclose(record);
    return 0;
}
