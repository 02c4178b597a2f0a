// vexa-garminsim: a Garmin receiver that is not there. Creates a pseudo-terminal, prints the
// device to write to, and takes a track upload on it the way a Garmin does: it answers the
// product request, acknowledges each packet, checks framing and checksums, and writes the
// track it received as readable lines. Faults can be injected to test how an uploader copes.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tools/garminsim/receiver.h"
#include "tools/pseudo_terminal.h"
#include "tools/tool_command_line.h"

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
  -o, --output FILE    write the received track to FILE instead of standard output
  --link PATH          also create PATH as a symbolic link to the device
  -q, --quiet          no messages on standard error

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
  -V, --version        the version

Exit status: 0 terminated, 1 failed (the pseudo-terminal, the output file), 2 wrong
command line.
)";

struct Options {
    std::string output, link;
    bool quiet = false;
    int slowMs = 0;
    int seed = 1;
    Faults faults;
};

const ToolCommandLine commandLine("vexa-garminsim", kHelp);

[[noreturn]] void fail(const std::string& message) {
    std::cerr << "vexa-garminsim: " << message << "\n";
    std::exit(1);
}

enum Option { kOutput, kLink, kQuiet, kCounts };
constexpr OptionDef kOptions[] = {
    {kOutput, "output", 'o', true}, {kLink, "link", 0, true},         {kQuiet, "quiet", 'q'},
    {kCounts + 0, "nak", 0, true},  {kCounts + 1, "silent-after", 0, true}, {kCounts + 2, "garbage", 0, true},
    {kCounts + 3, "bad-checksum", 0, true}, {kCounts + 4, "slow", 0, true}, {kCounts + 5, "seed", 0, true},
};

Options parseOptions(int argc, char** argv) {
    Options o;
    int* const counts[] = {&o.faults.nakEvery, &o.faults.silentAfter, &o.faults.garbageEvery,
                           &o.faults.badChecksumEvery, &o.slowMs, &o.seed};
    const ReadOptions read = commandLine.read(kOptions, argc, argv);
    if (!read.operands.empty()) commandLine.wrong("unexpected argument '" + read.operands[0] + "'");
    for (const OptionFound& option : read.options) {
        if (option.id == kOutput) o.output = option.value;
        if (option.id == kLink) o.link = option.value;
        if (option.id == kQuiet) o.quiet = true;
        if (option.id < kCounts) continue;
        long n = 0;
        if (!readCount(option.value, 0, 10'000'000, n))
            commandLine.wrong("bad number for --" + std::string(kOptions[option.id].longName));
        *counts[option.id - kCounts] = static_cast<int>(n);
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
