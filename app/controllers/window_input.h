// The stylus and the keys on the device screen: taps, tap-and-hold, drags, lifts and double
// taps in each view, the cursor keys, the mouse wheel, the character shortcuts and the four
// hardware keys. The window forwards its events here; the commands they lead to run through
// the controllers.
#pragma once

#include <utility>
#include <vector>

#include "app/controllers/window_context.h"
#include "app/hardware_keys.h"
#include "app/stylus.h"

class QKeyEvent;

namespace vexa {

class DisplayController;
class DisplayPower;
class GpsController;
class MapController;
class ReplayController;
class ViewSink;

class WindowInput : public HardwareKeyActions {
public:
    WindowInput(WindowContext& context, DisplayController& display, MapController& maps, GpsController& gps,
                ReplayController& replay, DisplayPower& power, ViewSink& sink);

    // The stylus at device pixels: a tap (left button pressed), held still (or the right
    // button), moved with the button down, lifted; a double tap re-centres the map view.
    void tap(int x, int y);
    void hold(int x, int y);
    void drag(int x, int y);
    void lift(int x, int y);
    void doubleTap(int x, int y);
    // The window lost the focus: a drag ends as if lifted where it was.
    void endDrag();
    // Cursor keys and Enter (Qt key codes); the mouse wheel in the map views.
    void cursorKey(int key);
    void wheel(int steps);
    void characterKey(char key);
    // Hardware keys 1..4: press and release.
    void hardwareKey(int key, bool pressed);
    // A keyboard key pressed or released in the window; false when it is not one of ours.
    bool keyPress(const QKeyEvent& event);
    bool keyRelease(const QKeyEvent& event);

    const StylusState& stylus() const { return stylus_; }
    HardwareKeys& hardwareKeys() { return keys_; }

    // HardwareKeyActions
    DisplayMode currentView() override { return c_.currentView(); }
    bool calibrating() override { return c_.calibrating(); }
    bool gpsRunning() override { return c_.gpsRunning(); }
    bool receiving() override { return c_.receiving(); }
    void switchWindow() override;
    void stepMoveDisplay(int delta) override;
    void sendCommand(int id) override { c_.ui.sendCommand(id); }
    void clearTrace() override;
    void selectMapAtZoom() override;
    void selectMapAtPosition() override;
    bool swapMapDirectories() override;
    void openLogByKey() override;
    void displayPower(bool off) override;
    void beep() override { c_.ui.beep(); }

private:
    static constexpr int kInfoPages = 8;  // the Move view's info pages, stepped by tap or Enter
    WindowContext& c_;
    DisplayController& display_;
    MapController& maps_;
    GpsController& gps_;
    ReplayController& replay_;
    DisplayPower& power_;
    ViewSink& sink_;
    StylusState stylus_;
    HardwareKeys keys_;

    // Each view's taps (map_stylus.cpp, view_taps.cpp) and Enter in the map view.
    void karteTap(int x, int y);
    void karteHold(int x, int y);
    void moveTap(int x, int y);
    void moveCalibrationTap(int x, int y);
    void gpsTap(int x, int y, bool idleNow);
    void karteEnter();
    // The scale the stylus and keys measure with; the caller holds the state.
    int takeMapScale();
    // A pop-up menu of commands at device pixels (x, y); runs the chosen one.
    void tapMenu(const std::vector<std::pair<int, const char*>>& items, int x, int y);
};

}  // namespace vexa
