#include "app/help_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include <iterator>
#include <vector>

#include "app/button_icons.h"
#include "app/command_table.h"
#include "frame/move_display.h"

namespace vexa {

namespace {

struct HelpLine {
    const char* what;
    const char* does;
};

const HelpLine kStylusLines[] = {
    {"Tippen und halten in der Karte",
     "(oder rechte Maustaste) setzt einen Routenpunkt; auf einem Routenpunkt: Menü Route bis/von löschen "
     "und Linienart ab hier; beim Kalibrieren: Menü Kalibrierung"},
    {"Ziehen in der Karte", "verschiebt die Karte, einen Routenpunkt oder einen POI"},
    {"Doppeltippen in der Karte", "zentriert die Karte an dieser Stelle"},
    {"Move, unteres Drittel rechts", "Vollbild ein und aus (Esc verlässt das Vollbild)"},
    {"Move, unteres Drittel links", "nächste Move-Anzeige"},
    {"Move, mittleres Drittel", "GPS-Ansicht"},
    {"Move, oberes Drittel", "links: nächste Infoseite, rechts: vorige Move-Anzeige"},
    {"Mausrad", "Zoom"},
};

const HelpLine kLetterLines[] = {
    {"+  -", "Zoom"},
    {"0  1 … 9", "Trace schrittweise: 10 zurück, um die Ziffer vor"},
    {"Pfeiltasten", "Karte verschieben; in Move Trace oder Route schrittweise"},
    {"a", "Bildschirm-Aus erneuern"},
    {"b", "Bildschirm aus"},
    {"c", "Trace löschen"},
    {"d", "in NMEA: alle Einstellungen löschen"},
    {"e", "Beleuchtung wieder freigeben"},
    {"f", "nächste Schrift"},
    {"g", "Karten neu einlesen"},
    {"h", "Höhenkorrektur ein/aus"},
    {"i  j", "Karte gröber / feiner"},
    {"k", "Höhendifferenz der Route"},
    {"l  r  o  u", "Karte nach Westen / Osten / Norden / Süden, mit Bildschirmkopie"},
    {"m", "Ortsverzeichnis"},
    {"n", "Kartenecken der Reihe nach (Karte)"},
    {"p", "POIs auflisten"},
    {"q", "Debug-Modus (NMEA)"},
    {"s", "Bildschirmkopie"},
    {"v", "Schrift und Version"},
    {"w", "POI hinzufügen"},
    {"y", "Trace -> Route"},
    {"z", "POI-DB Auswahl"},
    {"Esc", "Vollbild verlassen"},
    {"Strg+Q", "Beenden"},
};

QLabel* wrapped(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

QWidget* linesPage(const std::vector<std::pair<QString, QString>>& lines) {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    int row = 0;
    for (const auto& [what, does] : lines) {
        QLabel* key = wrapped(what);
        key->setStyleSheet("font-weight: bold");
        grid->addWidget(key, row, 0, Qt::AlignTop);
        grid->addWidget(wrapped(does), row++, 1);
    }
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 2);
    auto* scroll = new QScrollArea;
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);
    return scroll;
}

std::vector<std::pair<QString, QString>> linesOf(const auto& table) {
    std::vector<std::pair<QString, QString>> lines;
    for (const HelpLine& line : table) lines.emplace_back(QString::fromUtf8(line.what), QString::fromUtf8(line.does));
    return lines;
}

}  // namespace

HelpDialog::HelpDialog(const std::array<QString, 4>& hardwareKeys, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Help");
    auto* layout = new QVBoxLayout(this);
    pages_ = new QTabWidget(this);

    auto* buttons = new QWidget;
    auto* grid = new QGridLayout(buttons);
    int row = 0;
    for (const ButtonItem& button : menuBarButtons()) {
        if (button.id == 0) continue;
        auto* image = new QLabel;
        image->setPixmap(QPixmap::fromImage(buttonImage(button.id, kStripNorthUp)));
        grid->addWidget(image, row, 0);
        grid->addWidget(new QLabel(QString::fromUtf8(button.tip.data(), static_cast<qsizetype>(button.tip.size()))),
                        row++, 1);
    }
    pages_->addTab(buttons, "Knöpfe");
    pages_->addTab(linesPage(linesOf(kStylusLines)), "Stift");

    const char* const hardware[] = {
        "Ansicht wechseln; lang: Bildschirm aus",
        "Move: nächste Move-Anzeige, lang: vorige; sonst Trace löschen",
        "Move, Karte: Karte der Zoomstufe, lang: anderes Kartenverzeichnis; GPS, NMEA: GPS Start, lang: mit "
        "NMEA-Log",
        "GPS, NMEA: GPS Stop; Move, Karte: Karte an der Position",
    };
    std::vector<std::pair<QString, QString>> keys;
    for (std::size_t i = 0; i < std::size(hardware); ++i)
        keys.emplace_back(hardwareKeys[i], QString::fromUtf8(hardware[i]));
    keys.emplace_back("lang", "lange Tastendrücke nur mit --old-keys");
    const auto letters = linesOf(kLetterLines);
    keys.insert(keys.end(), letters.begin(), letters.end());
    pages_->addTab(linesPage(keys), "Tasten");

    layout->addWidget(pages_);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(box);
}

}  // namespace vexa
