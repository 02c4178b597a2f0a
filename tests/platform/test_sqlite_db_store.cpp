// Volumes in real SQLite files: records, transactions, two programs on one file, and files
// that are not VEXA volumes (one damaged inside: tests/routes).
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <thread>
#include <tuple>

#include "platform/linux/sqlite_db_store.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/temp_dir.h"

namespace vexa {
namespace {

using testing::TempDir;

std::vector<std::string> point(const std::string& name) { return {name, "2", "9.70000", "52.40000", "0"}; }

std::vector<std::string> names(DbVolume& volume, DbOid database) {
    std::vector<std::string> out;
    auto cursor = volume.read(database);
    while (auto r = cursor->next()) out.push_back(r->texts.empty() ? "" : r->texts[0]);
    return out;
}

std::string sqlite(const std::filesystem::path& file, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    std::string out;
    sqlite3_exec(db, sql, [](void* o, int, char** v, char**) {
        *static_cast<std::string*>(o) += v[0] ? v[0] : "";
        return 0;
    }, &out, nullptr);
    sqlite3_close(db);
    return out;
}

// A volume with one route database of `points` records "p0", "p1", ….
void writeVolume(SqliteDbStore& store, const std::filesystem::path& file, int points) {
    auto v = store.mount(file, MountMode::OpenAlways).volume;
    v->begin();
    v->create("R", 19500, 1);
    for (int i = 0; i < points; ++i) v->write(*v->find("R"), 0, point("p" + std::to_string(i)));
    v->commit();
}

struct Store : ::testing::Test {
    TempDir dir;
    SqliteDbStore store;
    std::filesystem::path file = dir / "vexatrack.cdb";
};

TEST_F(Store, RecordsComeBackSortedByFirstTextWithStableIds) {
    auto volume = store.mount(file, MountMode::OpenAlways).volume;
    ASSERT_TRUE(volume);
    ASSERT_EQ(volume->create("A", 19500, 1), DbCreate::Created);
    EXPECT_EQ(volume->create("A", 19500, 1), DbCreate::Exists);
    const DbOid db = *volume->find("A");
    const DbOid b = volume->write(db, 0, point("b"));
    const DbOid a = volume->write(db, 0, point("a"));
    ASSERT_NE(a, 0u);
    EXPECT_EQ(names(*volume, db), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(volume->write(db, b, point("c")), b);
    EXPECT_EQ(names(*volume, db), (std::vector<std::string>{"a", "c"}));
    EXPECT_TRUE(volume->removeRecord(db, a));
    EXPECT_FALSE(volume->removeRecord(db, a)) << "already removed";
    const auto info = volume->info(db);
    ASSERT_TRUE(info);
    EXPECT_EQ(std::tuple(info->records, info->type, info->modifiedMs > 1600000000000), std::tuple(1, 19500u, true));
    EXPECT_EQ(sqlite(file, "PRAGMA user_version"), std::to_string(kVolumeSchemaVersion));
}

TEST_F(Store, RolledBackTransactionLeavesNothing) {
    {
        auto volume = store.mount(file, MountMode::OpenAlways).volume;
        ASSERT_TRUE(volume->begin());
        volume->create("R", 19500, 1);
        volume->write(*volume->find("R"), 0, point("x"));
    }  // unmounted without commit
    auto volume = store.mount(file, MountMode::OpenExisting).volume;
    ASSERT_TRUE(volume);
    EXPECT_TRUE(volume->databases()->empty());
}

TEST_F(Store, SecondProgramWaitsForTheWriterInsteadOfFailing) {
    auto first = store.mount(file, MountMode::OpenAlways).volume;
    auto second = store.mount(file, MountMode::OpenAlways).volume;
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(first->begin());
    first->create("R", 19500, 1);
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        first->commit();
    });
    EXPECT_EQ(second->create("S", 19500, 1), DbCreate::Created);  // waited for the lock
    release.join();
    EXPECT_EQ(second->databases()->size(), 2u);
    EXPECT_EQ(sqlite(file, "PRAGMA integrity_check"), "ok");
}

struct BadFile {
    const char* what;
    std::function<void(const std::filesystem::path&)> make;
    const char* message;
};

TEST_F(Store, BadFilesAreRefusedWithAReasonAndStayUntouched) {
    const std::vector<BadFile> cases = {
        {"text file", [](auto& f) { testing::writeFile(f, "name;2;9.7;52.4;0\n"); }, "ist eine Textdatei"},
        {"binary file", [](auto& f) { testing::writeFile(f, std::string("\x89PNG\r\n\x1a\n\0\0\0", 11)); },
         "ist keine VEXA-Datenbank"},
        {"other SQLite file", [](auto& f) { sqlite(f, "CREATE TABLE t(x); INSERT INTO t VALUES (1);"); },
         "eine SQLite-Datei, aber keine VEXA-Datenbank"},
        {"truncated volume",
         [this](auto& f) {
             writeVolume(store, f, 500);
             std::filesystem::resize_file(f, std::filesystem::file_size(f) / 2 + 100);
         },
         "unvollständig"},
        {"newer schema",
         [this](auto& f) {
             store.mount(f, MountMode::OpenAlways);
             sqlite(f, "PRAGMA user_version = 7");
         },
         "neueren VEXA-Version (Datenbankformat 7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto f = dir / (std::string(c.what) + ".cdb");
        c.make(f);
        const std::string before = testing::readFile(f);
        const MountResult r = store.mount(f, MountMode::OpenAlways);
        EXPECT_FALSE(r.volume);
        EXPECT_TRUE(r.error.find(c.message) != std::string::npos && r.error.find(f.string()) != std::string::npos) << r.error;
        EXPECT_EQ(testing::readFile(f), before);
    }
}

TEST_F(Store, ReadOnlyFileAndFolderCanBeReadButNotWrittenAndAnUnreadableFileSaysWhy) {
    using std::filesystem::perms;
    const auto roFolder = dir / "ro-folder";
    const auto rwFolder = dir / "rw-folder";
    const auto roFile = rwFolder / "ro.cdb";
    const auto inRoFolder = roFolder / "rw.cdb";
    const auto unreadable = rwFolder / "unreadable.cdb";
    for (const auto& f : {roFile, inRoFolder, unreadable}) {
        std::filesystem::create_directories(f.parent_path());
        writeVolume(store, f, 1);
    }
    std::filesystem::permissions(rwFolder, perms::all);
    std::filesystem::permissions(roFile, perms::owner_read | perms::group_read | perms::others_read);
    std::filesystem::permissions(unreadable, perms::owner_write);
    std::filesystem::permissions(inRoFolder, perms::all & ~perms::owner_exec & ~perms::group_exec & ~perms::others_exec);
    std::filesystem::permissions(roFolder, perms::owner_all | perms::group_read | perms::group_exec |
                                               perms::others_read | perms::others_exec);
    if (::geteuid() != 0) std::filesystem::permissions(roFolder, perms::owner_write, std::filesystem::perm_options::remove);
    const std::string before = testing::readFile(roFile);
    testing::asOrdinaryUser(dir.path(), [&] {
        for (const auto& f : {roFile, inRoFolder}) {
            SCOPED_TRACE(f.string());
            SqliteDbStore own;
            auto v = own.mount(f, MountMode::OpenAlways).volume;
            ASSERT_TRUE(v);
            EXPECT_EQ(std::tuple(v->readOnly(), names(*v, *v->find("R"))), std::tuple(true, std::vector<std::string>{"p0"}));
            EXPECT_EQ(v->create("S", 19500, 1), DbCreate::Failed);
            EXPECT_NE(v->error().find("schreibgeschützt"), std::string::npos);
        }
        SqliteDbStore own;
        const MountResult r = own.mount(roFolder / "new.cdb", MountMode::OpenAlways);
        EXPECT_TRUE(!r.volume && r.error.find("schreibgeschützt") != std::string::npos) << r.error;
        const MountResult locked = own.mount(unreadable, MountMode::OpenAlways);
        EXPECT_FALSE(locked.volume);
        EXPECT_EQ(locked.error, "Die Datenbank " + unreadable.string() + " kann nicht gelesen werden: " +
                                    std::strerror(EACCES));
    });
    std::filesystem::permissions(roFolder, perms::owner_all, std::filesystem::perm_options::add);
    EXPECT_EQ(testing::readFile(roFile), before);
}

TEST_F(Store, EmptyFileBecomesAVolumeAndMissingFileIsReported) {
    testing::writeFile(file, "");
    EXPECT_TRUE(store.mount(file, MountMode::OpenAlways).volume);
    EXPECT_TRUE(store.mount(dir / "none.cdb", MountMode::OpenExisting).missing());
    EXPECT_FALSE(std::filesystem::exists(dir / "none.cdb"));
}

}  // namespace
}  // namespace vexa
