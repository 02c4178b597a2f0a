// Fonts and the display settings: the installed faces and the private font file, the set of
// fonts the views draw with, and dialog 183.
#include <QFontDatabase>

#include <cstdio>

#include "app/app_state.h"
#include "app/display_settings_dialog.h"
#include "app/main_window.h"
#include "app/state_lock.h"
#include "display/font_table.h"
#include "util/diagnostic_text.h"
#include "platform/paths.h"

namespace vexa {

// Start-up: the private font file from the documents folder, then the installed faces and the
// configured one.
void MainWindow::loadFonts() {
    const std::filesystem::path file = vexaDir() / kPrivateFontFile;
    if (std::filesystem::exists(file)) {
        privateFontId_ = QFontDatabase::addApplicationFont(QString::fromStdString(file.string()));
        if (privateFontId_ >= 0) AddNmeaListLine(state_.diagnostics, "Font vexaFont added");
    }
    std::vector<std::string> installed;
    for (const QString& family : QFontDatabase::families()) installed.push_back(family.toStdString());
    if (installed.size() > static_cast<std::size_t>(kMaxFontFaces)) installed.resize(kMaxFontFaces);
    int stored = -1, size = 0;
    RegQueryFont(store_, installed, stored, size);
    fonts_.fontSize = validFontSize(size);
    fonts_.configuredFace = stored >= 0 ? installed[static_cast<std::size_t>(stored)] : kDefaultFace;
    fonts_.fontIndex = 0;
    collectFonts(fonts_, installed, state_.diagnostics);
    RefreshFont();
}

void MainWindow::removePrivateFont() {
    if (privateFontId_ < 0) return;
    if (QFontDatabase::removeApplicationFont(privateFontId_))
        AddNmeaListLine(state_.diagnostics, "Font vexaFont removed");
    privateFontId_ = -1;
}

void MainWindow::RefreshFont() {
    char line[96];
    std::snprintf(line, sizeof line, "Font <%i> %s", fonts_.fontIndex, fonts_.face().c_str());
    AddNmeaListLine(state_.diagnostics, line);
    const QString system = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    publishFontSet(buildFontSet(fonts_.face(), fonts_.fontSize, system.toStdString()));
}

void MainWindow::openDisplaySettings() {
    {
        state_.frame.dialogActive = true;  // workers do not draw while it is up
        DisplaySettingsDialog::Records records{
            state_.frame, state_.display, state_.settings, fonts_, store_, state_.stateMutex,
            state_.grid.PlateCarreeGrid, [this] { switchMoveDisplay(); },
            [this](int format) {
                std::lock_guard lock(state_.stateMutex);
                if (format != 0) return "GEO " + state_.texts.geoText;
                const char* prefix = state_.grid.MercatorGrid ? "MP "
                                     : state_.grid.LocalDatumGrid && !state_.grid.Ed50Datum ? "GK " : "UTM ";
                return prefix + std::string(state_.gps.gridText.view());
            }};
        DisplaySettingsDialog dialog(std::move(records), this);
        runDialog(dialog);
        state_.frame.dialogActive = false;
    }
    RefreshFont();
    fullscreenOff();
    RefreshWindow();
}

}  // namespace vexa
