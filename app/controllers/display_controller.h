// The display commands: the four views and the Move display modes, the fonts, the display
// settings, the help, the screen copies and the paint the screen asks for itself.
#pragma once

#include "app/controllers/window_context.h"
#include "display/font_table.h"

namespace vexa {

class DisplayController : public Controller {
public:
    explicit DisplayController(WindowContext& context) : c_(context) {}
    bool handles(int id) const override;
    void run(int id) override;

    void switchMoveDisplay();
    void stepMoveDisplay(int delta);
    // A paint the screen did not ask for itself.
    void repaintScreen();
    // Saves the map view as "ScreenCopy..." in the vexa folder; `tell` names the file in a box.
    void saveScreenCopy(bool tell);

    FontTable& fonts() { return fonts_; }
    // Start-up: the private font file, then the installed faces and the configured one.
    void loadFonts();
    void removePrivateFont();
    // Builds the views' fonts from the chosen face and size ("Font <%i> %s").
    void RefreshFont();

private:
    WindowContext& c_;
    FontTable fonts_;
    int privateFontId_ = -1;

    void showNmeaView();
    void showGpsView();
    void showMoveView(bool step);
    void showKarteView();
    void openDisplaySettings();
    void openHelp();
};

}  // namespace vexa
