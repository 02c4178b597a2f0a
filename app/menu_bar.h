// The menu bar at the bottom of the window: the 11 buttons (the "Tools" and "Poi" drop-downs,
// the four views, the three zoom buttons, two gaps) with images from the current strip, and
// the drop-down menus with their check marks and gray states.
#pragma once

#include <QToolBar>

#include <functional>
#include <map>
#include <string>

class QAction;
class QMenu;

namespace vexa {

struct FrameState;

class MenuBar : public QToolBar {
public:
    // `deviceOf(n)` names the device that COMn maps to, empty for none.
    MenuBar(std::function<void(int)> onCommand, std::function<std::string(int)> deviceOf,
            QWidget* parent = nullptr);

    // Rebuilds the button images from an image strip (the Move display mode shows in them).
    void setStrip(int strip);
    int strip() const { return strip_; }
    // Check marks and gray states for the frame state (read under the state mutex).
    void refreshStates(const FrameState& frame);
    // Re-reads which device each COM item maps to.
    void refreshComDevices();

    QAction* action(int id) const;   // a menu item or a button
    QMenu* toolsMenu() const { return tools_; }
    QMenu* poiMenu() const { return poi_; }

private:
    std::function<void(int)> onCommand_;
    std::function<std::string(int)> deviceOf_;
    std::map<int, QAction*> items_;
    std::map<int, QAction*> buttons_;
    QMenu* tools_ = nullptr;
    QMenu* poi_ = nullptr;
    int strip_ = 0;
};

}  // namespace vexa
