// Fonts and the display settings: the installed faces and the private font file, the set of
// fonts the views draw with, and dialog 183.
#include <QFontDatabase>

#include <cstdio>

#include "app/app_state.h"
#include "app/controllers/display_controller.h"
#include "app/display_settings_dialog.h"
#include "app/state_lock.h"
#include "display/font_table.h"
#include "frame/settings_store.h"
#include "platform/paths.h"
#include "util/diagnostic_text.h"

namespace vexa {

// Start-up: the private font file from the documents folder, then the installed faces and the
// configured one.
void DisplayController::loadFonts() {
    const std::filesystem::path file = vexaDir() / kPrivateFontFile;
    if (std::filesystem::exists(file)) {
        privateFontId_ = QFontDatabase::addApplicationFont(QString::fromStdString(file.string()));
        if (privateFontId_ >= 0) AddNmeaListLine(c_.state.diagnostics, "Font vexaFont added");
    }
    std::vector<std::string> installed;
    for (const QString& family : QFontDatabase::families()) installed.push_back(family.toStdString());
    if (installed.size() > static_cast<std::size_t>(kMaxFontFaces)) installed.resize(kMaxFontFaces);
    int stored = -1, size = 0;
    RegQueryFont(c_.store, installed, stored, size);
    fonts_.fontSize = validFontSize(size);
    fonts_.configuredFace = stored >= 0 ? installed[static_cast<std::size_t>(stored)] : kDefaultFace;
    fonts_.fontIndex = 0;
    collectFonts(fonts_, installed, c_.state.diagnostics);
    RefreshFont();
}

void DisplayController::removePrivateFont() {
    if (privateFontId_ < 0) return;
    if (QFontDatabase::removeApplicationFont(privateFontId_))
        AddNmeaListLine(c_.state.diagnostics, "Font vexaFont removed");
    privateFontId_ = -1;
}

void DisplayController::RefreshFont() {
    char line[96];
    std::snprintf(line, sizeof line, "Font <%i> %s", fonts_.fontIndex, fonts_.face().c_str());
    AddNmeaListLine(c_.state.diagnostics, line);
    const QString system = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    publishFontSet(buildFontSet(fonts_.face(), fonts_.fontSize, system.toStdString()));
}

void DisplayController::openDisplaySettings() {
    {
        c_.state.frame.dialogActive = true;  // workers do not draw while it is up
        DisplaySettingsDialog::Records records{
            c_.state.frame, c_.state.display, c_.state.settings, fonts_, c_.store, c_.state.stateMutex,
            c_.state.grid.PlateCarreeGrid, [this] { switchMoveDisplay(); },
            [this](int format) {
                std::lock_guard lock(c_.state.stateMutex);
                if (format != 0) return "GEO " + c_.state.texts.geoText;
                const char* prefix = c_.state.grid.MercatorGrid ? "MP "
                                     : c_.state.grid.LocalDatumGrid && !c_.state.grid.Ed50Datum ? "GK " : "UTM ";
                return prefix + std::string(c_.state.gps.gridText.view());
            }};
        DisplaySettingsDialog dialog(std::move(records), c_.window.dialogParent());
        c_.window.runDialog(dialog);
        c_.state.frame.dialogActive = false;
    }
    RefreshFont();
    c_.window.fullscreenOff();
    c_.refreshWindow();
}

}  // namespace vexa
