#include "app/nmea_view.h"

#include <QFontDatabase>
#include <QScrollBar>

namespace vexa {

NmeaView::NmeaView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void NmeaView::showText(const std::string& text) {
    // The text's lines end in "\r\n"; the view wants plain line feeds.
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.remove('\r');
    if (shown == toPlainText()) return;
    setPlainText(shown);
    verticalScrollBar()->setValue(0);
}

}  // namespace vexa
