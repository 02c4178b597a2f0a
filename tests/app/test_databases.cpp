// The route and POI database commands through their dialogs on the real window, with the
// volumes in the temporary documents folder.
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <algorithm>

#include "app/command_ids.h"
#include "app/place_dialog.h"
#include "app/poi_dialogs.h"
#include "app/route_dialogs.h"
#include "app/text_table.h"
#include "gps/gps_session.h"
#include "tests/app/app_fixture.h"
#include "util/text.h"

namespace vexa::testing {
namespace {

QString cell(TextTable& table, int row, int column) {
    return table.model().data(table.model().index(row, column), Qt::DisplayRole).toString();
}

QString headers(TextTable& t) {
    QStringList out;
    for (int c = 0; c < t.model().columnCount(); ++c) out << t.model().headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return out.join('|');
}

// The scroll bars move the new POI by 10 m and 1 m; the list ("p") centres the map on it.
TEST_F(AppTest, AddPoiMovesWithTheScrollBarsAndTheListShowsIt) {
    open();
    run(cmd::KarteView);
    state().frame.viewCentre = TrackPoint{550000.0, 5800000.0};
    answer<AddPoiDialog>([](AddPoiDialog& d) {
        EXPECT_EQ(std::pair(d.name()->text(), d.gridText()->text()), std::pair(QString("poi0000"), QString("UTM 550000 5800000")));
        d.eastWest()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        d.northSouth()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        EXPECT_EQ(d.gridText()->text(), "UTM 550010 5800001");
        d.name()->setText("Turm");
        d.accept();
        return d.result();
    });
    run(cmd::AddPoi);
    ASSERT_EQ(state().pois.count, 1);
    EXPECT_EQ(state().pois.records[0].name, "Turm");
    state().frame.viewCentre = TrackPoint{400000.0, 5000000.0};
    answer<PoiListDialog>([](PoiListDialog& d) {
        EXPECT_EQ(std::pair(d.windowTitle(), cell(d.list(), 0, 0)), std::pair(QString("Poi Anzeige"), QString("Turm")));
        d.list().clickRow(0);
        d.showButton()->click();
        return d.result();
    });
    window().input().characterKey('p');
    settle();
    EXPECT_NEAR(state().frame.viewCentre.gridX, 550010.0, 1.0);
}

// The last position of "GPS Stop" (also while a log is replayed) is the next start's view
// centre, stored once as the POI zLastPos.
TEST_F(AppTest, LastPositionOfGpsStopIsTheNextStartsViewCentre) {
    open();
    state().frame.viewCentre = TrackPoint{551234.0, 5801234.0};
    run(cmd::GpsStop);
    state().frame.viewCentre = TrackPoint{552345.0, 5802345.0};
    state().frame.replaying = true;
    run(cmd::GpsStop);
    state().frame.replaying = false;
    open();
    EXPECT_NEAR(state().frame.viewCentre.gridX, 552345.0, 1.0);
    EXPECT_NEAR(state().frame.viewCentre.gridY, 5802345.0, 1.0);
    const auto& pois = state().pois.records;
    EXPECT_EQ(std::count_if(pois.begin(), pois.begin() + state().pois.count, [](const PoiRecord& p) { return p.name == "zLastPos"; }), 1);
}

TEST_F(AppTest, BadVolumeFileIsRefusedWithItsReason) {
    MainWindow& w = open();
    w.setDialogRunner([](QDialog&) { return static_cast<int>(QDialog::Rejected); });
    writeFile(dir_ / "notiz.cdb", "Einkaufsliste\n");
    for (int id : {cmd::PoiDbChoice, cmd::OtherRouteDb}) {
        const std::size_t before = messages().size();
        files_.push_back(dir_ / "notiz.cdb");
        run(id);
        ASSERT_EQ(messages().size(), before + 1) << id;
        EXPECT_TRUE(contains(messages().back(), "notiz.cdb ist eine Textdatei und keine VEXA-Datenbank")) << id;
    }
    EXPECT_EQ(readFile(dir_ / "notiz.cdb"), "Einkaufsliste\n");
}

TEST_F(AppTest, PlaceDirectoryFindsTownsAsYouTypeAndCentresTheMap) {
    open();
    answer<PlaceDialog>([](PlaceDialog& d) {
        EXPECT_EQ(d.combo()->currentText(), "Hannover");
        d.combo()->lineEdit()->clear();
        QTest::keyClicks(d.combo()->lineEdit(), "hambu");
        EXPECT_EQ(d.combo()->completer()->currentCompletion(), "Hamburg");
        d.combo()->lineEdit()->setText("Hamburg");
        return static_cast<int>(QDialog::Accepted);
    });
    window().input().characterKey('m');
    settle();
    EXPECT_EQ(view(), DisplayMode::Karte);
    const PoiRecord& town = state().pois.records[static_cast<std::size_t>(state().pois.count - 1)];
    EXPECT_EQ(std::pair(town.name, town.dbPath), std::pair(std::string("Hamburg"), std::string("Ortsverzeichnis")));
    EXPECT_NEAR(state().last.latitude, 53.55, 0.1);
    EXPECT_DOUBLE_EQ(state().frame.viewCentre.gridX, town.gridX);
}

// The route and POI dialogs as the user sees them: every column titled; a saved route is
// listed, loaded again and exported, as the route and ten thousand imported POIs are by
// "Export" into the log folder. With VEXA_SHOTS set the pictures go to that folder (docs/
// keeps them).
TEST_F(AppTest, RouteAndPoiListsShowTheirColumnsLoadAndExport) {
    MainWindow& w = open({}, true);
    manualClock_.setUtc(DateTime{2007, 5, 12, 9, 30});  // local = UTC here
    const std::filesystem::path folder = home_ / "vexa";
    state().route.count = 40;
    for (int i = 0; i < 40; ++i) state().route.points[static_cast<std::size_t>(i)] = TrackPoint{550000.0 + i * 50, 5800000.0 + i * 20};
    run(cmd::RouteExport);
    for (const char* name : {"Deister Runde", "Harz", "Steinhuder Meer", "Leine Radweg"}) {
        answer<RouteSaveDialog>([name](RouteSaveDialog& d) {
            d.name()->setText(name);
            d.accept();
            EXPECT_EQ(d.progress()->value(), 100);
            return d.result();
        });
        run(cmd::RouteSave);
    }
    EXPECT_EQ(state().route.name, "Leine Radweg");
    state().route.count = 0;
    state().frame.viewCentre = TrackPoint{400000.0, 5000000.0};
    answer<RouteListDialog>([&](RouteListDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Routen Anzeige");
        EXPECT_EQ(headers(d.list()), "Route|Gespeichert am|Points");
        EXPECT_EQ(std::pair(d.list().model().rowCount(), cell(d.list(), 0, 2)), std::pair(4, QString("40")));
        d.list().clickHeader(0);
        d.list().clickRow(1);
        shot(d, "route-list.png");
        d.list().clickRow(1);  // by name: Harz
        d.loadButton()->click();
        d.exportButton()->click();
        return d.result();
    });
    run(cmd::RouteListByName);
    EXPECT_EQ(std::pair(state().route.count, state().route.name), std::pair(40, std::string("Harz")));
    EXPECT_NEAR(state().frame.viewCentre.gridX, 550000.0, 1.0);
    EXPECT_EQ(view(), DisplayMode::Karte);
    EXPECT_TRUE(contains(state().diagnostics.text(), "LVN_COLUMNCLICK"));
    for (const char* file : {"Track_20070512_0930.ovl", "Track_20070512_0930.kml", "Track_20070512_0930.gpx",
                             "Harz.ovl", "Harz.kml", "Harz.gpx"})
        EXPECT_TRUE(std::filesystem::exists(folder / file)) << file;

    // A large import: a zero-time timer fires only when the window's event loop runs; an import
    // that held the window until it ended would leave it at nought, however fast the machine.
    std::string csv = "Marktkirche;2;9.73509;52.37182;0\nHerrenhausen;2;9.69820;52.39160;0\n"
                      "Maschsee (Nordufer);2;9.74220;52.36310;0\nKirche;1;0094530.0;534100.0;0\n";
    for (int i = 0; i < 10000; ++i) csv += strprintf("Punkt %d;2;%.5f;%.5f;0\n", i, 9.0 + i * 1e-4, 52.0);
    writeFile(dir_ / "hannover.csv", csv);
    int passes = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] { ++passes; });
    heartbeat.start(0);
    EmulateStartFile(w.session(), dir_ / "hannover.csv");
    heartbeat.stop();
    EXPECT_GE(passes, 1) << "the window stood still while importing";
    EXPECT_EQ(messages().back(), "POI Database \n" + (dir_ / "hannover.cdb").string() + "\n Import Ok");
    EXPECT_EQ(std::pair(state().poiDb.currentVolume, state().frame.replaying.load()), std::pair(dir_ / "hannover.cdb", false));
    files_.push_back(dir_ / "hannover.cdb");
    answer<PoiListDialog>([&](PoiListDialog& d) {
        EXPECT_EQ(headers(d.list()), "Name|Breitengrad|Längengrad|Rechtswert|Hochwert|Dbname|");
        EXPECT_EQ(d.list().model().rowCount(), 10004);
        d.list().clickRow(2);
        shot(d, "poi-list.png");
        d.exportButton()->click();
        return static_cast<int>(QDialog::Rejected);
    });
    run(cmd::PoiDbChoice);
    EXPECT_TRUE(contains(readFile(folder / "POI_20070512_0930.csv"), "Marktkirche;2;9.73509;52.37182;0\n"));
    EXPECT_TRUE(std::filesystem::exists(folder / "poi_20070512_0930.kml"));

    run(cmd::KarteView);
    state().frame.viewCentre = TrackPoint{550243.0, 5803541.0};
    answer<AddPoiDialog>([&](AddPoiDialog& d) {
        EXPECT_EQ(d.volumes()->count(), 2);  // the default volume and hannover.cdb
        EXPECT_TRUE(d.geoText()->text().startsWith("GEO "));
        shot(d, "add-poi.png");
        return static_cast<int>(QDialog::Rejected);
    });
    run(cmd::AddPoi);
}

}  // namespace
}  // namespace vexa::testing
