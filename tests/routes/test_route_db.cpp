// Saving, listing, loading and deleting routes on real volumes, and a save killed halfway.
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>
#include <tuple>

#include "geo/grid.h"
#include "routes/route_db.h"
#include "tests/routes/db_fixture.h"

namespace vexa {
namespace {

struct RouteDbTest : DbFixture {
    RouteDb routes;
    std::unique_ptr<RouteTable> route = std::make_unique<RouteTable>();

    // n points along a line near Hannover, all of one line kind.
    void makeRoute(int n, LineKind kind = LineKind::Blue, double startEasting = 550000.0) {
        route->count = n;
        for (int i = 0; i < n; ++i) {
            TrackPoint& p = route->points[static_cast<std::size_t>(i)];
            p = TrackPoint{startEasting + i * 10.0, 5800000.0 + i * 5.0};
            p.lineKind = kind;
        }
    }
    RouteSave save(const std::string& name) { return DlgRouteSpeichern(db, routes, *route, grid, name, nullptr); }
    int load(const std::string& name) {
        route->name = name;
        loadNamedRoute(db, routes, *route, grid, nullptr);
        return route->count;
    }
};

TEST_F(RouteDbTest, OverwriteAsksAndReplacesTheWholeRoute) {
    makeRoute(3);
    ASSERT_EQ(save("Harz"), RouteSave::Saved);
    makeRoute(2, LineKind::Road);
    ui.queueAnswer(Answer::Cancel);
    EXPECT_EQ(save("Harz"), RouteSave::KeepOpen);
    EXPECT_EQ(records(routes.volumePath, "Harz").size(), 3u);
    ui.queueAnswer(Answer::Ok);
    EXPECT_EQ(save("Harz"), RouteSave::Replaced);
    const auto saved = records(routes.volumePath, "Harz");
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[1], (std::vector<std::string>{"track0001", "2", saved[1][2], saved[1][3], "2"}));
    EXPECT_EQ(std::tuple(ui.messages().size(), ui.messages()[0].text, ui.messages()[0].caption), std::tuple(2u, "Route überschreiben ?", "Harz"));
    EXPECT_EQ(save(""), RouteSave::Closed);
}

TEST_F(RouteDbTest, LoadAppendsUpTo3999Points) {
    makeRoute(100, LineKind::Motorway);
    ASSERT_EQ(save("lang"), RouteSave::Saved);
    makeRoute(3950);
    EXPECT_EQ(load("lang"), 3999);
    EXPECT_EQ(std::tuple(messages(), ui.messages()[0].caption, route->points[3998].lineKind),
              std::tuple(std::vector<std::string>{"Es werden nur 49 Punkte geladen"}, "itrackmax", LineKind::Motorway));
    EXPECT_NEAR(route->points[3950].gridX, 550000.0, 1.0);  // the saved route's first point
    EXPECT_NEAR(route->points[3998].gridY, 5800000.0 + 48 * 5.0, 1.0);

    // Up to the limit exactly: no message. The save's progress counts every point; the load's
    // from the second point on, the points held before included.
    makeRoute(3);
    std::vector<int> percents;
    const auto record = [&](int p) { percents.push_back(p); };
    ASSERT_EQ(DlgRouteSpeichern(db, routes, *route, grid, "kurz", record), RouteSave::Saved);
    EXPECT_EQ(std::exchange(percents, {}), (std::vector<int>{0, 33, 66, 100}));
    for (const auto& [start, progress] : {std::pair{3996, std::vector<int>{100, 100}}, {0, {66, 100, 100}}}) {
        ui.clear();
        makeRoute(start);
        route->name = "kurz";
        EXPECT_TRUE(loadNamedRoute(db, routes, *route, grid, record));
        EXPECT_EQ(std::tuple(route->count, ui.messages().size(), std::exchange(percents, {})), std::tuple(start + 3, 0u, progress)) << start;
    }
}

TEST_F(RouteDbTest, ListSortsByNameOrDateAndDeletedRowsLoadNothing) {
    makeRoute(2);
    for (const char* name : {"b", "C", "a"}) {
        ASSERT_EQ(save(name), RouteSave::Saved);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    auto listed = [&](bool byDate) {
        EXPECT_TRUE(CreateListRoutenView(db, routes, byDate));
        std::string out;
        for (const auto& e : routes.entries) out += e.name + std::to_string(e.records);
        return out;
    };
    EXPECT_EQ(listed(false), "C2a2b2");
    EXPECT_EQ(listed(true), "b2C2a2");

    for (const int index : {0, 3, -1}) selectRouteEntry(routes, *route, index);  // outside: kept
    EXPECT_EQ(route->name, "b");
    routes.selected = 3;
    EXPECT_FALSE(deleteSelectedRoute(db, routes));
    selectRouteEntry(routes, *route, 1);
    EXPECT_EQ(route->name, "C");
    EXPECT_TRUE(deleteSelectedRoute(db, routes));
    EXPECT_TRUE(routes.entries[1].deleted);
    route->count = 0;
    EXPECT_FALSE(loadNamedRoute(db, routes, *route, grid, nullptr));
    EXPECT_EQ(route->count, 0);
    EXPECT_EQ(listed(false), "a2b2");
    EXPECT_EQ(routes.selected, -1) << "a new list has no selection";
}

// Each reason a route does not load is told once and as what it is.
TEST_F(RouteDbTest, LoadTellsAMissingRouteFromARefusedOrDamagedVolume) {
    makeRoute(3);
    ASSERT_EQ(save("Harz"), RouteSave::Saved);
    const std::filesystem::path good = routes.volumePath;
    std::filesystem::copy_file(good, dir / "damaged.cdb");
    {
        std::string bytes = testing::readFile(dir / "damaged.cdb");
        for (std::size_t i = 4096; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);  // every page but the first
        testing::writeFile(dir / "damaged.cdb", bytes);
    }
    testing::writeFile(dir / "text.cdb", "Harz;2;9;53;0\n");
    // The volume, the route, the failure with the volume's problem, and the one message it
    // shows, or none.
    const std::tuple<std::filesystem::path, const char*, RouteLoadFailure, DbProblem, const char*> cases[] = {
        {good, "Weser", RouteLoadFailure::NoSuchRoute, DbProblem::NoSuchDatabase, nullptr},
        {dir / "text.cdb", "Harz", RouteLoadFailure::VolumeRefused, DbProblem::TextFile, "ist eine Textdatei"},
        {dir / "damaged.cdb", "Harz", RouteLoadFailure::Unreadable, DbProblem::Damaged,
         "Die Route Harz kann nicht gelesen werden.\n"}};
    for (const auto& [volume, name, expected, problem, says] : cases) {
        ui.clear();
        routes.volumePath = volume;
        route->count = 0;
        route->name = name;
        RouteLoadReport report;
        EXPECT_FALSE(loadNamedRoute(db, routes, *route, grid, nullptr, &report)) << volume;
        EXPECT_EQ(std::tuple(report.failure, report.volume.problem, ui.messages().size()),
                  std::tuple(expected, problem, says ? 1u : 0u)) << volume;
        if (says) { EXPECT_NE(ui.messages().at(0).text.find(says), std::string::npos) << ui.messages()[0].text; }
    }
}

TEST_F(RouteDbTest, EmptyOrMissingVolumeHasNoRoutes) {
    for (bool create : {false, true}) {
        if (create) store.mount(routes.volumePath, MountMode::OpenAlways);
        ui.clear();
        EXPECT_FALSE(CreateListRoutenView(db, routes, false));
        EXPECT_EQ(messages(), std::vector<std::string>{"Keine Routen in DB vorhanden"});
    }
}

// A save killed at any moment leaves the old route or the new one, never a mix, and a sound
// file. The child overwrites the route again and again, each version with its own line kind.
TEST_F(RouteDbTest, SaveKilledHalfwayLeavesOldOrNewRoute) {
    makeRoute(3999, LineKind::Blue);
    ASSERT_EQ(save("kill"), RouteSave::Saved);
    for (int delayMs : {3, 11, 23, 41, 67}) {
        SCOPED_TRACE(delayMs);
        const pid_t child = ::fork();
        if (child == 0) {
            for (int version = 1;; ++version) {
                makeRoute(3999, static_cast<LineKind>(version % 6));
                ui.queueAnswer(Answer::Ok);
                save("kill");
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);

        const auto points = records(routes.volumePath, "kill");
        ASSERT_EQ(points.size(), 3999u);
        for (const auto& p : points) ASSERT_EQ(p[4], points[0][4]) << "a mix of two versions";
        sqlite3* raw = nullptr;
        sqlite3_open(routes.volumePath.c_str(), &raw);
        std::string check;
        sqlite3_exec(raw, "PRAGMA integrity_check", [](void* out, int, char** v, char**) { return *static_cast<std::string*>(out) = v[0], 0; }, &check, nullptr);
        sqlite3_close(raw);
        EXPECT_EQ(check, "ok");
    }
}

}  // namespace
}  // namespace vexa
