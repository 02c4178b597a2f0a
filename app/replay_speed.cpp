// The NMEA replay's speed: a choice in the menu and on a held replay button, kept in the
// settings for the next start.
#include <QMenu>

#include "app/app_state.h"
#include "app/frame_view.h"
#include "app/main_window.h"
#include "app/state_lock.h"
#include "display/replay_buttons.h"
#include "frame/settings_store.h"

namespace vexa {

namespace {

QString speedText(int speed) {
    return speed == kReplaySpeedMax ? QStringLiteral("so schnell wie möglich") : QStringLiteral("%1-fach").arg(speed);
}

}  // namespace

void MainWindow::chooseReplaySpeed(QPoint at) {
    QMenu menu(this);
    menu.setTitle(QStringLiteral("Abspieltempo"));
    const int current = session_.pace.speed();
    for (std::size_t i = 0; i < kReplaySpeeds.size(); ++i) {
        QAction* action = menu.addAction(speedText(kReplaySpeeds[i]));
        action->setData(static_cast<int>(i) + 1);
        action->setCheckable(true);
        action->setChecked(kReplaySpeeds[i] == current);
    }
    const int chosen = popupMenu(menu, at);
    if (chosen < 1 || chosen > static_cast<int>(kReplaySpeeds.size())) return;
    const int speed = kReplaySpeeds[static_cast<std::size_t>(chosen - 1)];
    session_.pace.setSpeed(speed);
    RegCreateReplaySpeed(store_, static_cast<std::uint32_t>(speed));
}

bool MainWindow::replayButtonHold(int x, int y) {
    if (currentView() != DisplayMode::Move) return false;
    {
        StateLock lock(state_.stateMutex, uiHoldsState_);
        const ReplayButtonsShown shown = replayButtonsShown(state_.trace, state_.route, state_.replay);
        if (!replayButtonAt(replayButtonLayout(state_.frame.screen.width, state_.frame.screen.height), shown, {x, y}))
            return false;
    }
    chooseReplaySpeed(frameView_->mapToGlobal(QPoint(x, y) * frameView_->scale()));
    return true;
}

}  // namespace vexa
