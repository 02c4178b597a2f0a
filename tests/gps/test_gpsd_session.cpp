// gpsd as the receiver: the real daemon, started by gpsfake on a log, feeding the reader
// thread through the gpsd port; the kill of the daemon mid-stream and a new start after it.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <tuple>

#include "platform/linux/gpsd_port.h"
#include "platform/linux/receiver_port.h"
#include "tests/gps/live_session.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;

TEST(GpsdAddress, NamesAndDefaults) {
    // A name, and the host and port it stands for; none when it is no gpsd address.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"gpsd", "localhost", "2947"},      {"gpsd://", "localhost", "2947"},        {"gpsd://pi.local", "pi.local", "2947"},
        {"gpsd://10.0.0.7:3000/", "10.0.0.7", "3000"}, {"gpsd://[::1]:2948", "::1", "2948"}, {"gpsd://[::1]", "::1", "2947"},
        {"gpsd://host:29x7", nullptr, nullptr}, {"gpsd://[::1", nullptr, nullptr}, {"gpsdx", nullptr, nullptr},
        {"/dev/ttyUSB0", nullptr, nullptr},     {"COM1:", nullptr, nullptr},
    };
    for (const auto& [name, host, port] : cases) {
        const auto address = parseGpsdAddress(name);
        ASSERT_EQ(address.has_value(), host != nullptr) << name;
        if (!address) continue;
        EXPECT_EQ(std::tuple(address->host, address->port, parseGpsdAddress(gpsdPortName(*address))->host),
                  std::tuple(host, port, host)) << name;
    }
}

// gpsfake and gpsd where the Debian packages put them (or a local build does).
std::string findProgram(const char* name) {
    for (const char* dir : {"/usr/local/bin/", "/usr/local/sbin/", "/usr/bin/", "/usr/sbin/"})
        if (::access((std::string(dir) + name).c_str(), X_OK) == 0) return std::string(dir) + name;
    return {};
}

// A TCP port nobody listens on at the moment.
int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    ::close(fd);
    return port;
}

bool listening(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

// gpsfake in a process group of its own, so that killing the group ends its gpsd too. The
// log is played once, one sentence every 20 ms; gpsd reads it without waiting for a client.
class GpsFake {
public:
    GpsFake(const std::string& program, const std::string& log, int port) {
        pid_ = fork();
        if (pid_ == 0) {
            setpgid(0, 0);
            const std::string portText = std::to_string(port);
            // gpsfake looks for gpsd on the PATH; it lives in /usr/sbin.
            const std::string path = std::string("PATH=/usr/sbin:/usr/bin:/sbin:/bin");
            putenv(const_cast<char*>(path.c_str()));
            execl(program.c_str(), program.c_str(), "-q", "-n", "-1", "-c", "0.02", "-W", "60", "-P",
                  portText.c_str(), log.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        setpgid(pid_, pid_);
    }
    ~GpsFake() { kill(); }
    void kill() {
        if (pid_ <= 0) return;
        ::kill(-pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

struct GpsdFixture : ::testing::Test, testing::LiveSession<ReceiverPort> {
    std::string gpsfake = findProgram("gpsfake");
    int tcpPort = freePort();

    GpsdFixture() {
        records.frame.portName = "gpsd";
        records.settings.LGsaLogTime = 1;  // satellites parsed
        session.portDevice = [this](const std::string&) { return "gpsd://127.0.0.1:" + std::to_string(tcpPort); };
    }
    ~GpsdFixture() override { StopGpsThreads(session); }

    // Fixes and satellites from the daemon's stream, in the state the views draw from.
    bool receiving() {
        std::lock_guard lock(records.mutex);
        return records.gps.fixValid && records.satellites.inViewCount > 0 && records.views.fixesPlaced > 2;
    }
    void resetState() {
        std::lock_guard lock(records.mutex);
        records.gps.fixValid = false;
        records.satellites.inViewCount = 0;
        records.views.fixesPlaced = 0;
    }
};

TEST_F(GpsdFixture, FixesAndSatellitesArriveTheKilledDaemonIsReportedAndAStartAfterItWorks) {
    if (gpsfake.empty()) GTEST_SKIP() << "gpsfake not installed (Debian package gpsd-clients)";
    if (findProgram("gpsd").empty()) GTEST_SKIP() << "gpsd not installed (Debian package gpsd)";
    const std::string log = std::string(VEXA_GPS_TEST_DATA) + "/drive_hannover.txt";
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        GpsFake daemon(gpsfake, log, tcpPort);
        ASSERT_TRUE(testing::waitUntil([&] { return listening(tcpPort); }, 15s)) << "gpsfake did not start";
        records.ui.queueFileName(std::nullopt);  // no log file
        GpsStart(session);
        ASSERT_TRUE(port.isOpen()) << records.diagnostics.text();
        ASSERT_TRUE(testing::waitUntil([&] { return receiving(); }, 15s)) << records.diagnostics.text();
        {
            std::lock_guard lock(records.mutex);
            EXPECT_TRUE(std::abs(records.last.latitude - 52.38) < 0.05 && std::abs(records.last.longitude - 9.74) < 0.05);
        }
        // gpsd's JSON answers to the watch stay out of the list; its sentences go in.
        const auto lines = records.listLines();
        EXPECT_TRUE(std::none_of(lines.begin(), lines.end(), [](const std::string& l) { return l.find("\"class\"") != std::string::npos; }));
        daemon.kill();
        ASSERT_TRUE(testing::waitUntil([&] { return !session.workerRunning; }, 8s));
        EXPECT_EQ(std::tuple(port.isOpen(), records.listHas("ReadFile return=0 Close gpsd"), records.listHas("Close gpsd ok")),
                  std::tuple(false, true, true));
        resetState();
    }
}

TEST_F(GpsdFixture, TheSettingsNameTheDaemon) {
    EXPECT_EQ(RegQueryGpsd(store), "gpsd://localhost:2947");
    storage.writeString("GpsdHost", "::1");
    storage.writeNumber("GpsdPort", 70000);  // out of range: the default port
    EXPECT_EQ(RegQueryGpsd(store), "gpsd://[::1]:2947");
    storage.writeNumber("GpsdPort", 3000);
    EXPECT_EQ(RegQueryGpsd(store), "gpsd://[::1]:3000");
}

TEST_F(GpsdFixture, NoDaemonIsAFailedStart) {
    records.ui.queueFileName(std::nullopt);
    GpsStart(session);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(records.ui.messages().back().text, "Fehler bei Open GPS-Port\n\ngpsd antwortet nicht unter "
                                                 "gpsd://127.0.0.1:" + std::to_string(tcpPort) + ": Läuft gpsd?");
    EXPECT_TRUE(records.listHas("gpsd function=connect error=111"));
}

}  // namespace
}  // namespace vexa
