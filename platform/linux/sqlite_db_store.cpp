#include "platform/linux/sqlite_db_store.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <system_error>

#include "util/system_error.h"
#include "util/text.h"

namespace vexa {

namespace {

constexpr int kBusyTimeoutMs = 5000;

const char* const kSchema =
    "CREATE TABLE databases("
    " oid INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE, type INTEGER NOT NULL,"
    " sort_property INTEGER NOT NULL, records INTEGER NOT NULL DEFAULT 0,"
    " size INTEGER NOT NULL DEFAULT 0, modified INTEGER NOT NULL);"
    "CREATE TABLE records("
    " oid INTEGER PRIMARY KEY, db INTEGER NOT NULL REFERENCES databases(oid),"
    " texts INTEGER NOT NULL, t1 TEXT, t2 TEXT, t3 TEXT, t4 TEXT, t5 TEXT);"
    "CREATE INDEX records_by_db ON records(db, t1);";

// The sentences a mount and a call on a mounted volume share.
std::string busySentence(const char* file) {
    return strprintf("%s wird gerade von einem anderen Programm benutzt. Bitte später noch einmal versuchen.", file);
}
std::string readOnlySentence(const char* file) {
    return strprintf("%s ist schreibgeschützt: es kann nichts gespeichert werden.", file);
}

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::uint32_t bigEndian(const unsigned char* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
    return v;
}

bool writable(const std::filesystem::path& p) { return ::access(p.c_str(), W_OK) == 0; }

std::filesystem::path folderOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// One prepared statement, finalized with its owner.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept : stmt_(other.stmt_) { other.stmt_ = nullptr; }
    Statement& operator=(Statement&& other) noexcept {
        std::swap(stmt_, other.stmt_);
        return *this;
    }

    sqlite3_stmt* get() const { return stmt_; }
    explicit operator bool() const { return stmt_ != nullptr; }
    void reset() {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
};

class SqliteCursor : public DbCursor {
public:
    SqliteCursor(sqlite3* db, DbOid database)
        : stmt_(db, "SELECT oid, texts, t1, t2, t3, t4, t5 FROM records WHERE db = ? ORDER BY t1, oid") {
        if (stmt_) sqlite3_bind_int64(stmt_.get(), 1, database);
    }

    std::optional<DbRecord> next() override {
        if (!stmt_ || done_ || sqlite3_step(stmt_.get()) != SQLITE_ROW) {
            done_ = true;
            return std::nullopt;
        }
        DbRecord record;
        record.oid = static_cast<DbOid>(sqlite3_column_int64(stmt_.get(), 0));
        const int n = std::clamp(sqlite3_column_int(stmt_.get(), 1), 0, static_cast<int>(kDbRecordTexts));
        record.texts.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            const auto* text = sqlite3_column_text(stmt_.get(), 2 + i);
            const int bytes = sqlite3_column_bytes(stmt_.get(), 2 + i);
            record.texts.emplace_back(text ? reinterpret_cast<const char*>(text) : "",
                                      static_cast<std::size_t>(bytes));
        }
        return record;
    }

private:
    Statement stmt_;
    bool done_ = false;
};

class SqliteVolume : public DbVolume {
public:
    SqliteVolume(sqlite3* db, std::filesystem::path file, bool readOnly)
        : db_(db), path_(std::move(file)), readOnly_(readOnly) {}

    ~SqliteVolume() override {
        if (inTransaction_) rollback();
        insert_ = Statement();
        sqlite3_close_v2(db_);
    }

    const std::filesystem::path& path() const override { return path_; }
    bool readOnly() const override { return readOnly_; }
    std::string error() const override { return error_; }
    DbFailure failure() const override { return failure_; }
    bool full() const override { return failure_.problem == DbProblem::Full; }

    std::optional<std::vector<DbOid>> databases() override {
        if (!flushPending()) return std::nullopt;
        Statement s(db_, "SELECT oid FROM databases ORDER BY oid");
        if (!s) return fail(sqlite3_errcode(db_)), std::nullopt;
        std::vector<DbOid> oids;
        int rc;
        while ((rc = sqlite3_step(s.get())) == SQLITE_ROW)
            oids.push_back(static_cast<DbOid>(sqlite3_column_int64(s.get(), 0)));
        if (rc != SQLITE_DONE) return fail(rc), std::nullopt;
        return oids;
    }

    std::optional<DbInfo> info(DbOid database) override {
        if (!flushPending()) return std::nullopt;
        Statement s(db_, "SELECT name, type, records, size, modified FROM databases WHERE oid = ?");
        if (!s) return fail(sqlite3_errcode(db_)), std::nullopt;
        sqlite3_bind_int64(s.get(), 1, database);
        const int rc = sqlite3_step(s.get());
        if (rc != SQLITE_ROW) {
            rc == SQLITE_DONE ? noSuchDatabase(database) : fail(rc);
            return std::nullopt;
        }
        DbInfo info;
        info.oid = database;
        info.name = text(s.get(), 0);
        info.type = static_cast<std::uint32_t>(sqlite3_column_int64(s.get(), 1));
        info.records = sqlite3_column_int(s.get(), 2);
        info.size = sqlite3_column_int64(s.get(), 3);
        info.modifiedMs = sqlite3_column_int64(s.get(), 4);
        return info;
    }

    DbCreate create(std::string_view dbName, std::uint32_t type, int sortProperty) override {
        if (!checkWritable()) return DbCreate::Failed;
        if (find(dbName)) return DbCreate::Exists;
        Statement s(db_, "INSERT INTO databases(name, type, sort_property, modified) VALUES (?, ?, ?, ?)");
        if (!s) return fail(sqlite3_errcode(db_)), DbCreate::Failed;
        sqlite3_bind_text(s.get(), 1, dbName.data(), static_cast<int>(dbName.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(s.get(), 2, type);
        sqlite3_bind_int(s.get(), 3, sortProperty);
        sqlite3_bind_int64(s.get(), 4, nowMs());
        const int rc = sqlite3_step(s.get());
        if (rc == SQLITE_CONSTRAINT) return DbCreate::Exists;
        if (rc != SQLITE_DONE) return fail(rc), DbCreate::Failed;
        return DbCreate::Created;
    }

    std::optional<DbOid> find(std::string_view dbName) override {
        Statement s(db_, "SELECT oid FROM databases WHERE name = ?");
        if (!s) return fail(sqlite3_errcode(db_)), std::nullopt;
        sqlite3_bind_text(s.get(), 1, dbName.data(), static_cast<int>(dbName.size()), SQLITE_TRANSIENT);
        const int rc = sqlite3_step(s.get());
        if (rc == SQLITE_ROW) return static_cast<DbOid>(sqlite3_column_int64(s.get(), 0));
        if (rc == SQLITE_DONE)
            set(DbProblem::NoSuchDatabase, strprintf("In %s gibt es keine Datenbank %.*s.", name(),
                                                     static_cast<int>(dbName.size()), dbName.data()));
        else
            fail(rc);
        return std::nullopt;
    }

    bool remove(DbOid database) override {
        if (!checkWritable()) return false;
        // Records and database go together, also outside a transaction of the caller's.
        const bool own = !inTransaction_;
        if (own && !begin()) return false;
        pending_.erase(database);
        bool ok = exec("DELETE FROM records WHERE db = ?", database) &&
                  exec("DELETE FROM databases WHERE oid = ?", database);
        if (ok && sqlite3_changes(db_) == 0) {
            noSuchDatabase(database);
            ok = false;
        }
        if (own) {
            if (ok) return commit();
            rollback();
        }
        return ok;
    }

    DbOid write(DbOid database, DbOid record, const std::vector<std::string>& texts) override {
        if (!checkWritable()) return 0;
        const std::size_t n = std::min(texts.size(), kDbRecordTexts);
        std::int64_t bytes = 0;
        for (std::size_t i = 0; i < n; ++i) bytes += static_cast<std::int64_t>(texts[i].size());
        if (record == 0) {
            if (!insert_) insert_ = Statement(db_, "INSERT INTO records(db, texts, t1, t2, t3, t4, t5) VALUES (?, ?, ?, ?, ?, ?, ?)");
            if (!insert_) return fail(sqlite3_errcode(db_)), 0;
            insert_.reset();
            sqlite3_bind_int64(insert_.get(), 1, database);
            sqlite3_bind_int(insert_.get(), 2, static_cast<int>(n));
            for (std::size_t i = 0; i < n; ++i)
                sqlite3_bind_text(insert_.get(), 3 + static_cast<int>(i), texts[i].data(),
                                  static_cast<int>(texts[i].size()), SQLITE_STATIC);
            const int rc = sqlite3_step(insert_.get());
            if (rc != SQLITE_DONE) return fail(rc), 0;
            const auto oid = static_cast<DbOid>(sqlite3_last_insert_rowid(db_));
            // Inside a transaction the database's count is brought up to date once, at commit.
            Pending& p = pending_[database];
            ++p.records;
            p.bytes += bytes;
            if (!inTransaction_ && !flushPending()) return 0;
            return oid;
        }
        Statement s(db_, "UPDATE records SET texts = ?, t1 = ?, t2 = ?, t3 = ?, t4 = ?, t5 = ? WHERE oid = ? AND db = ?");
        if (!s) return fail(sqlite3_errcode(db_)), 0;
        sqlite3_bind_int(s.get(), 1, static_cast<int>(n));
        for (std::size_t i = 0; i < n; ++i)
            sqlite3_bind_text(s.get(), 2 + static_cast<int>(i), texts[i].data(), static_cast<int>(texts[i].size()),
                              SQLITE_STATIC);
        sqlite3_bind_int64(s.get(), 7, record);
        sqlite3_bind_int64(s.get(), 8, database);
        const int rc = sqlite3_step(s.get());
        if (rc != SQLITE_DONE) return fail(rc), 0;
        if (sqlite3_changes(db_) == 0) {
            noSuchRecord(record);
            return 0;
        }
        exec("UPDATE databases SET modified = ? WHERE oid = ?", nowMs(), database);
        return record;
    }

    bool removeRecord(DbOid database, DbOid record) override {
        if (!checkWritable()) return false;
        Statement s(db_, "DELETE FROM records WHERE oid = ? AND db = ?");
        if (!s) return fail(sqlite3_errcode(db_)), false;
        sqlite3_bind_int64(s.get(), 1, record);
        sqlite3_bind_int64(s.get(), 2, database);
        const int rc = sqlite3_step(s.get());
        if (rc != SQLITE_DONE) return fail(rc), false;
        if (sqlite3_changes(db_) == 0) {
            noSuchRecord(record);
            return false;
        }
        return exec("UPDATE databases SET records = records - 1, modified = ? WHERE oid = ?", nowMs(), database);
    }

    std::unique_ptr<DbCursor> read(DbOid database) override { return std::make_unique<SqliteCursor>(db_, database); }

    bool begin() override {
        if (!checkWritable()) return false;
        if (inTransaction_) return true;
        const int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return fail(rc), false;
        inTransaction_ = true;
        return true;
    }

    bool commit() override {
        if (!inTransaction_) return true;
        if (!flushPending()) {
            rollback();
            return false;
        }
        const int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            fail(rc);
            rollback();
            return false;
        }
        inTransaction_ = false;
        return true;
    }

    void rollback() override {
        pending_.clear();
        if (!inTransaction_) return;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        inTransaction_ = false;
    }

private:
    sqlite3* db_;
    std::filesystem::path path_;
    bool readOnly_;
    bool inTransaction_ = false;
    std::string error_;
    DbFailure failure_;
    Statement insert_;
    struct Pending {
        int records = 0;
        std::int64_t bytes = 0;
    };
    std::map<DbOid, Pending> pending_;  // records written since the counts were last updated

    bool flushPending() {
        const std::int64_t now = nowMs();
        for (const auto& [database, p] : pending_)
            if (!exec("UPDATE databases SET records = records + ?, size = size + ?, modified = ? WHERE oid = ?",
                      p.records, p.bytes, now, database))
                return false;
        pending_.clear();
        return true;
    }

    const char* name() const { return path_.c_str(); }

    static std::string text(sqlite3_stmt* s, int column) {
        const auto* t = sqlite3_column_text(s, column);
        return t ? std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_column_bytes(s, column)))
                 : std::string();
    }

    template <typename... Args>
    bool exec(const char* sql, Args... args) {
        Statement s(db_, sql);
        if (!s) return fail(sqlite3_errcode(db_)), false;
        int i = 0;
        ((sqlite3_bind_int64(s.get(), ++i, static_cast<sqlite3_int64>(args))), ...);
        const int rc = sqlite3_step(s.get());
        if (rc != SQLITE_DONE) return fail(rc), false;
        return true;
    }

    bool checkWritable() {
        if (!readOnly_) return true;
        set(DbProblem::ReadOnly, readOnlySentence(name()));
        return false;
    }

    void set(DbProblem problem, std::string text, std::string reason = {}) {
        error_ = std::move(text);
        failure_ = {problem, std::move(reason)};
    }
    void noSuchDatabase(DbOid database) {
        set(DbProblem::NoSuchDatabase, strprintf("In %s gibt es keine Datenbank Nr. %u.", name(), database));
    }
    void noSuchRecord(DbOid record) {
        set(DbProblem::NoSuchRecord, strprintf("In %s gibt es den Datensatz Nr. %u nicht.", name(), record));
    }

    void fail(int rc) {
        switch (rc & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            set(DbProblem::Busy, busySentence(name()));
            break;
        case SQLITE_FULL:
            set(DbProblem::Full, strprintf("Kein Platz mehr für %s: der Datenträger ist voll.", name()));
            break;
        case SQLITE_READONLY:
        case SQLITE_PERM:
            set(DbProblem::ReadOnly, readOnlySentence(name()));
            break;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            set(DbProblem::Damaged, strprintf("%s ist beschädigt und wird nicht verändert.", name()));
            break;
        default:
            set(DbProblem::Failed, strprintf("Fehler in der Datenbank %s: %s", name(), sqlite3_errmsg(db_)),
                sqlite3_errmsg(db_));
        }
    }
};

int pragmaInt(sqlite3* db, const char* sql, int& rc) {
    sqlite3_stmt* s = nullptr;
    rc = sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
    int value = 0;
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(s);
        if (rc == SQLITE_ROW) {
            value = sqlite3_column_int(s, 0);
            rc = SQLITE_OK;
        }
    }
    sqlite3_finalize(s);
    return value;
}

// Writes the schema into a fresh file under the write lock (another program may be doing
// the same at this moment; the second one finds the schema there).
int initialise(sqlite3* db) {
    int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return rc;
    const int version = pragmaInt(db, "PRAGMA user_version", rc);
    if (rc == SQLITE_OK && version == 0) {
        const std::string sql = std::string(kSchema) + strprintf("PRAGMA application_id = %d; PRAGMA user_version = %d;",
                                                                 kVolumeApplicationId, kVolumeSchemaVersion);
        rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return rc;
    }
    return sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

}  // namespace

VolumeFileKind classifyVolumeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::array<unsigned char, 512> head{};
    in.read(reinterpret_cast<char*>(head.data()), head.size());
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got == 0) return VolumeFileKind::Empty;
    static constexpr char kMagic[] = "SQLite format 3";  // 16 bytes with the terminating zero
    const bool magic = got >= 16 && std::equal(kMagic, kMagic + 16, head.begin());
    if (!magic) {
        if (got < 16 && std::equal(head.begin(), head.begin() + got, kMagic)) return VolumeFileKind::Truncated;
        for (std::size_t i = 0; i < got; ++i) {
            const unsigned char c = head[i];
            if (c == 0 || (c < 32 && c != '\n' && c != '\r' && c != '\t' && c != '\f')) return VolumeFileKind::Foreign;
        }
        return VolumeFileKind::Text;
    }
    if (got < 100) return VolumeFileKind::Truncated;
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) return VolumeFileKind::Truncated;
    std::uint32_t pageSize = bigEndian(&head[16], 2);
    if (pageSize == 1) pageSize = 65536;
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) return VolumeFileKind::Foreign;
    const std::uint32_t pages = bigEndian(&head[28], 4);
    const bool pagesValid = pages > 0 && bigEndian(&head[24], 4) == bigEndian(&head[92], 4);
    if (pagesValid ? size < static_cast<std::uintmax_t>(pages) * pageSize : size % pageSize != 0)
        return VolumeFileKind::Truncated;
    return VolumeFileKind::Sqlite;
}

MountResult SqliteDbStore::mount(const std::filesystem::path& file, MountMode mode) {
    MountResult result;
    const char* name = file.c_str();
    const auto refuse = [&](DbProblem problem, std::string text, std::string reason = {}) {
        result.error = std::move(text);
        result.failure = {problem, std::move(reason)};
        return std::move(result);
    };
    std::error_code ec;
    const bool exists = std::filesystem::exists(file, ec);
    if (!exists) {
        if (mode == MountMode::OpenExisting) {
            return refuse(DbProblem::Missing, strprintf("Die Datenbank %s gibt es nicht.", name));
        }
        const auto folder = folderOf(file);
        if (!std::filesystem::is_directory(folder, ec)) {
            return refuse(DbProblem::NoFolder, strprintf("Die Datenbank %s kann nicht angelegt werden: den Ordner %s "
                                                         "gibt es nicht.", name, folder.c_str()));
        }
        if (!writable(folder)) {
            return refuse(DbProblem::FolderReadOnly, strprintf("Die Datenbank %s kann nicht angelegt werden: der "
                                                               "Ordner %s ist schreibgeschützt.", name, folder.c_str()));
        }
    } else if (std::filesystem::is_directory(file, ec)) {
        return refuse(DbProblem::IsFolder, strprintf("%s ist ein Ordner und keine VEXA-Datenbank.", name));
    }

    if (exists) {
        // A file that cannot be read must not look empty.
        const int fd = ::open(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            const std::string reason = std::strerror(errno);
            return refuse(DbProblem::Unreadable,
                          strprintf("Die Datenbank %s kann nicht gelesen werden: %s", name, reason.c_str()), reason);
        }
        ::close(fd);
    }
    const VolumeFileKind kind = exists ? classifyVolumeFile(file) : VolumeFileKind::Empty;
    switch (kind) {
    case VolumeFileKind::Text:
        return refuse(DbProblem::TextFile,
                      strprintf("%s ist eine Textdatei und keine VEXA-Datenbank. Die Datei bleibt unverändert.", name));
    case VolumeFileKind::Foreign:
        return refuse(DbProblem::Foreign, strprintf("%s ist keine VEXA-Datenbank. Die Datei bleibt unverändert.", name));
    case VolumeFileKind::Truncated:
        return refuse(DbProblem::Truncated, strprintf("%s ist unvollständig (abgeschnitten) und wird nicht benutzt. "
                                                      "Die Datei bleibt unverändert.", name));
    default: break;
    }

    const bool readOnly = exists && (!writable(file) || !writable(folderOf(file)));
    if (readOnly && kind == VolumeFileKind::Empty) {
        return refuse(DbProblem::EmptyReadOnly, strprintf("%s ist leer und schreibgeschützt.", name));
    }
    sqlite3* db = nullptr;
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    int rc = sqlite3_open_v2(name, &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    // The SQLite connection closed, after its message was taken.
    auto failWith = [&](DbProblem problem, std::string text, std::string reason = {}) {
        sqlite3_close_v2(db);
        return refuse(problem, std::move(text), std::move(reason));
    };
    if (rc != SQLITE_OK)
        return failWith(DbProblem::CannotOpen, strprintf("Die Datenbank %s kann nicht geöffnet werden: %s", name,
                                                         sqlite3_errmsg(db)), sqlite3_errmsg(db));
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db, 0);

    const int applicationId = pragmaInt(db, "PRAGMA application_id", rc);
    const int version = rc == SQLITE_OK ? pragmaInt(db, "PRAGMA user_version", rc) : 0;
    if (rc == SQLITE_BUSY)
        return failWith(DbProblem::Busy, busySentence(name));
    if (rc != SQLITE_OK)
        return failWith(DbProblem::NotVolume, strprintf("%s ist keine VEXA-Datenbank oder beschädigt. Die Datei "
                                                        "bleibt unverändert.", name));
    if (kind == VolumeFileKind::Empty && applicationId == 0 && version == 0) {
        rc = initialise(db);
        if (rc != SQLITE_OK)
            return failWith(DbProblem::CannotCreate, strprintf("Die Datenbank %s kann nicht angelegt werden: %s", name,
                                                               sqlite3_errmsg(db)), sqlite3_errmsg(db));
    } else if (applicationId != kVolumeApplicationId) {
        return failWith(DbProblem::OtherSqlite, strprintf("%s ist eine SQLite-Datei, aber keine VEXA-Datenbank. "
                                                          "Die Datei bleibt unverändert.", name));
    } else if (version > kVolumeSchemaVersion) {
        return failWith(DbProblem::Newer, strprintf("%s stammt von einer neueren VEXA-Version (Datenbankformat %d, "
                                                    "diese Version kennt Format %d). Die Datei bleibt unverändert.",
                                                    name, version, kVolumeSchemaVersion));
    }
    result.volume = std::make_unique<SqliteVolume>(db, file, readOnly);
    return result;
}

}  // namespace vexa
