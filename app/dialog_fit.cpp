#include "app/dialog_fit.h"

#include <QDialog>
#include <QFontMetrics>

#include <algorithm>

namespace vexa {

int titleBarWidth(const QDialog& dialog) {
    QFont font = dialog.font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(dialog.windowTitle()) + kTitleBarButtons;
}

void fitDialogWidth(QDialog& dialog) {
    dialog.setMinimumWidth(std::max({dialog.minimumWidth(), dialog.minimumSizeHint().width(), titleBarWidth(dialog)}));
}

void keepRoomWhenHidden(QWidget& widget) {
    QSizePolicy policy = widget.sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget.setSizePolicy(policy);
}

}  // namespace vexa
