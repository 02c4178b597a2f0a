// "Karten importieren…": georeferenced rasters into the current map folder, on a worker thread
// while a progress dialog shows how far it came; the catalogue is read again at the end.
#include <algorithm>
#include <atomic>
#include <thread>

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include "app/app_state.h"
#include "app/controllers/map_controller.h"
#include "app/dialog_flag.h"
#include "app/state_lock.h"
#include "maps/import/map_import.h"

namespace vexa {

void MapController::importMapFiles() {
    c_.window.fullscreenOff();
    std::string folder;
    {
        StateLock lock(c_.state.stateMutex, c_.uiHoldsState);
        folder = c_.state.frame.currentMapDir;
    }
    if (folder.empty()) {
        c_.ui.messageBox("Zuerst ein Kartenverzeichnis wählen", "Karten importieren", MessageButtons::Ok,
                         MessageIcon::Information);
        return;
    }
    std::vector<std::filesystem::path> files;
    {
        DialogFlag flag(c_.state.frame);
        files = c_.ui.openFileNames({"Karten importieren", {}, "",
                                     "Georeferenzierte Karten (*.tif *.tiff *.png *.jpg *.jpeg *.gif *.mbtiles *.vrt);;"
                                     "Alle Dateien (*)"});
    }
    if (files.empty()) return;

    ImportRequest request;
    for (const auto& file : files) request.sources.push_back(file.string());
    request.targetDir = folder;
    QProgressDialog progress("Karten werden importiert…", "Abbrechen", 0, 100, c_.window.dialogParent());
    progress.setWindowTitle("Karten importieren");
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    std::atomic<int> percent{0};
    std::atomic<bool> cancel{false}, done{false};
    ImportResult result;
    std::thread worker([&] {
        result = importMaps(request, [&](const ImportProgress& p) {
            percent = p.tilesTotal ? p.tilesDone * 100 / p.tilesTotal : 100;
        }, &cancel);
        done = true;
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (progress.wasCanceled()) cancel = true;
        else progress.setValue(std::min(percent.load(), 99));
        if (done.load()) loop.quit();
    });
    poll.start(50);
    loop.exec();
    worker.join();
    progress.reset();

    if (!result.ok && !result.cancelled) {
        c_.ui.messageBox("Import fehlgeschlagen:\n" + result.message, "Karten importieren", MessageButtons::Ok,
                         MessageIcon::Error);
    }
    if (result.tilesWritten > 0) scanMapDirectory(folder);
    c_.refreshWindow();
}

}  // namespace vexa
