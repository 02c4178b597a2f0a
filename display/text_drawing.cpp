#include "display/text_drawing.h"

#include <algorithm>

#include <QFontMetrics>
#include <QPainter>

namespace vexa {

namespace {

QString qtext(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QRect textBox(QPainter& painter, int x, int y, const QString& text) {
    const QFontMetrics metrics(painter.font());
    return QRect(x, y, metrics.horizontalAdvance(text) + 1, metrics.height());
}

thread_local DrawnTexts* activeRecorder = nullptr;

}  // namespace

DrawnTexts::DrawnTexts() : outer_(activeRecorder) {
    if (!activeRecorder) activeRecorder = this;
}

DrawnTexts::~DrawnTexts() {
    if (activeRecorder == this) activeRecorder = outer_;
}

bool DrawnTexts::has(std::string_view text) const { return find(text) != nullptr; }

const DrawnTexts::Entry* DrawnTexts::find(std::string_view text) const {
    for (const Entry& e : entries_)
        if (e.text == text) return &e;
    return nullptr;
}

void DrawnTexts::note(int x, int y, std::string_view text) {
    if (activeRecorder) activeRecorder->entries_.push_back({x, y, std::string(text)});
}

QFont viewFont(const FontDescription& desc) {
    QFont font(QString::fromStdString(desc.face));
    font.setPixelSize(desc.pixelHeight);
    font.setWeight(static_cast<QFont::Weight>(desc.weight));
    return font;
}

QFont viewFont(FontRole role) { return viewFont((*currentFontSet())[role]); }

int fontEscapement(FontRole role) { return (*currentFontSet())[role].escapement; }

QFont lineFont() {
    QFont font = mapFont();
    font.setPixelSize(std::max(1, font.pixelSize() - 1));
    font.setWeight(QFont::Normal);
    font.setStretch(QFont::SemiCondensed);
    return font;
}

QRect textRect(const QFont& font, int x, int y, std::string_view text) {
    const QFontMetrics metrics(font);
    return QRect(x, y, metrics.horizontalAdvance(qtext(text)) + 1, metrics.height());
}

QRect textInk(const QFont& font, int x, int y, std::string_view text) {
    const QFontMetrics metrics(font);
    return metrics.tightBoundingRect(qtext(text)).translated(x, y + metrics.ascent());
}

std::string fittedText(const QFont& font, std::string_view text, int width) {
    const QFontMetrics metrics(font);
    const QString s = qtext(text);
    if (metrics.horizontalAdvance(s) + 1 <= width) return std::string(text);
    return metrics.elidedText(s, Qt::ElideRight, width - 1).toStdString();
}

void drawTextAt(QPainter& painter, int x, int y, std::string_view text) {
    DrawnTexts::note(x, y, text);
    const QString s = qtext(text);
    // Aligned left and top and not clipped, the text is placed by the box's corner alone; the
    // box's size would cost a second layout of the text.
    painter.drawText(QRect(x, y, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, s);
}

void drawTextOn(QPainter& painter, int x, int y, std::string_view text, const QColor& background) {
    DrawnTexts::note(x, y, text);
    const QString s = qtext(text);
    const QRect box = textBox(painter, x, y, s);
    painter.fillRect(box, background);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, s);
}

void drawTextCentred(QPainter& painter, int x0, int x1, int y, std::string_view text) {
    const QString s = qtext(text);
    const QFontMetrics metrics(painter.font());
    DrawnTexts::note(x0 + (x1 - x0 - metrics.horizontalAdvance(s)) / 2, y, text);
    painter.drawText(QRect(x0, y, x1 - x0, metrics.height()), Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, s);
}

}  // namespace vexa
