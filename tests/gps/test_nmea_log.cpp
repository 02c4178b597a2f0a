// The NMEA log: opening with the dialog, the writer's lines, the live and replay log rules,
// and the rules of "Log Einstellungen".
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>

#include "frame/settings_store.h"
#include "gps/log_settings_model.h"
#include "gps/nmea_log.h"
#include "platform/linux/file_settings_storage.h"
#include "platform/paths.h"
#include "tests/gps/gps_fixture.h"
#include "tests/support/temp_dir.h"
#include "util/text.h"

namespace vexa::testing {
namespace {

const std::string kGsa = nmea("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");

std::vector<std::string> fileLines(const std::filesystem::path& file) {
    std::vector<std::string> lines;
    const std::string text = readFile(file);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "every line ends in a line feed";
    return lines;
}

struct Logging : ::testing::Test {
    TempDir dir;
    ScopedEnv home{"VEXA_HOME", dir.path().c_str()};
    FileSettingsStorage storage{dir / "VEXA.conf"};
    GpsRecords r;
    SettingsStore store{storage, r.ui, r.diagnostics};
    ReaderState reader;

    bool openAs(std::optional<std::filesystem::path> chosen) {
        if (chosen) r.ui.queueFileName(*chosen);
        return OpenLogFile(r.log, r.settings, store, r.ui, r.diagnostics, r.clock, logDirectory(r.settings.LogDir), true);
    }
    std::filesystem::path open() {
        EXPECT_TRUE(openAs(dir / "log.txt"));
        return dir / "log.txt";
    }
};

TEST_F(Logging, OpenAsksWithTheDatedDefaultNameCancelAndFailureLeaveItOff) {
    EXPECT_FALSE(openAs(std::nullopt));
    EXPECT_TRUE(r.ui.messages().empty()) << "cancelled";
    EXPECT_FALSE(openAs(dir / "no" / "such" / "folder.txt"));
    EXPECT_EQ(std::tuple(r.ui.messages().size(), r.ui.messages().at(0).text, r.log.active.load()), std::tuple(1u, "Fehler Open FileLog", false));

    r.clock.setUtc({2024, 6, 14, 8, 5, 0, 0, 5});
    r.clock.setUtcOffsetSeconds(3600);
    const auto path = open();
    const auto dialogs = r.ui.fileDialogs();
    ASSERT_EQ(dialogs.size(), 3u);
    EXPECT_EQ(std::tuple(dialogs[0].directory, dialogs[2].suggestedName), std::tuple(dir.path() / "vexa", "NmeaLog_20240614_0905.txt"));
    EXPECT_TRUE(r.listHas("Logging auf " + path.string()));
    const std::string folder = dir.path().string() + "/";  // kept for the next time
    EXPECT_EQ(std::tuple(r.settings.LogDir, storage.readString("LogDir")), std::tuple(folder, folder));
}

TEST_F(Logging, WriterOutputMatchesLineByLineAndSurvivesClose) {
    const auto path = open();
    EXPECT_FALSE(std::filesystem::exists(path)) << "no file before the first sentence";
    std::vector<std::string> written;
    for (int i = 0; i < 40; ++i) written.push_back(nmea("GPTXT,01,01,02,line " + std::to_string(i)));
    for (const auto& line : written) WriteLogFile(r.log, line);
    // More than 1000 characters went out: they reached the file before any close.
    EXPECT_GT(readFile(path).size(), 1000u);
    CloseLogFile(r.log);
    EXPECT_EQ(std::tuple(r.log.active.load(), fileLines(path)), std::tuple(false, written));
}

// Each row: the intervals of RMC, GGA and GSA/GSV, the minimum distance, the metres moved north
// each second, the sentences of each second (R, G, A, V for RMC, GGA, GSA, GSV) and what the
// log holds (each sentence's letter and second).
TEST_F(Logging, LiveRulesFollowIntervalsDistanceAndTheForcedGga) {
    struct Row {
        const char* what;
        long rmc, gga, satellites;
        int imindist;
        double metres;
        std::string sends;
        int seconds;
        std::string logged;
    };
    const Row rows[] = {
        {"moving: RMC at its interval, GGA each second, satellites parsed only", 5, 1, 0, 25, 1852, "AVRG", 12,
         "G0 G1 G2 G3 R4 G4 G5 G6 G7 G8 R9 G9 G10 G11"},
        {"walking: the fix after each 25 m, GGA with its RMC", 1, 1, -1, 25, 10, "RG", 7, "R0 G0 R3 G3 R6 G6"},
        {"standing, no minimum distance: the first fix only", 1, 1, -1, 0, 0, "RG", 3, "R0 G0"},
        {"standing without GGA: no RMC is forced", 1, 1, -1, 25, 0, "R", 3, "R0"},
        {"RMC parsed, never logged: no GGA is forced", 0, 1, -1, 25, 10, "RG", 4, "G0 G3"},
        {"satellites every second second, each type on its timer", -1, -1, 2, 25, 0, "AV", 5, "A1 V1 A3 V3"},
    };
    for (const Row& row : rows) {
        const std::filesystem::path path = dir / (std::string(row.what) + ".txt");
        ASSERT_TRUE(openAs(path));
        r.settings.LRmcLogTime = row.rmc;
        r.settings.LGgaLogTime = row.gga;
        r.settings.LGsaLogTime = row.satellites;
        r.settings.imindist = row.imindist;
        StartReception(r.in, reader);
        std::vector<std::pair<std::string, std::string>> sent;  // line, letter and second
        for (int s = 0; s < row.seconds; ++s) {
            r.clock.advance(1000);
            const double minutes = 7.0 + s * row.metres / 1852.0;
            for (const char type : row.sends) {
                // The satellites' figures change from second to second, as they do.
                std::string line = type == 'A' ? nmea(strprintf("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.%d,1.3,2.1", s))
                                 : type == 'V' ? nmea(strprintf("GPGSV,1,1,02,04,71,120,%02d,05,33,250,38", 40 + s))
                                 : type == 'R' ? nmea(strprintf("GPRMC,1200%02d.00,A,48%07.4f,N,01131.0000,E,010.0,000.0,230394,,", s, minutes))
                                               : nmea(strprintf("GPGGA,1200%02d.00,48%07.4f,N,01131.0000,E,1,08,0.9,500.0,M,46.9,M,,", s, minutes));
                receive(r, reader, line + "\r\n");
                sent.emplace_back(std::move(line), type + std::to_string(s));
            }
        }
        CloseLogFile(r.log);
        std::string logged;
        for (const std::string& line : fileLines(path)) {
            const auto one = std::find_if(sent.begin(), sent.end(), [&](const auto& s) { return s.first == line; });
            ASSERT_NE(one, sent.end()) << row.what << ": " << line;
            logged += one->second + " ";
        }
        if (!logged.empty()) logged.pop_back();
        EXPECT_EQ(logged, row.logged) << row.what;
    }
}

// The same lines each second: standing still, only the first fix is logged; GSA and GSV of
// every system and talker each at the interval.
TEST_F(Logging, StandingStillLogsTheFirstFixAndSatellitesOfEverySystemAtTheirInterval) {
    const auto path = open();
    r.settings.LGsaLogTime = 1;
    StartReception(r.in, reader);
    const std::vector<std::string> second = {
        nmea("GPRMC,120000.00,A,4807.0380,N,01131.0000,E,000.0,000.0,230394,,"),
        nmea("GPGGA,120000.00,4807.0380,N,01131.0000,E,1,08,0.9,500.0,M,46.9,M,,"),
        nmea("GNGSA,A,3,05,13,,,,,,,,,,,1.4,0.8,1.1,1"), nmea("GNGSA,A,3,66,67,,,,,,,,,,,1.4,0.8,1.1,2"),
        nmea("GPGSV,1,1,02,05,40,120,44,13,62,250,41,1"), nmea("GLGSV,1,1,02,66,45,100,40,67,30,200,36,1")};
    std::vector<std::string> expected = second;
    for (int s = 0; s < 3; ++s) {
        r.clock.advance(1000);
        for (const std::string& line : second) receive(r, reader, line + "\r\n");
        if (s > 0) expected.insert(expected.end(), second.begin() + 2, second.end());
    }
    CloseLogFile(r.log);
    EXPECT_EQ(fileLines(path), expected);
}

TEST_F(Logging, ReplayKeepsCarriageReturnsAndWritesWholeGsvCycles) {
    const auto path = open();
    r.settings.LGsaLogTime = 0;  // replay logs GSA and GSV whatever the interval
    const std::vector<std::string> sentences = {
        kGsa,
        nmea("GPGSV,2,1,05,04,71,120,44,05,33,250,38,09,55,060,41,12,20,300,30"),
        nmea("GPGSV,2,2,05,24,64,010,46"),
        nmea("GPRMC,120000.00,A,4807.0380,N,01131.0000,E,000.0,000.0,230394,,"),
        nmea("GPGGA,120000.00,4807.0380,N,01131.0000,E,1,08,0.9,500.0,M,46.9,M,,"),
        nmea("GPRMC,120001.00,A,4807.0380,N,01131.0000,E,000.0,000.0,230394,,"),
    };
    std::string text;
    for (const auto& s : sentences) text += s + "\r\n";
    replay(r, text);
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < 5; ++i) expected.push_back(sentences[i] + "\r");
    EXPECT_EQ(fileLines(path), expected) << "the second RMC has not moved";
    // Every line is listed as read, carriage return included.
    EXPECT_EQ(std::tuple(r.listHas(sentences[1] + "\r"), r.listHas(sentences[5] + "\r"), r.views.keepAwakeCalls), std::tuple(true, true, 6));
}

struct LogDialog : Logging {
    LogSettingsModel model{r.settings};
};

TEST_F(LogDialog, EntriesAreBroughtIntoRangeAndEmptyFieldsTakeTheirDefault) {
    EXPECT_EQ(model.edit(LogField::RmcInterval, "70"), "60");
    EXPECT_EQ(std::tuple(r.settings.LRmcLogTime, model.infoVisible()), std::tuple(60L, false));
    EXPECT_EQ(model.edit(LogField::TraceLength, "5000"), "2000");
    EXPECT_EQ(model.edit(LogField::TraceLength, ""), std::nullopt);
    EXPECT_EQ(r.settings.itracemax, 100L);
    model.edit(LogField::TraceInterval, "");
    model.edit(LogField::GgaInterval, "");
    EXPECT_EQ(std::tuple(r.settings.LTraceTime, r.settings.LGgaLogTime, model.infoText()), std::tuple(1L, 0L, "Kein Logging für GGA"));
    model.edit(LogField::GsaInterval, "-1");
    EXPECT_EQ(model.infoText(), "Ohne GSA/V Kein Satellitenstatus");
    EXPECT_EQ(model.edit(LogField::RmcInterval, "-5"), "-1");
    EXPECT_EQ(std::tuple(r.settings.LRmcLogTime, model.infoText()), std::tuple(-1L, "RMC     wird nicht benutzt"));
    EXPECT_EQ(model.edit(LogField::MinDistance, "1500"), "1000");
    EXPECT_EQ(model.infoText(), "Mindest Distanz für Trace/Log 1000 m");
}

TEST_F(LogDialog, DistanceButtonsFollowTheMinimumDistance) {
    model.pickDistance(1);
    EXPECT_EQ(std::tuple(r.settings.imindist, model.selectedDistanceButton()), std::tuple(20L, 1));
    model.edit(LogField::MinDistance, "10");
    EXPECT_EQ(model.selectedDistanceButton(), 2);
    model.edit(LogField::MinDistance, "11");
    EXPECT_EQ(model.selectedDistanceButton(), -1);
}

TEST_F(LogDialog, OpeningRereadsTheStoreAndStandardResetsEverything) {
    r.settings.LGsaLogTime = 3;
    RegCreateLogTimes(store, r.settings);
    storage.writeNumber("iZeitsync", 1);
    r.settings.LGsaLogTime = -1;
    model.open(store);
    EXPECT_EQ(std::tuple(r.settings.LGsaLogTime, r.settings.iZeitsync, model.infoVisible()), std::tuple(3L, 1, false)) << "no interval is off";
    model.edit(LogField::GgaInterval, "-1");
    model.open(store);
    EXPECT_EQ(r.settings.LGgaLogTime, 1) << "an edit is not saved before Done";
    model.edit(LogField::GgaInterval, "-1");
    model.done(store, "");
    model.open(store);
    EXPECT_EQ(model.infoText(), "-1:Satz wird nicht benutzt");

    model.standard();
    EXPECT_EQ(std::tuple(r.settings.imindist, r.settings.LGsaLogTime, r.settings.iZeitsync, model.infoText()),
              std::tuple(25L, -1L, 0, "Einstellungen auf Default gesetzt"));
    model.done(store, "-3");
    EXPECT_EQ(std::tuple(r.settings.TimeZoneSetting, storage.readNumber("imindist"), storage.readNumber("iZeitsync")),
              std::tuple(-3, 25u, 0u));
}

}  // namespace
}  // namespace vexa::testing
