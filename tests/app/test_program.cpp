// The vexa program itself: command line, the run without a display, one instance only.
#include <QProcess>

#include <fstream>

#include "app/command_line.h"
#include "app/single_instance.h"
#include "tests/app/app_fixture.h"

namespace vexa::testing {
namespace {

// The exit code of a vexa run, -1 when it crashed or outlasted two minutes.
int runVexa(const QStringList& args, QByteArray* errors = nullptr) {
    QProcess vexa;
    vexa.start(VEXA_EXE, args);
    if (!vexa.waitForFinished(120000)) vexa.kill();
    vexa.waitForFinished();
    if (errors) *errors = vexa.readAllStandardError();
    return vexa.exitStatus() == QProcess::NormalExit ? vexa.exitCode() : -1;
}

TEST(CommandLine, OptionsAndTheirErrors) {
    const CommandLine line = parseCommandLine({"--maps", "m", "--replay", "r.txt", "--port", "/dev/ttyUSB1", "--screen",
                                               "320x240", "--scale", "3", "--old-keys", "--replay-speed", "100"});
    EXPECT_TRUE(line.error.empty()) << line.error;
    EXPECT_EQ(std::tuple(*line.maps, *line.port, line.screenWidth, line.screenHeight, line.scale, *line.replaySpeed),
              std::tuple(std::filesystem::path("m"), "/dev/ttyUSB1", 320, 240, 3, 100));
    EXPECT_TRUE(line.screenGiven && line.scaleGiven && line.oldKeys);
    const CommandLine none = parseCommandLine({});
    EXPECT_EQ(std::tuple(none.screenGiven, none.scaleGiven, none.replaySpeed, none.screenWidth, none.scale),
              std::tuple(false, false, std::optional<int>(), 240, 2));
    EXPECT_EQ(parseCommandLine({"--replay-speed", "max"}).replaySpeed, kReplaySpeedMax);
    for (auto args : std::vector<std::vector<std::string>>{
             {"--screen", "240"}, {"--screen", "200x320"}, {"--screen", "320x5000"}, {"--scale", "0"}, {"--maps"}, {"--bogus"},
             {"--replay-speed", "7"}, {"--replay-speed", "0"}, {"--replay-speed"}})
        EXPECT_FALSE(parseCommandLine(args).error.empty()) << args[0];
}

// The snapshot run plays the replay and writes the four views; on a broken settings store it
// runs on defaults and says so once.
TEST_F(AppTest, SnapshotsPlayTheReplayAndWriteTheFourViewsEvenOnABrokenSettingsStore) {
    const auto folder = dir_ / "bilder";
    ASSERT_EQ(runVexa({"--maps", QString::fromStdString(demoMaps().string()), "--replay",
                       QString::fromStdString(demoLog().string()), "--snapshot", QString::fromStdString(folder.string())}),
              0);
    for (const char* name : {"view-move.png", "view-karte.png", "view-gps.png", "view-nmea.png"}) {
        QImage image(QString::fromStdString((folder / name).string()));
        EXPECT_GE(image.width(), 480) << name;  // 240 device pixels at scale 2
    }
    std::filesystem::remove_all(config_ / "KL");
    std::filesystem::create_directories(config_ / "KL/VEXA.conf");  // a folder, not a file
    QByteArray errors;
    ASSERT_EQ(runVexa({"--snapshot", QString::fromStdString(folder.string())}, &errors), 0);
    EXPECT_EQ(errors.count("Could not open/create key"), 1) << errors.toStdString();
}

TEST_F(AppTest, ASecondStartRaisesTheFirstHandsItTheLogToReplayAndEnds) {
    MainWindow& w = open();
    SingleInstance first(SingleInstance::defaultServerName());
    ASSERT_TRUE(first.listen([&](const auto& replay) { w.raiseFromSecondInstance(replay); }));
    // The start of the demo drive: the hand-over is the point, not the length of the replay.
    const std::filesystem::path log = dir_ / "kurz.txt";
    {
        std::ifstream in(demoLog());
        std::ofstream out(log);
        std::string line;
        for (int n = 0; n < 200 && std::getline(in, line); ++n) out << line << '\n';
    }
    for (const QStringList& args : {QStringList{}, QStringList{"--replay", QString::fromStdString(log.string())}}) {
        QProcess second;
        second.start(VEXA_EXE, args);
        ASSERT_TRUE(waitFor([&] { return second.state() == QProcess::NotRunning; }, 20000));
        EXPECT_EQ(std::pair(second.exitStatus(), second.exitCode()), std::pair(QProcess::NormalExit, 0));
    }
    EXPECT_TRUE(waitFor([&] { return w.raiseCount() == 2; }, 5000));
    EXPECT_TRUE(waitFor([&] { return contains(state().diagnostics.text(), "Thread ProcessEmul ended"); }, 30000));
}

}  // namespace
}  // namespace vexa::testing
