// The route and POI database commands through their dialogs on the real window, with the
// volumes in the temporary documents folder.
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QListWidget>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "app/command_ids.h"
#include "app/place_dialog.h"
#include "app/poi_dialogs.h"
#include "app/route_dialogs.h"
#include "app/text_table.h"
#include "gps/gps_session.h"
#include "platform/paths.h"
#include "tests/app/app_fixture.h"
#include "util/text.h"

namespace vexa::testing {
namespace {

QString cell(TextTable& table, int row, int column) {
    return table.model().data(table.model().index(row, column), Qt::DisplayRole).toString();
}

TEST_F(AppTest, AddPoiMovesWithTheScrollBarsAndTheListShowsIt) {
    open();
    run(cmd::KarteView);
    state().frame.viewCentre = TrackPoint{550000.0, 5800000.0};
    answer<AddPoiDialog>([](AddPoiDialog& d) {
        EXPECT_EQ(d.name()->text(), "poi0000");
        EXPECT_EQ(d.gridText()->text(), "UTM 550000 5800000");
        d.eastWest()->triggerAction(QAbstractSlider::SliderPageStepAdd);   // 10 m east
        d.northSouth()->triggerAction(QAbstractSlider::SliderSingleStepSub);  // 1 m north
        EXPECT_EQ(d.gridText()->text(), "UTM 550010 5800001");
        d.name()->setText("Turm");
        d.accept();
        return d.result();
    });
    run(cmd::AddPoi);
    ASSERT_EQ(state().pois.count, 1);
    EXPECT_EQ(state().pois.records[0].name, "Turm");
    EXPECT_NEAR(state().pois.records[0].gridX, 550010.0, 1.0);

    state().frame.viewCentre = TrackPoint{400000.0, 5000000.0};
    answer<PoiListDialog>([](PoiListDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Poi Anzeige");
        EXPECT_EQ(cell(d.list(), 0, 0), "Turm");
        d.list().clickRow(0);
        d.showButton()->click();
        return d.result();
    });
    window().characterKey('p');
    settle();
    EXPECT_NEAR(state().frame.viewCentre.gridX, 550010.0, 1.0);
}

TEST_F(AppTest, LastPositionOfGpsStopIsTheNextStartsViewCentre) {
    open();
    state().frame.viewCentre = TrackPoint{551234.0, 5801234.0};
    run(cmd::GpsStop);
    state().frame.viewCentre = TrackPoint{552345.0, 5802345.0};
    state().frame.replaying = true;  // also while a log is replayed
    run(cmd::GpsStop);
    state().frame.replaying = false;
    open();
    EXPECT_NEAR(state().frame.viewCentre.gridX, 552345.0, 1.0);
    EXPECT_NEAR(state().frame.viewCentre.gridY, 5802345.0, 1.0);
    int lastPositions = 0;
    for (int i = 0; i < state().pois.count; ++i) lastPositions += state().pois.records[static_cast<std::size_t>(i)].name == "zLastPos";
    EXPECT_EQ(lastPositions, 1);
}

TEST_F(AppTest, LargeCsvImportsWhileTheWindowStaysResponsive) {
    MainWindow& w = open();
    std::string csv;
    for (int i = 0; i < 10000; ++i) csv += strprintf("Punkt %d;2;%.5f;%.5f;0\n", i, 9.0 + i * 1e-4, 52.0);
    const auto file = dir_ / "viele.csv";
    writeFile(file, csv);
    // A zero-time timer fires only when the window's event loop runs: an import that held the
    // window until it ended would leave it at nought, however fast or slow the machine.
    int passes = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] { ++passes; });
    heartbeat.start(0);
    EmulateStartFile(w.session(), file);
    heartbeat.stop();
    EXPECT_EQ(messages().back(), "POI Database \n" + (dir_ / "viele.cdb").string() + "\n Import Ok");
    EXPECT_GE(passes, 1) << "the window stood still while importing";
    EXPECT_EQ(state().poiDb.currentVolume, dir_ / "viele.cdb");
    EXPECT_FALSE(state().frame.replaying);

    files_.push_back(dir_ / "viele.cdb");
    answer<PoiListDialog>([](PoiListDialog& d) {
        EXPECT_EQ(d.list().model().rowCount(), 10000);
        return static_cast<int>(QDialog::Rejected);
    });
    window().characterKey('z');
    settle();
    EXPECT_EQ(state().pois.count, 10000);
}

TEST_F(AppTest, BadVolumeFileIsRefusedWithItsReason) {
    MainWindow& w = open();
    w.setDialogRunner([](QDialog&) { return static_cast<int>(QDialog::Rejected); });
    const auto file = dir_ / "notiz.cdb";
    writeFile(file, "Einkaufsliste\n");
    for (int id : {cmd::PoiDbChoice, cmd::OtherRouteDb}) {
        window().ui().setMessageResponder([](const ShownBox&) { return Answer::Ok; });
        const std::size_t before = messages().size();
        files_.push_back(file);
        run(id);
        const auto told = messages();
        ASSERT_EQ(told.size(), before + 1) << id;
        EXPECT_TRUE(contains(told.back(), "notiz.cdb ist eine Textdatei und keine VEXA-Datenbank")) << told.back();
    }
    EXPECT_EQ(readFile(file), "Einkaufsliste\n");
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
    window().characterKey('m');
    settle();
    EXPECT_EQ(view(), DisplayMode::Karte);
    ASSERT_GE(state().pois.count, 1);
    const PoiRecord& town = state().pois.records[static_cast<std::size_t>(state().pois.count - 1)];
    EXPECT_EQ(town.name, "Hamburg");
    EXPECT_EQ(town.dbPath, "Ortsverzeichnis");
    EXPECT_NEAR(state().last.latitude, 53.55, 0.1);
    EXPECT_DOUBLE_EQ(state().frame.viewCentre.gridX, town.gridX);
}

// The route and POI dialogs as the user sees them: every column titled, every button there; a
// saved route is listed and loaded again. With
// VEXA_SHOTS set the pictures go to that folder (docs/ keeps them).
TEST_F(AppTest, DialogsShowTheirColumnsAndButtons) {
    MainWindow& w = open();
    auto headers = [](TextTable& t) {
        QStringList out;
        for (int c = 0; c < t.model().columnCount(); ++c) out << t.model().headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        return out.join('|');
    };
    state().route.count = 40;
    for (int i = 0; i < 40; ++i) state().route.points[static_cast<std::size_t>(i)] = TrackPoint{550000.0 + i * 50, 5800000.0 + i * 20};
    for (const char* name : {"Deister Runde", "Harz Brocken", "Steinhuder Meer", "Leine Radweg"}) {
        answer<RouteSaveDialog>([name](RouteSaveDialog& d) {
            d.name()->setText(name);
            d.accept();
            EXPECT_EQ(d.progress()->value(), 100);
            return d.result();
        });
        run(cmd::RouteSave);
    }
    EXPECT_EQ(state().route.name, "Leine Radweg");
    // The list loads the route chosen and shows it in the map view.
    state().route.count = 0;
    state().frame.viewCentre = TrackPoint{400000.0, 5000000.0};
    answer<RouteListDialog>([&](RouteListDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Routen Anzeige");
        EXPECT_EQ(headers(d.list()), "Route|Gespeichert am|Points");
        EXPECT_EQ(d.list().model().rowCount(), 4);
        d.list().clickHeader(0);
        EXPECT_EQ(cell(d.list(), 0, 2), "40");
        d.list().clickRow(1);
        shot(d, "route-list.png");
        d.list().clickRow(0);
        d.loadButton()->click();
        return d.result();
    });
    run(cmd::RouteListByName);
    EXPECT_EQ(state().route.count, 40);
    EXPECT_NEAR(state().frame.viewCentre.gridX, 550000.0, 1.0);
    EXPECT_EQ(view(), DisplayMode::Karte);
    EXPECT_TRUE(contains(state().diagnostics.text(), "LVN_COLUMNCLICK"));

    writeFile(dir_ / "hannover.csv",
              "Marktkirche;2;9.73509;52.37182;0\nHerrenhausen;2;9.69820;52.39160;0\n"
              "Maschsee (Nordufer);2;9.74220;52.36310;0\nHauptbahnhof;2;9.74100;52.37660;0\n"
              "Kirche;1;0094530.0;534100.0;0\n");
    EmulateStartFile(w.session(), dir_ / "hannover.csv");
    files_.push_back(dir_ / "hannover.cdb");
    answer<PoiListDialog>([&](PoiListDialog& d) {
        EXPECT_EQ(headers(d.list()), "Name|Breitengrad|Längengrad|Rechtswert|Hochwert|Dbname|");
        EXPECT_EQ(d.list().model().rowCount(), 5);
        d.list().clickRow(2);
        shot(d, "poi-list.png");
        return static_cast<int>(QDialog::Rejected);
    });
    run(cmd::PoiDbChoice);

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
