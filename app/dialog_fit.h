// Dialog sizes that do not cut or jump: wide enough for the title in the title bar, and room
// kept for lines that are shown and hidden while the dialog is open.
#pragma once

class QDialog;
class QWidget;

namespace vexa {

// Room a title bar takes beside its text: the window icon and the close, minimise and
// maximise buttons.
inline constexpr int kTitleBarButtons = 110;

// The width the title bar needs for the dialog's title, in a bold form of the dialog's font.
int titleBarWidth(const QDialog& dialog);
// At least as wide as its title and its contents need.
void fitDialogWidth(QDialog& dialog);
// The widget keeps its room in the layout while hidden, so showing it does not resize the dialog.
void keepRoomWhenHidden(QWidget& widget);

}  // namespace vexa
