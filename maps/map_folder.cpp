#include "maps/map_folder.h"

#include "util/diagnostic_text.h"
#include "frame/frame_state.h"
#include "maps/map_catalogue.h"
#include "platform/ui.h"

namespace vexa {

namespace {

// The catalogue asks the user only about a folder name without a grid, which is never passed
// to it here.
class NoUi : public Ui {
public:
    Answer messageBox(std::string_view, std::string_view, MessageButtons, MessageIcon) override {
        return Answer::Ok;
    }
    void setWindowTitle(std::string_view) override {}
    void setStatusText(std::string_view) override {}
    void sendCommand(int) override {}
    void setWaitCursor(bool) override {}
    void beep() override {}
    std::optional<std::filesystem::path> saveFileName(const FileDialogRequest&) override { return {}; }
    std::optional<std::filesystem::path> openFileName(const FileDialogRequest&) override { return {}; }
};

}  // namespace

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
    NoUi ui;
    MapScanContext context{folder.table, folder.grid, frame, log, ui, directory, false};
    fill_karte_tab(context, directory);
    return folder;
}

}  // namespace vexa
