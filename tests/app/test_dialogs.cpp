// "Aufzeichnung", "UTM oder GK Zone", "Port…", "Display Einstellungen" and "Help" open their
// dialogs on the running state.
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

// The rules of the fields belong to the log settings model; here the dialog's wiring. Edits
// take effect at once, Done saves them, "Standard" restores the defaults even when cancelled.
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
    EXPECT_EQ(std::pair(storage().readNumber("imindist"), storage().readNumber("iHKorrektur")), std::pair(std::optional(20u), std::optional(1u)));
    answer<LogSettingsDialog>([&](LogSettingsDialog& d) {
        type(d.field(LogField::TraceLength), "300");
        d.pressStandard();
        EXPECT_EQ(d.field(LogField::TraceLength)->value(), 2000);
        return static_cast<int>(QDialog::Rejected);
    });
    run(cmd::LogSettings);
    EXPECT_EQ(state().settings.imindist, 25);
}

// Nothing stored: COM1, written back. gpsd, a path typed in the dialog and a COM item (a radio
// check showing its configured device) each take over and persist into the next start.
TEST_F(AppTest, PortsChosenByNameOrGpsdOrComItemPersist) {
    storage().writeString("ComDevice3", "/dev/ttyTEST3");
    MainWindow& w = open();
    EXPECT_EQ(std::pair(state().frame.portName, storage().readNumber("iCom")), std::pair(std::string("COM1:"), std::optional(1u)));
    run(cmd::PortGpsd);
    EXPECT_EQ(state().frame.portName, "gpsd");
    EXPECT_EQ(std::pair(w.menuBar().action(cmd::PortGpsd)->isChecked(), w.menuBar().action(cmd::Com1)->isChecked()), std::pair(true, false));
    storage().writeNumber("GpsdPort", 3000);
    const std::string pty = (dir_ / "pts-7").string();
    answer<PortDialog>([&](PortDialog& d) {
        const QListWidget* list = d.list();
        EXPECT_EQ(std::pair(d.port(), list->currentRow()), std::pair(std::string("gpsd"), list->count() - 1));
        EXPECT_EQ(list->item(list->count() - 1)->text(), "gpsd (gpsd://localhost:3000)");
        d.path()->setText(QString::fromStdString(pty));
        d.accept();
        return static_cast<int>(QDialog::Accepted);
    });
    for (const auto& [id, port] : {std::pair(cmd::PortDialog, pty), std::pair(cmd::Com1 + 2, std::string("COM3:"))}) {
        run(id);
        EXPECT_EQ(state().frame.portName, port);
        EXPECT_FALSE(window().menuBar().action(cmd::PortGpsd)->isChecked());
        open();
        EXPECT_EQ(state().frame.portName, port);
    }
    for (int id = cmd::Com1; id <= cmd::Com8; ++id) EXPECT_EQ(window().menuBar().action(id)->isChecked(), id == cmd::Com1 + 2) << id;
    EXPECT_EQ(window().menuBar().action(cmd::Com1 + 2)->text(), "COM3\t/dev/ttyTEST3");
}

TEST(PortDialog, AReceiverPluggedInWhileOpenAppearsAndTheChoiceStays) {
    std::vector<SerialReceiver> receivers = {{"/dev/ttyS0", "ttyS0", ""}};
    PortDialog d([&] { return portChoices(receivers, "gpsd://localhost:2947"); }, "gpsd");
    receivers.insert(receivers.begin(), {"/dev/serial/by-id/usb-u-blox_AG-if00", "ttyACM0", "u-blox 7"});
    d.rescan();
    ASSERT_EQ(d.list()->count(), 3);
    EXPECT_EQ(d.list()->item(0)->text(), "u-blox 7 (ttyACM0)\n/dev/serial/by-id/usb-u-blox_AG-if00");
    EXPECT_EQ(d.list()->currentRow(), 2) << "gpsd stays chosen";
    d.list()->setCurrentRow(0);
    EXPECT_EQ(d.port(), "/dev/serial/by-id/usb-u-blox_AG-if00");
    d.path()->setText("/dev/pts/4");  // a typed path is kept through a rescan
    receivers.pop_back();
    d.rescan();
    EXPECT_EQ(std::pair(d.list()->count(), d.port()), std::pair(2, std::string("/dev/pts/4")));
}

TEST_F(AppTest, ZoneDialogShowsTheBandAndSwitchesTheGrid) {
    open();
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
    QStringList texts;  // each tab's title, then its labels
    w.setDialogRunner([&](QDialog& dialog) {
        const QTabWidget& tabs = *dynamic_cast<HelpDialog&>(dialog).pages();
        for (int i = 0; i < tabs.count(); ++i) {
            texts << tabs.tabText(i);
            for (QLabel* label : tabs.widget(i)->findChildren<QLabel*>())
                if (!label->text().isEmpty()) texts << label->text();
        }
        return static_cast<int>(QDialog::Accepted);
    });
    run(cmd::Help);
    const QStringList keys = texts.mid(texts.indexOf("Tasten"));
    EXPECT_EQ((QStringList{texts[0], keys[1], keys[3], keys[5], keys[7]}), (QStringList{"Knöpfe", "F9", "F2", "F3", "F4"}));
    EXPECT_TRUE(texts.contains("Stift") && keys.contains("Trace -> Route"));
}

// The dialog acts at once and stores font and flags; the chosen size and face reach the drawn
// views; the private font comes with the start and goes at exit; a bad stored size is 12.
TEST_F(AppTest, DisplaySettingsActAtOnceAndTheChosenFontReachesTheViewsAndTheNextStart) {
    std::filesystem::create_directories(home_ / "vexa");
    std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", home_ / "vexa" / "vexaFont.ttf");
    storage().writeNumber("Fontsize", 0xfff6u);  // −10 as the 16-bit size
    MainWindow& w = open();
    EXPECT_TRUE(contains(state().diagnostics.text(), "Font vexaFont added"));
    EXPECT_EQ(std::pair(w.display().fonts().face(), w.display().fonts().fontSize), std::pair(std::string("DejaVu Sans"), 12));
    run(cmd::KarteView);
    const QImage before = w.frameView().image();
    w.setDialogRunner([&](QDialog& d) {
        shot(d, "display-settings.png");
        EXPECT_EQ(d.windowTitle(), "Display Einstellungen");
        d.findChild<QRadioButton*>("mode4")->click();  // "Querformat" "3D", before OK
        EXPECT_EQ(std::pair(state().frame.moveDisplayMode, w.menuBar().strip()), std::pair(4, 180));
        d.findChild<QRadioButton*>("info5")->click();
        EXPECT_EQ(state().display.infoPage, 5);
        for (int i = 0; i < 4; ++i) d.findChild<QPushButton*>("koord")->click();
        EXPECT_TRUE(d.findChild<QLineEdit*>("coord")->text().startsWith("GEO "));
        d.findChild<QCheckBox*>("powerSave")->setChecked(true);
        d.findChild<QCheckBox*>("colours")->setChecked(true);
        for (int i = 0; i < kMaxFontFaces && w.display().fonts().face() != "DejaVu Serif"; ++i) d.findChild<QPushButton*>("font")->click();
        EXPECT_TRUE(d.findChild<QLineEdit*>("sample")->text().startsWith("12.34 "));
        d.findChild<QLineEdit*>("size")->setText("20");
        d.accept();
        return static_cast<int>(QDialog::Accepted);
    });
    run(cmd::DisplaySettings);
    settle();
    EXPECT_FALSE(state().frame.dialogActive);
    EXPECT_NE(w.frameView().image(), before);
    const auto& set = *currentFontSet();  // the fixed sizes stay
    EXPECT_EQ(std::tuple(set[FontRole::UserTurned].pixelHeight, set[FontRole::Huge].pixelHeight, set[FontRole::Large].face),
              std::tuple(20, 30, "DejaVu Serif"));
    EXPECT_TRUE(contains(state().diagnostics.text(), "Font <"));

    window().shutDown();
    EXPECT_TRUE(contains(state().diagnostics.text(), "Font vexaFont removed"));
    MainWindow& again = open();
    EXPECT_EQ(std::pair(again.display().fonts().face(), again.display().fonts().fontSize), std::pair(std::string("DejaVu Serif"), 20));
    EXPECT_EQ(std::pair(state().settings.iPowerSave, state().settings.iKartenFarben), std::pair(1, 1));
}

}  // namespace
}  // namespace vexa::testing
