// What the desktop offers to keep the screen lit and to switch it off.
#pragma once

namespace vexa {

class ScreenPower {
public:
    virtual ~ScreenPower() = default;
    // Keeps the desktop from blanking the screen while idle (hold) or lets it again;
    // false when the desktop offers no such inhibition.
    virtual bool inhibitIdle(bool hold) = 0;
    // Switches the screen off or on; false when the desktop cannot.
    virtual bool setScreenOff(bool off) = 0;
};

// No desktop service: nothing can be held or switched.
class NoScreenPower : public ScreenPower {
public:
    bool inhibitIdle(bool) override { return false; }
    bool setScreenOff(bool) override { return false; }
};

}  // namespace vexa
