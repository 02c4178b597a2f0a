#include "app/snapshot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QThread>

#include <cstdio>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/main_window.h"

namespace vexa {

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    QCoreApplication::processEvents();
    return true;
}

void answerHeadless(QtUi& ui) {
    ui.setMessageResponder([](const ShownBox& box) {
        std::fprintf(stderr, "vexa: %s %s\n", box.caption.c_str(), box.text.c_str());
        return Answer::Ok;
    });
    ui.setFileResponder([](const FileDialogRequest&) { return std::nullopt; });
}

int runSnapshot(MainWindow& window, const std::optional<std::filesystem::path>& replay,
                const std::filesystem::path& folder) {
    answerHeadless(window.ui());
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    waitUntil([&] { return !window.state().replay.replayDrawing.load(); }, 60000);  // start-up route

    if (replay) {
        EmulateStartFile(window.session(), *replay);
        constexpr int kReplayLimitMs = 30 * 60 * 1000;
        if (!waitUntil([&] { return !window.session().workerRunning.load(); }, kReplayLimitMs)) {
            std::fprintf(stderr, "vexa: replay did not end\n");
            return 1;
        }
        JoinFinishedWorker(window.session());
    }
    const struct {
        int command;
        const char* file;
    } views[] = {{cmd::MoveView, "view-move.png"},
                 {cmd::KarteView, "view-karte.png"},
                 {cmd::GpsView, "view-gps.png"},
                 {cmd::NmeaView, "view-nmea.png"}};
    int failures = 0;
    for (const auto& view : views) {
        window.command(view.command);
        waitUntil([] { return true; }, 0);
        const std::filesystem::path file = folder / view.file;
        // A drawing the GPS worker asked for may have run in the last events and left its frame
        // waiting: shown first, the grab takes the newest frame, and that frame's spare makes
        // room for the grab's own window-sized picture.
        window.showNewestFrame();
        if (!window.grab().save(QString::fromStdString(file.string()), "PNG")) {
            std::fprintf(stderr, "vexa: cannot write %s\n", file.c_str());
            ++failures;
        } else {
            std::printf("%s\n", file.c_str());
        }
    }
    return failures ? 1 : 0;
}

}  // namespace vexa
