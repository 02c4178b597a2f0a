// vexa: the moving map and GPS logger.
#include <QApplication>
#include <QTimer>

#include <malloc.h>

#include <clocale>
#include <cstdio>
#include <memory>

#include "app/app_state.h"
#include "app/command_line.h"
#include "app/main_window.h"
#include "app/qt_translations.h"
#include "app/single_instance.h"
#include "app/snapshot.h"
#include "gps/gps_session.h"
#include "platform/linux/file_settings_storage.h"
#include "platform/linux/system_clock.h"
#include "platform/linux/receiver_port.h"
#include "platform/paths.h"
#include "util/version.h"

int main(int argc, char** argv) {
    using namespace vexa;
    // Pictures and maps (a megabyte and more) get pages of their own that go back to the system
    // when freed; by default the threshold grows with each freed picture up to 32 MB, and the
    // screen-sized pictures then stay in the heap after they were given up.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    const CommandLine line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (line.help) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    if (line.version) {
        std::printf("vexa %s\n", vexaVersion());
        return 0;
    }
    if (!line.error.empty()) {
        std::fprintf(stderr, "vexa: %s\nMehr unter 'vexa --help'.\n", line.error.c_str());
        return 2;
    }
    if (line.snapshot) qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setApplicationName("vexa");
    // Qt takes the user's locale; numbers in files and databases keep the decimal point.
    std::setlocale(LC_NUMERIC, "C");
    // The whole program speaks German, whatever the locale; so do Qt's own dialogs.
    const std::unique_ptr<QTranslator> qtGerman = installQtTranslations();

    SingleInstance instance(SingleInstance::defaultServerName());
    if (!line.snapshot && instance.notifyRunning(line.replay)) return 0;

    SystemClock clock;
    FileSettingsStorage storage(settingsFile());
    ReceiverPort port;
    auto state = std::make_unique<AppState>(clock, storage, port);
    if (!qtGerman) AddNmeaListLine(state->diagnostics, "Qt-Übersetzung fehlt (qt6-translations-l10n): Qt-Dialoge englisch");

    WindowOptions options;
    options.screenWidth = line.screenWidth;
    options.screenHeight = line.screenHeight;
    options.scale = line.scale;
    options.remember = !line.snapshot;
    options.screenGiven = line.screenGiven;
    options.scaleGiven = line.scaleGiven;
    options.oldKeys = line.oldKeys;
    options.maps = line.maps;
    options.port = line.port;
    options.replaySpeed = line.replaySpeed;
    if (line.snapshot) {
        options.replayFramePeriod = std::chrono::milliseconds(0);
        options.replaySpeed = kReplaySpeedMax;
        options.headless = true;
    }
    MainWindow window(*state, options);
    window.show();
    if (line.snapshot) {
        window.start();
        return runSnapshot(window, line.replay, *line.snapshot);
    }
    instance.listen([&window](const std::optional<std::filesystem::path>& replay) {
        window.raiseFromSecondInstance(replay);
    });
    window.start();
    if (line.replay) {
        const std::filesystem::path replay = *line.replay;
        QTimer::singleShot(0, &window, [&window, replay] { EmulateStartFile(window.session(), replay); });
    }
    return app.exec();
}
