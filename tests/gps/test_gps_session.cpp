// Reception and replay end to end: a real pseudo-terminal driven by vexa-gpssim, the real
// serial port, the reader and replay threads, the commands that start and stop them.
#include "gps/gps_session.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <thread>

#include "platform/linux/termios_serial_port.h"
#include "tests/gps/gps_fixture.h"
#include "tests/gps/live_session.h"
#include "platform/testing/device_simulator.h"
#include "tests/support/temp_dir.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;
using testing::TempDir;

// vexa-gpssim driving north out of Hannover, with the further arguments given.
testing::DeviceSimulator simulator(const std::vector<std::string>& more) {
    std::vector<std::string> arguments{"--route", "9.7410,52.3766,120;9.7400,52.4400,120"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return testing::DeviceSimulator(VEXA_GPSSIM, arguments);
}

// A live session over the real serial port, on the device the test names.
struct SessionFixture : ::testing::Test, testing::LiveSession<TermiosSerialPort> {
    std::string device;

    SessionFixture() { session.portDevice = [this](const std::string&) { return device; }; }
    ~SessionFixture() override { StopGpsThreads(session); }

    int tracePoints() {
        std::lock_guard lock(records.mutex);
        return records.trace->wrapped ? 2001 : records.trace->next;
    }
    int messagesWithCaption(std::string_view caption) {
        int n = 0;
        for (const auto& m : records.ui.messages()) n += m.caption == caption;
        return n;
    }
};

TEST_F(SessionFixture, GpsStartStreamsIntoTheStateTheTraceAndTheLogAndRefusesToStartTwice) {
    const auto sim = simulator({"--rate", "5"});
    ASSERT_FALSE(sim.device().empty());
    device = sim.device();
    const auto logFile = home / "drive.txt";
    records.ui.queueFileName(logFile);

    GpsStart(session);
    EXPECT_GE(records.titleCount("GPS an COM1:"), 1);  // every fix sets it again, maybe already one
    ASSERT_TRUE(testing::waitUntil([&] { return tracePoints() >= 3; }, 10s)) << records.diagnostics.text();
    {
        std::lock_guard lock(records.mutex);
        EXPECT_EQ(std::tuple(records.gps.fixValid, std::round(records.last.longitude * 100), records.last.latitude > 52.37),
                  std::tuple(true, 974.0, true));
    }
    GpsStart(session);
    EXPECT_EQ(records.ui.messages().back().text, "NMEA ist bereits gestartet");
    testing::writeFile(home / "x.txt", "\n");
    EmulateStartFile(session, home / "x.txt");
    EXPECT_EQ(std::tuple(records.ui.messages().back().text, records.frame.replaying.load()), std::tuple("NMEA ist gestartet", false));

    GpsStop(session);
    EXPECT_TRUE(testing::waitUntil([&] { return !session.workerRunning; }, 2s));
    EXPECT_EQ(std::tuple(records.listHas("Close COM1: ok"), records.log.active.load()), std::tuple(true, false));
    const std::string logged = testing::readFile(logFile);
    EXPECT_TRUE(logged.starts_with("$GPRMC,") && logged.find("\n$GPGGA,") != std::string::npos) << logged.substr(0, 100);
}

TEST_F(SessionFixture, SilenceOfMoreThanFiveSecondsClosesThePortOnce) {
    const auto sim = simulator({"--rate", "4", "--silence", "1:8"});
    device = sim.device();
    records.ui.queueFileName(std::nullopt);  // no log
    GpsStart(session);
    ASSERT_TRUE(testing::waitUntil([&] { return !session.workerRunning; }, 9s));
    EXPECT_EQ(std::tuple(messagesWithCaption("GPS Timeout"), records.ui.messages().back().text, port.isOpen(), records.listHas("Close COM1: ok")),
              std::tuple(1, "       GPS sendet keine NMEA-Daten          ", false, true));
    const auto lines = records.listLines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
        return l.rfind("COM1: function=Read_Timeout error=50", 0) == 0;
    }));
    ASSERT_FALSE(records.views.moveTexts.empty());
    EXPECT_EQ(records.views.moveTexts.back(), "       GPS sendet keine NMEA-Daten          ");
}

TEST_F(SessionFixture, HangUpMidStreamEndsTheReaderAndTellsTheUser) {
    const auto sim = simulator({"--rate", "10", "--hangup", "2"});
    device = sim.device();
    records.ui.queueFileName(std::nullopt);
    GpsStart(session);
    ASSERT_TRUE(testing::waitUntil([&] { return !session.workerRunning; }, 4s));
    EXPECT_TRUE(records.listHas("ReadFile return=0 Close COM1:"));
    EXPECT_EQ(std::tuple(messagesWithCaption("GPS Timeout"), messagesWithCaption("GPS getrennt")), std::tuple(0, 1));
    ASSERT_FALSE(records.views.moveTexts.empty());
    EXPECT_EQ(std::tuple(records.views.moveTexts.back(), port.isOpen()), std::tuple("   Verbindung zum GPS unterbrochen   ", false));
    std::lock_guard lock(records.mutex);
    EXPECT_TRUE(records.gps.rmcSeen);
}

// A port that refuses to open with a given error, as a device the user may not read does.
class RefusingPort : public SerialPort {
public:
    int error = EACCES;
    SerialError open(const std::string&, int) override { return {error, "CreateFile"}; }
    SerialError close() override { return {EBADF, "CloseHandle"}; }
    bool isOpen() const override { return false; }
    ReadResult readByte() override { return {ReadStatus::Closed, 0, EBADF}; }
    SerialError write(std::string_view) override { return {EBADF, "WriteFile"}; }
    SerialError purge() override { return {EBADF, "PurgeComm"}; }
};

TEST(GpsStartFailure, TheMessageNamesTheCauseAndTheRemedy) {
    const std::pair<int, const char*> cases[] = {
        {EACCES, "Fehler bei Open GPS-Port\n\nKeine Berechtigung für /dev/ttyUSB0: Ihr Benutzer ist nicht in "
                 "der Gruppe dialout.\nAbhilfe: sudo usermod -aG dialout $USER eingeben, dann ab- und "
                 "wieder anmelden."},
        {EBUSY, "Fehler bei Open GPS-Port\n\n/dev/ttyUSB0 wird schon von einem anderen Programm benutzt."},
        {ENOENT, "Fehler bei Open GPS-Port\n\n/dev/ttyUSB0 gibt es nicht: Ist der Empfänger eingesteckt und eingeschaltet?"},
        {EIO, "Fehler bei Open GPS-Port"},
    };
    for (const auto& [error, expected] : cases) {
        testing::LiveSession<RefusingPort> live;
        live.port.error = error;
        live.session.portDevice = [](const std::string&) { return std::string("/dev/ttyUSB0"); };
        const testing::GpsRecords& records = live.records;
        live.records.ui.queueFileName(live.home / "start.txt");
        GpsStart(live.session);
        ASSERT_FALSE(records.ui.messages().empty());
        EXPECT_EQ(records.ui.messages().back().text, expected);
        EXPECT_TRUE(records.listHas("COM1: function=CreateFile error=" + std::to_string(error)));
        // The log opened for the failed start is closed again.
        EXPECT_EQ(std::tuple(records.log.active.load(), live.session.workerRunning.load()), std::tuple(false, false));
    }
}

// The replay: a log file through the replay thread.
struct ReplayFixture : SessionFixture {
    std::filesystem::path writeLog(const std::string& name, const std::string& text) {
        const auto file = home / name;
        testing::writeFile(file, text);
        return file;
    }
    int replayedGsa() {
        const auto lines = records.listLines();
        return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
            return l.rfind("$GPGSA", 0) == 0;
        }));
    }
};

TEST_F(ReplayFixture, LastLineWithoutLineFeedIsNotReplayed) {
    const std::string gsa = testing::nmea("GPGSA,A,3,01,02,03,,,,,,,,,,1.8,0.9,1.6");
    std::vector<std::string> backlight;  // the hold around the replay, from the replay thread
    session.holdBacklight = [&](bool hold) { backlight.push_back(hold ? "hold" : "release"); };
    EmulateStartFile(session, writeLog("short.txt", gsa + "\r\n" + gsa + "\n" + gsa));
    ASSERT_TRUE(testing::waitUntil([&] { return !session.workerRunning; }, 3s));
    session.worker.join();
    EXPECT_EQ(std::tuple(backlight, replayedGsa(), records.listHas("Thread ProcessEmul ended"), records.frame.replaying.load(), records.titleCount("short.txt")),
              std::tuple(std::vector<std::string>{"hold", "release"}, 2, true, false, 1));
}

TEST_F(ReplayFixture, PausedReplayAdvancesOneLinePerSignalAndStops) {
    std::string text;
    for (int i = 0; i < 50; ++i) text += testing::nmea("GPGSA,A,3,01,02,03,,,,,,,,,,1.8,0.9,1.6") + "\n";
    const auto file = writeLog("paused.txt", text);
    const InputFile log = read_EmulFile(session, file);
    ASSERT_TRUE(log);
    records.frame.replayPaused = true;  // the event starts signalled: one line goes through
    session.workerRunning = true;
    std::thread replay([&] { ProcessEmul(session, log.bytes); session.workerRunning = false; });
    ASSERT_TRUE(testing::waitUntil([&] { return replayedGsa() == 1; }, 2s));
    for (int step = 2; step <= 4; ++step) {
        session.replayEvent.signal();
        ASSERT_TRUE(testing::waitUntil([&] { return replayedGsa() == step; }, 2s)) << step;
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(replayedGsa(), step);
    }
    EmulateStop(session);
    replay.join();
    EXPECT_EQ(std::tuple(replayedGsa(), records.listHas("Thread ProcessEmul ended")), std::tuple(4, true));
}

TEST_F(ReplayFixture, FilesThatCannotBeReplayedAreRefusedWithAMessage) {
    EmulateStartFile(session, home / "missing.txt");
    EXPECT_EQ(records.ui.messages().back().text,
              "Die Datei " + (home / "missing.txt").string() + " kann nicht gelesen werden: es gibt sie nicht.");
    EXPECT_EQ(std::tuple(records.gps.fixDateText.empty(), records.frame.replaying.load()), std::tuple(true, false));

    EmulateStartFile(session, writeLog("route.jpg", "<gpx/>"));
    EXPECT_EQ(records.ui.messages().back().text,
              "route.jpg ist kein NMEA-Log (*.txt, *.nmea, *.log) und kann nicht abgespielt werden.");
    EmulateStartFile(session, writeLog("points.CSV", "a;b\n"));  // without an import beside it
    EXPECT_NE(records.ui.messages().back().text.find("csv-Dateien"), std::string::npos);
    // The file dialog offers every kind it replays or imports.
    records.ui.queueFileName(std::nullopt);
    EmulateStart(session);
    for (const char* kind : {"*.txt", "*.nmea", "*.log", "*.kml", "*.kmz", "*.gpx", "*.ovl", "*.csv"})
        EXPECT_NE(records.ui.fileDialogs().back().filter.find(kind), std::string::npos) << kind;
    EXPECT_EQ(std::tuple(session.workerRunning.load(), session.worker.joinable()), std::tuple(false, false));
}

// The same drive as .nmea and .log, and saved as UTF-16 with either byte order: each replays
// the whole drive, and the title names the file again when the fix comes back after a loss.
TEST_F(ReplayFixture, LogsOfEveryNameAndUtf16AreReplayed) {
    const std::string text = testing::readDataFile("drive_hannover.txt");
    const auto utf16 = [&](bool little) {
        std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
        for (const char c : text) bytes += little ? std::string{c, '\0'} : std::string{'\0', c};
        return bytes;
    };
    const std::pair<const char*, std::string> cases[] = {
        {"drive.nmea", text}, {"drive.log", text}, {"little.txt", utf16(true)}, {"big.txt", utf16(false)}};
    for (const auto& [name, bytes] : cases) {
        records.ui.clear();
        EmulateStartFile(session, writeLog(name, bytes));
        ASSERT_TRUE(testing::waitUntil([&] { return !session.workerRunning; }, 10s)) << name;
        session.worker.join();
        EXPECT_NEAR(records.gps.tripDistance, 3085.8, 62.0) << name;  // the drive's length, as one trip
        const auto titles = records.ui.titles();
        const auto loss = std::find(titles.rbegin(), titles.rend(), "Empfang schlecht");
        ASSERT_TRUE(loss != titles.rend() && loss != titles.rbegin()) << name;
        // The fix came back, and the replay has ended.
        EXPECT_EQ(std::tuple(*std::prev(loss), titles.back()), std::tuple(name, "VEXA"));
    }
}

// The log's clock in a running replay: a stop ends even a long wait at once.
TEST_F(ReplayFixture, AStopEndsTheWaitForTheNextLine) {
    session.pace.setSpeed(1);
    const std::string late = testing::nmea("GPRMC,130000,V,,,,,,,010624,,") + "\n";
    EmulateStartFile(session, writeLog("gap.txt", testing::nmea("GPRMC,120000,V,,,,,,,010624,,") + "\n" + late + late));
    ASSERT_TRUE(testing::waitUntil([&] { return records.titleCount("Empfang schlecht") == 1; }, 2s));
    const auto asked = std::chrono::steady_clock::now();
    EmulateStop(session);
    ASSERT_TRUE(testing::waitUntil([&] { return !session.workerRunning; }, 2s));
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 1500ms);  // not the 2 s the gap waits
    EXPECT_EQ(records.titleCount("Empfang schlecht"), 1) << "the line after the gap was not replayed";
}

// The log's clock: the log time each run of lines ends with.
TEST(ReplayPaceTest, TheLogsClockStepsByRmcOrElseGgaTime) {
    const auto rmc = [](const std::string& time) { return "$GPRMC," + time + ",A"; };
    const auto gga = [](const std::string& time) { return "$GNGGA," + time + ",5222.0"; };
    const std::optional<double> none;
    const struct {
        const char* what;
        std::vector<std::string> lines;
        std::optional<double> lastStep;
    } cases[] = {
        {"the first time sets the clock", {rmc("120000")}, 0.0},
        {"five seconds", {rmc("120000"), gga("120000"), rmc("120005")}, 5.0},
        {"with fractions", {rmc("120000.25"), rmc("120001.75")}, 1.5},
        {"across midnight", {rmc("235959.50"), rmc("000001.50")}, 2.0},
        {"time running backwards", {rmc("120000"), rmc("110000")}, 0.0},
        {"GGA beside RMC keeps no time", {rmc("120000"), gga("120030")}, none},
        {"RMC after GGA beside it", {rmc("120000"), gga("120030"), rmc("120001")}, 1.0},
        {"a log of GGA only", {gga("120000"), gga("120002")}, 2.0},
        {"lines without a time", {"$GPGSA,A,3", rmc(""), rmc("12:00"), "junk"}, none},
    };
    for (const auto& c : cases) {
        LogClock clock;
        std::optional<double> step;
        for (const std::string& line : c.lines) step = clock.step(line);
        EXPECT_EQ(step, c.lastStep) << c.what;
    }
}

// The wait itself: paced at a speed, capped for a gap, and a speed change taking effect in a
// running wait.
TEST(ReplayPaceTest, LinesWaitForTheirTimeAtTheChosenSpeed) {
    const struct {
        const char* next;
        int speed, laterSpeed, atLeastMs, belowMs;
    } cases[] = {
        {"$GPRMC,120010,A", 20, 20, 480, 2000},  // 10 s at 20x
        {"$GPRMC,130000,A", 20, 20, 1980, 3500},  // an hour's gap is capped
        {"$GPRMC,120002,A", 1, 100, 100, 1500},  // 2 s at 1x, 20 ms at 100x from 100 ms on
    };
    for (const auto& c : cases) {
        ReplayPace pace;
        pace.setSpeed(c.speed);
        // Timed from the first line: the pace counts from there, however late the thread starts.
        const auto start = std::chrono::steady_clock::now();
        pace.waitForLine("$GPRMC,120000,A", [] { return false; });
        std::thread faster([&] {
            std::this_thread::sleep_for(100ms);
            pace.setSpeed(c.laterSpeed);
        });
        pace.waitForLine(c.next, [] { return false; });
        const auto waited = std::chrono::steady_clock::now() - start;
        faster.join();
        EXPECT_TRUE(waited >= std::chrono::milliseconds(c.atLeastMs) && waited < std::chrono::milliseconds(c.belowMs)) << c.next;
    }
}

}  // namespace
}  // namespace vexa
