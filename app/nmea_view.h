// The NMEA list: a read-only text view of the diagnostic text, newest line on top.
#pragma once

#include <QPlainTextEdit>

namespace vexa {

class NmeaView : public QPlainTextEdit {
public:
    explicit NmeaView(QWidget* parent = nullptr);
    // Shows the whole text, scrolled to its top where the newest line is.
    void showText(const std::string& text);
};

}  // namespace vexa
