#include "maps/map_folder.h"

#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "maps/map_catalogue.h"
#include "platform/silent_ui.h"

namespace vexa {

MapFolder readMapFolder(const std::string& directory) {
    MapFolder folder;
    GridContext probe;
    folder.named = applyDirectorySuffixes(directory, probe);
    if (!folder.named) return folder;

    // The diagnostic text keeps only its newest lines: each line is taken as it arrives.
    DiagnosticText log;
    log.setChangeListener([&] {
        const std::string text = log.text();
        folder.log.push_back(text.substr(0, text.find("\r\n")));
    });
    FrameState frame;
    SilentUi ui;  // the catalogue asks only about a folder without a grid, never passed here
    MapScanContext context{folder.table, folder.grid, frame, log, ui, directory, false};
    fill_karte_tab(context, directory);
    return folder;
}

}  // namespace vexa
