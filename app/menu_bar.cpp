#include "app/menu_bar.h"

#include <QMenu>
#include <QToolButton>

#include "app/button_icons.h"
#include "app/command_ids.h"
#include "app/command_table.h"
#include "frame/move_display.h"

namespace vexa {

namespace {

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

MenuBar::MenuBar(std::function<void(int)> onCommand, std::function<std::string(int)> deviceOf,
                 QWidget* parent)
    : QToolBar(parent), onCommand_(std::move(onCommand)), deviceOf_(std::move(deviceOf)) {
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(kButtonImageSize, kButtonImageSize));
    setContextMenuPolicy(Qt::PreventContextMenu);
    QFont small = font();
    small.setPointSize(7);
    setFont(small);

    tools_ = new QMenu(this);
    poi_ = new QMenu(this);
    for (const MenuItem& item : menuItems()) {
        QMenu* menu = item.menu == MenuId::Tools ? tools_ : poi_;
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(text(item.text));
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { onCommand_(id); });
        items_[id] = action;
    }
    refreshComDevices();
    // A receiver plugged in while the program runs shows the next time the menu opens.
    connect(tools_, &QMenu::aboutToShow, this, &MenuBar::refreshComDevices);

    for (const ButtonItem& button : menuBarButtons()) {
        if (button.id == 0) {
            addSeparator();
            continue;
        }
        QAction* action = new QAction(text(button.text), this);
        action->setToolTip(text(button.tip));
        const int id = button.id;
        if (id == cmd::Tools || id == cmd::Poi) {
            action->setMenu(id == cmd::Tools ? tools_ : poi_);
            addAction(action);
            if (auto* b = qobject_cast<QToolButton*>(widgetForAction(action)))
                b->setPopupMode(QToolButton::InstantPopup);
        } else {
            connect(action, &QAction::triggered, this, [this, id] { onCommand_(id); });
            addAction(action);
        }
        buttons_[id] = action;
    }
    setStrip(kStripNorthUp);
}

void MenuBar::setStrip(int strip) {
    strip_ = strip;
    for (auto& [id, action] : buttons_)
        action->setIcon(QIcon(QPixmap::fromImage(buttonImage(id, strip))));
}

void MenuBar::refreshStates(const FrameState& frame) {
    for (auto& [id, action] : items_) {
        const MenuItem* item = findMenuItem(id);
        if (!item) continue;
        const ItemState state = itemState(*item, frame);
        action->setCheckable(state.checkable);
        action->setChecked(state.checked);
        action->setEnabled(state.enabled);
    }
}

void MenuBar::refreshComDevices() {
    for (int id = cmd::Com1; id <= cmd::Com8; ++id) {
        const int n = id - cmd::Com1 + 1;
        const std::string device = deviceOf_ ? deviceOf_(n) : std::string();
        // The device shows in the item's second column.
        items_[id]->setText(QString("COM%1\t%2").arg(n).arg(
            device.empty() ? QString::fromUtf8("kein Gerät") : QString::fromStdString(device)));
    }
}

QAction* MenuBar::action(int id) const {
    if (auto it = items_.find(id); it != items_.end()) return it->second;
    if (auto it = buttons_.find(id); it != buttons_.end()) return it->second;
    return nullptr;
}

}  // namespace vexa
