// The GPS commands: reception started and stopped, the port (COM1..COM8, gpsd, the port
// dialog), the log settings, the UTM or GK zone and the log opened by a hardware key.
#pragma once

#include <string>

#include "app/controllers/window_context.h"

namespace vexa {

class MapController;

class GpsController : public Controller {
public:
    GpsController(WindowContext& context, MapController& maps) : c_(context), maps_(maps) {}
    bool handles(int id) const override;
    void run(int id) override;

    void selectPort(const std::string& name);
    // The device of "COMn:", and the menu's label for it.
    std::string comDevice(int n);
    std::string comLabel(int n);
    void openLogByKey();

private:
    WindowContext& c_;
    MapController& maps_;  // the stored points follow a zone change

    void selectComPort(int id);
    void openPortDialog();
    void openLogSettings();
    void openZoneDialog();
    // "GPS Stop" keeps the view centre as the last position.
    void storeLastPosition();
};

}  // namespace vexa
