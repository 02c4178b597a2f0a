// "Aufzeichnung", "UTM oder GK Zone", "Port…" and "Help" open their dialogs on the running state.
#include <QCheckBox>
#include <QLabel>
#include <QTabWidget>
#include <QPushButton>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>

#include "app/command_ids.h"
#include "app/frame_view.h"
#include "app/help_dialog.h"
#include "app/menu_bar.h"
#include "app/log_settings_dialog.h"
#include "app/port_dialog.h"
#include "platform/linux/serial_devices.h"
#include "app/zone_dialog.h"
#include "tests/app/app_fixture.h"

namespace vexa::testing {
namespace {

// Types into a spin box's field as the user would.
void type(QSpinBox* spin, const QString& text) { spin->findChild<QLineEdit*>()->setText(text); }

// The rules of the fields belong to the log settings model; here the dialog's wiring.
TEST_F(AppTest, LogSettingsEditsTakeEffectAtOnceDoneSavesThemAndStandardRestoresTheDefaults) {
    open();
    answer<LogSettingsDialog>([&](LogSettingsDialog& d) {
        EXPECT_TRUE(state().frame.dialogActive);
        type(d.field(LogField::RmcInterval), "70");
        EXPECT_EQ(state().settings.LRmcLogTime, 60);
        type(d.field(LogField::GgaInterval), "0");
        EXPECT_EQ(d.infoLine()->text(), "Kein Logging für GGA");
        d.distanceButton(1)->click();
        EXPECT_EQ(d.field(LogField::MinDistance)->value(), 20);
        d.altitudeCorrection()->setChecked(true);
        d.accept();
        return static_cast<int>(QDialog::Accepted);
    });
    run(cmd::LogSettings);
    EXPECT_FALSE(state().frame.dialogActive);
    EXPECT_EQ(storage().readNumber("imindist"), 20u);
    EXPECT_EQ(storage().readNumber("iHKorrektur"), 1u);

    // "Standard" restores the defaults at once, even when the dialog is cancelled afterwards.
    answer<LogSettingsDialog>([&](LogSettingsDialog& d) {
        type(d.field(LogField::TraceLength), "300");
        d.pressStandard();
        EXPECT_EQ(d.field(LogField::TraceLength)->value(), 2000);
        return static_cast<int>(QDialog::Rejected);
    });
    run(cmd::LogSettings);
    EXPECT_EQ(state().settings.imindist, 25);
}

TEST_F(AppTest, PortsChosenByNameOrGpsdPersistAndAComItemTakesOverAgain) {
    MainWindow& w = open();
    run(cmd::PortGpsd);
    EXPECT_EQ(state().frame.portName, "gpsd");
    EXPECT_TRUE(w.menuBar().action(cmd::PortGpsd)->isChecked());
    EXPECT_FALSE(w.menuBar().action(cmd::Com1)->isChecked());

    // The dialog offers gpsd at its configured address; a pseudo-terminal is typed as a path.
    storage().writeNumber("GpsdPort", 3000);
    const std::string pty = (dir_ / "pts-7").string();
    bool ran = false;
    answer<PortDialog>([&](PortDialog& d) {
        ran = true;
        EXPECT_EQ(d.port(), "gpsd");
        const QListWidget* list = d.list();
        EXPECT_EQ(list->item(list->count() - 1)->text(), "gpsd (gpsd://localhost:3000)");
        EXPECT_EQ(list->currentRow(), list->count() - 1);
        d.path()->setText(QString::fromStdString(pty));
        d.accept();
        return static_cast<int>(QDialog::Accepted);
    });
    run(cmd::PortDialog);
    ASSERT_TRUE(ran);
    EXPECT_EQ(state().frame.portName, pty);
    EXPECT_FALSE(w.menuBar().action(cmd::PortGpsd)->isChecked());
    open();
    EXPECT_EQ(state().frame.portName, pty);

    run(cmd::Com1 + 1);
    EXPECT_EQ(state().frame.portName, "COM2:");
    open();
    EXPECT_EQ(state().frame.portName, "COM2:");
}

TEST(PortDialog, AReceiverPluggedInWhileOpenAppearsAndTheChoiceStays) {
    std::vector<SerialReceiver> receivers = {{"/dev/ttyS0", "ttyS0", ""}};
    PortDialog d([&] { return portChoices(receivers, "gpsd://localhost:2947"); }, "gpsd");
    ASSERT_EQ(d.list()->count(), 2);
    EXPECT_EQ(d.list()->currentRow(), 1);
    receivers.insert(receivers.begin(), {"/dev/serial/by-id/usb-u-blox_AG-if00", "ttyACM0", "u-blox 7"});
    d.rescan();
    ASSERT_EQ(d.list()->count(), 3);
    EXPECT_EQ(d.list()->item(0)->text(), "u-blox 7 (ttyACM0)\n/dev/serial/by-id/usb-u-blox_AG-if00");
    EXPECT_EQ(d.list()->currentRow(), 2) << "gpsd stays chosen";
    d.list()->setCurrentRow(0);
    EXPECT_EQ(d.port(), "/dev/serial/by-id/usb-u-blox_AG-if00");
    // A typed path is kept through a rescan.
    d.path()->setText("/dev/pts/4");
    receivers.pop_back();
    d.rescan();
    EXPECT_EQ(d.list()->count(), 2);
    EXPECT_EQ(d.port(), "/dev/pts/4");
}

TEST_F(AppTest, ZoneDialogShowsTheBandAndSwitchesTheGrid) {
    MainWindow& w = open();
    // OK at once: UTM zone 32 as before, the view centre on the last position.
    w.setDialogRunner([](QDialog& dialog) {
        dialog.accept();
        return static_cast<int>(QDialog::Accepted);
    });
    run(cmd::UtmGkZone);
    const TrackPoint utmCentre = state().frame.viewCentre;
    answer<ZoneDialog>([&](ZoneDialog& d) {
        EXPECT_TRUE(d.utmButton()->isChecked());
        EXPECT_EQ(d.number()->value(), 32);
        EXPECT_EQ(d.info()->text(), "6° - 12° östlich");
        d.gkButton()->setChecked(true);
        d.number()->setValue(3);
        EXPECT_EQ(d.info()->text(), "7.5° - 10.5° östlich");
        d.accept();
        return static_cast<int>(QDialog::Accepted);
    });
    run(cmd::UtmGkZone);
    EXPECT_EQ(std::pair(state().grid.LocalDatumGrid, state().grid.GkStrip), std::pair(true, 3));
    // The view centre moves onto the new grid (the datum shift itself is the grid's own test).
    EXPECT_EQ(state().last.datumTag, kDatumPotsdam);
    EXPECT_GT(std::abs(state().frame.viewCentre.gridX - utmCentre.gridX), 10.0);
}

TEST_F(AppTest, HelpNamesTheKeysAsConfigured) {
    storage().writeString("sHardwareKey1", "F9");
    MainWindow& w = open();
    std::vector<QStringList> pages;  // each: the tab's title, then its texts
    w.setDialogRunner([&](QDialog& dialog) {
        const QTabWidget& tabs = *dynamic_cast<HelpDialog&>(dialog).pages();
        for (int i = 0; i < tabs.count(); ++i) {
            QStringList texts{tabs.tabText(i)};
            for (QLabel* label : tabs.widget(i)->findChildren<QLabel*>())
                if (!label->text().isEmpty()) texts << label->text();
            pages.push_back(texts);
        }
        return static_cast<int>(QDialog::Accepted);
    });
    run(cmd::Help);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ((QStringList{pages[0][0], pages[1][0]}), (QStringList{"Knöpfe", "Stift"}));
    // The keys page names the keys as configured.
    EXPECT_EQ((QStringList{pages[2][0], pages[2][1], pages[2][3], pages[2][5], pages[2][7]}),
              (QStringList{"Tasten", "F9", "F2", "F3", "F4"}));
    EXPECT_TRUE(pages[2].contains("Trace -> Route"));
}

TEST_F(AppTest, DisplaySettingsActAtOnceStoreFontAndFlagsAndThePrivateFontComesAndGoes) {
    std::filesystem::create_directories(home_ / "vexa");
    std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
                               home_ / "vexa" / "vexaFont.ttf");
    MainWindow& w = open();
    EXPECT_TRUE(contains(state().diagnostics.text(), "Font vexaFont added"));
    EXPECT_EQ(w.fonts().face(), "DejaVu Sans");  // Tahoma is not installed here
    bool ran = false;
    w.setDialogRunner([&](QDialog& d) {
        ran = true;
        shot(d, "display-settings.png");
        EXPECT_EQ(d.windowTitle(), "Display Einstellungen");
        d.findChild<QRadioButton*>("mode4")->click();  // "Querformat" "3D", before OK
        EXPECT_EQ(state().frame.moveDisplayMode, 4);
        EXPECT_EQ(w.menuBar().strip(), 180);
        d.findChild<QRadioButton*>("info5")->click();
        EXPECT_EQ(state().display.infoPage, 5);
        auto* koord = d.findChild<QPushButton*>("koord");
        for (int i = 0; i < 3; ++i) koord->click();
        EXPECT_EQ(state().display.coordFormat, 0);
        koord->click();
        EXPECT_TRUE(d.findChild<QLineEdit*>("coord")->text().startsWith("GEO "));
        d.findChild<QCheckBox*>("powerSave")->setChecked(true);
        d.findChild<QCheckBox*>("colours")->setChecked(true);
        d.findChild<QPushButton*>("font")->click();
        EXPECT_TRUE(d.findChild<QLineEdit*>("sample")->text().startsWith("12.34 "));
        d.findChild<QLineEdit*>("size")->setText("0");
        d.accept();
        return static_cast<int>(QDialog::Accepted);
    });
    const std::string face = [&] {
        FontTable copy = w.fonts();
        nextFont(copy);
        return copy.face();
    }();
    run(cmd::DisplaySettings);
    ASSERT_TRUE(ran);
    EXPECT_FALSE(state().frame.dialogActive);
    EXPECT_EQ(w.fonts().fontSize, 12);
    EXPECT_TRUE(contains(state().diagnostics.text(), "Font <"));

    // The choices persist into the next start; the private font goes at exit.
    window().shutDown();
    EXPECT_TRUE(contains(state().diagnostics.text(), "Font vexaFont removed"));
    MainWindow& again = open();
    EXPECT_EQ(again.fonts().face(), face);
    EXPECT_EQ(again.fonts().fontSize, 12);
    EXPECT_EQ(state().settings.iPowerSave, 1);
    EXPECT_EQ(state().settings.iKartenFarben, 1);
}

// Pure white: the boxes behind the Karte view's name and position lines, nothing else without
// maps; the boxes follow the text's size.
int whitePixels(const QImage& image) {
    int white = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) white += image.pixel(x, y) == qRgb(255, 255, 255);
    return white;
}

TEST_F(AppTest, TheChosenSizeAndFaceReachTheDrawnViewsAndAnInvalidStoredSizeIs12) {
    storage().writeNumber("Fontsize", 0xfff6u);  // −10 as the 16-bit size
    MainWindow& w = open();
    EXPECT_EQ(w.fonts().fontSize, 12);
    run(cmd::KarteView);
    settle();
    const QImage before = w.frameView().image();
    // Size 20 and the serif face of the same family, chosen in dialog 183.
    const auto choose = [&](const char* size, const std::string& face) {
        w.setDialogRunner([&](QDialog& d) {
            d.findChild<QLineEdit*>("size")->setText(size);
            for (int i = 0; i < kMaxFontFaces && w.fonts().face() != face; ++i)
                d.findChild<QPushButton*>("font")->click();
            d.accept();
            return static_cast<int>(QDialog::Accepted);
        });
        run(cmd::DisplaySettings);
        settle();
        return w.frameView().image();
    };
    const std::string sans = w.fonts().face();
    const QImage larger = choose("20", sans);
    EXPECT_GT(whitePixels(larger), whitePixels(before) * 3 / 2);
    EXPECT_EQ((*currentFontSet())[FontRole::UserTurned].pixelHeight, 20);
    EXPECT_EQ((*currentFontSet())[FontRole::Huge].pixelHeight, 30);  // the fixed sizes stay

    const QImage serif = choose("20", "DejaVu Serif");
    ASSERT_EQ(w.fonts().face(), "DejaVu Serif");
    EXPECT_NE(serif, larger);
    EXPECT_EQ((*currentFontSet())[FontRole::Large].face, "DejaVu Serif");
}

}  // namespace
}  // namespace vexa::testing
