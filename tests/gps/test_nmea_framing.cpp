// Framing, checksum and the live sentence sequence, fed in reads as the reader gets them, and
// the sequence a replayed line goes through.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "gps/nmea_checksum.h"
#include "gps/nmea_framing.h"
#include "gps/pending_drawing.h"
#include "gps/satellites.h"
#include "platform/serial_port.h"
#include "tests/gps/gps_fixture.h"
#include "util/text.h"

namespace vexa::testing {
namespace {

class FakePort : public SerialPort {
public:
    int purges = 0;
    int purgeError = 0;
    SerialError open(const std::string&, int) override { return {}; }
    SerialError close() override { return {}; }
    bool isOpen() const override { return true; }
    ReadResult readByte() override { return {}; }
    SerialError write(std::string_view) override { return {}; }
    SerialError purge() override {
        ++purges;
        return {purgeError, "PurgeComm"};
    }
};

// Checksum 3D.
const std::string kRmc = nmea("GPRMC,120000.00,A,4807.0380,N,01131.0000,E,010.0,045.0,230394,,");
const std::string kGga = nmea("GPGGA,120000.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,");

// The last `n` lines of `lines`.
std::vector<std::string> tail(const std::vector<std::string>& lines, std::size_t n) {
    return {lines.end() - static_cast<long>(std::min(n, lines.size())), lines.end()};
}

struct Live : ::testing::Test {
    GpsRecords r;
    ReaderState reader;
    FakePort port;

    void SetUp() override { StartReception(r.in, reader); }
    void feed(std::string_view bytes) { receive(r, reader, bytes, &port); }
    // The sentences in the NMEA list, oldest first.
    std::vector<std::string> sentences() const {
        std::vector<std::string> lines = r.listLines();
        std::erase_if(lines, [](const std::string& l) { return l.empty() || l[0] != '$'; });
        return lines;
    }
};

TEST(CheckNMEARecord, OnlyAMismatchIsReportedOtherFailuresAreSilent) {
    const std::string mismatch = "Checksum is not ok\r\n";
    const std::tuple<std::string, int, std::string> cases[] = {  // line, result, what is listed
        {kRmc, 1, ""},
        {kRmc.substr(0, kRmc.size() - 1) + "d", 1, ""},  // lower-case hex
        {kRmc + "\r", 1, ""},
        {kRmc.substr(0, kRmc.size() - 1) + "E", 0, mismatch},
        {"$GPRMC,120000,A", 0, ""},  // no star
        {"", 0, ""},
        {kGga.substr(0, 30) + kRmc, 0, ""},                        // two dollars
        {nmea("GPTXT," + std::string(245, 'x')), 1, ""},           // 255 characters
        {nmea("GPTXT," + std::string(246, 'x')), 0, ""},           // 256: not NMEA
        // Bytes above 127 enter the sum as negative values, so no two hex digits can match.
        {nmea("GPTXT,\xE4"), 0, mismatch},
    };
    for (const auto& [line, ok, listed] : cases) {
        DiagnosticText list;
        EXPECT_EQ(CheckNMEARecord(list, line), ok) << line;
        EXPECT_EQ(list.text(), listed) << line;
    }
}

TEST_F(Live, LineEndsProcessKeepAwakeAndDebugModeShowsEveryLineAndTheTimeStep) {
    r.clock.advance(1000);
    // A sentence over three reads ending in a CR LF pair split by the reads, then one within
    // a read.
    feed(kRmc.substr(0, 20));
    feed(kRmc.substr(20, 20));
    feed(kRmc.substr(40) + "\r");
    feed("\n" + kGga + "\r\n");
    EXPECT_EQ(std::tuple(r.gps.rmcSeen, r.gps.ggaSeen, r.listHas(kRmc), r.listHas(kGga), r.listHas("Checksum is ok")),
              std::tuple(true, true, true, true, false));
    EXPECT_EQ(r.views.keepAwakeCalls, 4) << "every line end, the empty line between CR and LF too";

    r.diagnostics.debugMode = true;
    r.frame.displayMode = DisplayMode::Nmea;
    r.clock.setTick(5000);
    feed("hello\n" + kRmc + "\n");
    for (const char* line : {"hello", "Checksum is ok", "readPacketNMEA End Tick Count = <5000> deltatime=<4.000>"})
        EXPECT_TRUE(r.listHas(line)) << line;
    EXPECT_EQ(r.views.nmeaListRefreshes, 1) << "the NMEA view shows every sentence";
}

// However the reads cut the stream, the same sentences arrive: a line may end in a CR alone,
// and a read may bring a single byte.
TEST_F(Live, ReadsCutAnywhereGiveTheSameSentences) {
    const std::vector<std::string> cases[] = {
        {kRmc + "\r" + kGga + "\r"},
        {"$", kRmc.substr(1) + "\n" + kGga.substr(0, 1), kGga.substr(1) + "\n"},
    };
    for (const auto& reads : cases) {
        const std::size_t before = sentences().size();
        for (const std::string& read : reads) feed(read);
        EXPECT_EQ(tail(sentences(), sentences().size() - before), (std::vector<std::string>{kRmc, kGga})) << reads[0];
    }
}

// While the window draws (another thread holds the state mutex) the reader goes on reading:
// its lines wait and are processed in order before the next line, before an overflow is
// reported, or when the port is quiet; only a full backlog waits for the drawing.
TEST_F(Live, LinesCompletedWhileTheStateIsHeldWaitAndKeepTheirOrder) {
    // A reader whose backlog fills waits for the drawing, so that drawing ends on its own.
    const auto whileHeld = [&](const std::string& bytes, bool backlogFills = false) {
        std::promise<void> held, drawn;
        std::thread drawing([&] {
            std::lock_guard lock(r.mutex);
            held.set_value();
            if (backlogFills) std::this_thread::sleep_for(std::chrono::milliseconds(50));
            else drawn.get_future().wait();
        });
        held.get_future().wait();
        feed(bytes);  // would never return if the reader waited for the drawing
        drawn.set_value();
        drawing.join();
    };
    whileHeld(kGga + "\r\n" + kRmc + "\r\n");
    EXPECT_TRUE(sentences().empty());
    feed(kRmc + "\n");
    EXPECT_EQ(sentences(), (std::vector<std::string>{kGga, kRmc, kRmc}));
    EXPECT_EQ(r.views.keepAwakeCalls, 5);

    // 81 lines: the 64th fills the backlog, and the empty line of its CR LF pair waits with
    // the rest.
    std::string many = kRmc + "\n";
    for (int i = 0; i < 40; ++i) many += kGga + "\r\n";
    whileHeld(many, true);
    std::vector<std::string> expected(41, kGga);
    expected[0] = kRmc;
    EXPECT_EQ(tail(sentences(), 41), expected);
    EXPECT_EQ(r.views.keepAwakeCalls, 5 + 81);

    whileHeld(kRmc + "\n");
    feed(std::string(kMaxLineChars + 1, 'x'));
    EXPECT_EQ(tail(r.listLines(), 3), (std::vector<std::string>{kRmc, "inbuffer > 500", std::string(256, 'x')}));
    whileHeld(kGga + "\n");
    ProcessBacklog(r.in, reader, false);
    EXPECT_EQ(sentences().back(), kGga);
}

TEST_F(Live, ExactlyFullBufferStaysTheNextCharacterOverflowsAndPurges) {
    const std::string full(kMaxLineChars, 'A');
    feed(full);
    EXPECT_EQ(std::tuple(reader.length, port.purges), std::tuple(kMaxLineChars, 0));
    r.satellites.gsvCycleStarted = true;
    feed("B");
    EXPECT_EQ(std::tuple(reader.length, port.purges, r.satellites.gsvCycleStarted), std::tuple(0u, 1, false));
    const auto lines = r.listLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "inbuffer > 500");
    EXPECT_EQ(lines.back(), full.substr(0, 256)) << "the partial line follows, cut to a list line";
    // Reading goes on: the rest of the long line is dropped at its end, the next one counts.
    feed("\n" + kRmc + "\n");
    EXPECT_TRUE(r.gps.rmcSeen);

    port.purgeError = 5;
    feed(std::string(kMaxLineChars + 1, 'x'));
    const std::string text = r.diagnostics.text();
    EXPECT_TRUE(text.find("readPacketNMEA PurgeComm(") != std::string::npos && text.find("<5> error occured") != std::string::npos) << text;
}

// From a receiver that sends checksums, a line cut at a NUL byte is damaged. (Junk, stray
// bytes and lost line ends: the receiver logs and the fuzz target.)
TEST_F(Live, ALineCutAtANulByteIsNotParsed) {
    feed(kRmc + "\n");
    feed(kGga.substr(0, 20) + std::string(1, '\0') + kGga.substr(20) + "\n");
    EXPECT_FALSE(r.gps.ggaSeen);
}

TEST_F(Live, SentenceTypesAreShownAndParsedOnlyWhenSwitchedOn) {
    const std::string gsa = nmea("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");
    const std::string gsv = nmea("GPGSV,1,1,02,04,71,120,44,05,33,250,38");
    r.settings.LGsaLogTime = 0;
    feed(gsa + "\n" + gsv + "\n");
    EXPECT_EQ(std::tuple(r.gps.gsaSeen, r.gps.gsvSeen, r.listHas(gsa), r.listHas(gsv), r.satellites.usedLast, r.satellites.inViewCount),
              std::tuple(true, true, true, true, 4, 2));
    r.settings.LGsaLogTime = -1;
    resetForRun(r.in);
    const std::string otherGsa = nmea("GPGSA,A,3,07,,,,,,,,,,,,2.5,1.3,2.1");
    const std::string otherGsv = nmea("GPGSV,1,1,01,07,71,120,44");
    feed(otherGsa + "\n" + otherGsv + "\n");
    EXPECT_EQ(std::tuple(r.gps.gsaSeen, r.gps.gsvSeen, r.listHas(otherGsa), r.listHas(otherGsv), r.satellites.usedLast, r.satellites.inViewCount),
              std::tuple(false, false, false, false, 4, 2));

    r.settings.LRmcLogTime = -1;
    r.settings.LGgaLogTime = -1;
    feed(kRmc + "\n" + kGga + "\n");
    EXPECT_FALSE(r.gps.rmcSeen);
    EXPECT_EQ(r.titleCount("RMC/GGA aktivieren"), 6) << "one per accepted sentence";
    const auto lines = r.listLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Tools->Einstellungen->Log Einstellungen");
    EXPECT_EQ(lines.back(), "$GPRMC oder $GPGGA aktivieren");

    r.settings.LRmcLogTime = 0;  // never logged, still shown and parsed
    feed(kRmc + "\n");
    EXPECT_EQ(std::tuple(r.gps.rmcSeen, r.listLines().back()), std::tuple(true, kRmc));
}

TEST_F(Live, FixChangesBeepAndALostFixRedrawsTheMoveView) {
    r.frame.displayMode = DisplayMode::Move;
    r.settings.LGsaLogTime = 0;
    feed(kRmc + "\n");
    EXPECT_EQ(r.ui.beeps(), 0) << "the signal comes at the sentence after the change";
    feed(kRmc + "\n");
    EXPECT_EQ(r.ui.beeps(), 1);
    const auto framesBefore = r.views.frames.size();
    feed(nmea("GPGSA,A,1,,,,,,,,,,,,,,,") + "\n");  // GSA clears the fix; the signal follows at once
    EXPECT_EQ(r.ui.beeps(), 2);
    EXPECT_EQ(r.views.frames.size(), framesBefore + 1) << "the map is redrawn at the last position";
    feed(nmea("GPRMC,120001.00,V,,,,,,,230394,,") + "\n");
    EXPECT_EQ(r.ui.beeps(), 2) << "still lost: no second signal";
    feed(kRmc + "\n");
    feed(kGga + "\n");
    EXPECT_EQ(r.ui.beeps(), 3);
}

// In the GPS view the satellites redraw it while there is no fix; with a fix the position
// sentences do, live as replayed (there: once both RMC and GGA came).
TEST(GsvSentences, RedrawTheGpsViewOnlyWithoutAFix) {
    const std::string gsv = nmea("GPGSV,1,1,01,07,71,120,44") + "\n";
    const std::string noFix = nmea("GPGSA,A,1,,,,,,,,,,,,,,,") + "\n";
    for (const bool live : {true, false}) {
        GpsRecords r;
        r.settings.LGsaLogTime = 1;
        r.frame.displayMode = DisplayMode::Gps;
        ReaderState reader;
        StartReception(r.in, reader);
        const auto redrawsBy = [&](const std::string& lines) {
            const int before = r.views.gpsRedraws;
            if (live) receive(r, reader, lines);
            else replay(r, lines);
            return r.views.gpsRedraws - before;
        };
        redrawsBy(kRmc + "\n" + kRmc + "\n");  // a fix held, and the RMC seen
        EXPECT_EQ(redrawsBy(gsv), live ? 0 : 1) << live;
        redrawsBy(kGga + "\n" + noFix);  // the GGA seen, the fix lost
        EXPECT_EQ(redrawsBy(gsv), live ? 1 : 0) << live;
    }
}

// A new run is a new leg: its first fix is not measured from the last fix of the run before,
// whether the receiver sends RMC or only GGA.
TEST(NewRun, TakesNoDistanceFromTheRunBefore) {
    for (const char* form : {"GPRMC,1200%02d.00,A,48%02d.0000,N,01131.0000,E,000.0,000.0,230394,,",
                             "GPGGA,1200%02d.00,48%02d.0000,N,01131.0000,E,1,08,0.9,500.0,M,46.9,M,,"}) {
        GpsRecords r;
        ReaderState reader;
        StartReception(r.in, reader);
        receive(r, reader, nmea(strprintf(form, 0, 7)) + "\n");
        StartReception(r.in, reader);
        receive(r, reader, nmea(strprintf(form, 1, 17)) + "\n");
        EXPECT_EQ(r.gps.tripDistance, 0.0) << form;
    }
}

// A replayed line is checked and listed as read; the NMEA view follows while it is shown, and
// the box about an overlong GSV comes once.
TEST(Replay, LinesAreCheckedListedAndAnOverlongGsvIsToldOnce) {
    GpsRecords r;
    r.settings.LGsaLogTime = 1;
    r.frame.displayMode = DisplayMode::Nmea;
    const std::string body = "GPGSV,1,1,01,07,10,100,30,";
    const std::string overlong = nmea(body + std::string(kGsvSlotChars, '7'));
    replay(r, kRmc.substr(0, kRmc.size() - 1) + "E\r\n" + overlong + "\r\n" + kGga + "\r\n");
    EXPECT_TRUE(r.listHas("Checksum is not ok"));
    EXPECT_EQ(r.views.nmeaListRefreshes, 3);
    ASSERT_EQ(r.ui.messages().size(), 1u);
    EXPECT_EQ(r.ui.messages()[0].text, "parseGSV inbuffer > MAXBUF");
}

TEST_F(Live, TraceIntervalCountsReceivedTime) {
    r.settings.LTraceTime = 3;
    r.settings.imindist = 0;
    for (int i = 0; i < 9; ++i) {
        r.clock.advance(1000);
        feed(nmea(strprintf("GPRMC,1200%02d.00,A,48%02d.0000,N,01131.0000,E,010.0,000.0,230394,,", i, 7 + i)) + "\n");
    }
    // A point every third second.
    EXPECT_EQ(std::tuple(r.trace->next, r.trace->points[0].segmentStart, r.trace->points[1].segmentStart), std::tuple(3, 1, 0));
}

// Fixes arriving faster than the drawing side draws: each is traced, one wake is posted, and
// the drawing shows the newest frame once, with a status line only when written after it.
TEST(PendingDrawing, FixesFasterThanTheDrawingAreAllTracedAndOnlyTheNewestIsDrawn) {
    GpsRecords r;
    int wakes = 0;
    PendingDrawing drawing(r.views, r.frame, [&] { ++wakes; });
    GpsInput in = r.input(r.ui, r.clock, drawing);
    ReaderState reader;
    StartReception(in, reader);
    r.frame.displayMode = DisplayMode::Move;
    r.settings.LTraceTime = 1;
    const auto fix = [&](int i, char status) {
        r.clock.advance(1000);
        char body[96];
        std::snprintf(body, sizeof body, "GPRMC,1200%02d.00,%c,48%02d.0000,N,01131.0000,E,010.0,000.0,230394,,", i,
                      status, 7 + i);
        AppendBytes(in, reader, nullptr, nmea(body) + "\n");
    };
    for (int i = 0; i < 6; ++i) fix(i, 'A');
    EXPECT_EQ(r.trace->next, 6);
    EXPECT_TRUE(r.views.frames.empty()) << "the reader thread never draws";
    fix(6, 'V');  // bad reception: the frame at the last position, then its status line
    drawing.drawPending();
    ASSERT_EQ(r.views.frames.size(), 1u);
    EXPECT_EQ(r.views.frames[0].grid.northing, r.last.grid.northing);
    EXPECT_EQ(r.views.moveTexts.size(), 1u);
    fix(7, 'A');  // a new frame covers the status line before it is drawn
    r.frame.displayMode = DisplayMode::Karte;
    drawing.drawPending();
    EXPECT_EQ(wakes, 2);
    EXPECT_EQ(r.views.frames.size() + r.views.moveTexts.size(), 2u) << "nothing drawn for a view no longer shown";
}

}  // namespace
}  // namespace vexa::testing
