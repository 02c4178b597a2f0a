// Database volumes: files that hold named databases of ordered records of up to five texts.
//
// A volume keeps databases by name; each database has a type, the property it is sorted by
// and a modification time, and holds records with stable object ids. Records are read back
// sorted by their first text, then in writing order. The route and POI databases are built on
// these primitives and never see how a volume is stored (platform/linux/ keeps each volume in
// one SQLite file).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

using DbOid = std::uint32_t;  // 0 is never a valid object id

inline constexpr std::size_t kDbRecordTexts = 5;

struct DbRecord {
    DbOid oid = 0;
    std::vector<std::string> texts;  // in the order they were written, at most five
};

struct DbInfo {
    DbOid oid = 0;
    std::string name;
    std::uint32_t type = 0;
    int records = 0;
    std::int64_t size = 0;        // bytes of text held by the records
    std::int64_t modifiedMs = 0;  // milliseconds since 1970-01-01 UTC
};

enum class DbCreate { Created, Exists, Failed };

// Why a volume was refused, or why the last call on a mounted one failed: the German sentence
// of error() as a value, for callers that say it in their own words.
enum class DbProblem {
    None,
    // Refusals of a mount.
    Missing,         // OpenExisting on a file that does not exist
    NoFolder,        // the folder to create the file in does not exist
    FolderReadOnly,  // ... or is read-only
    IsFolder,
    Unreadable,      // the file cannot be read (reason: the system's)
    TextFile,
    Foreign,         // neither a volume nor text
    Truncated,
    EmptyReadOnly,
    CannotOpen,      // reason: SQLite's
    NotVolume,       // a file SQLite does not take: not a volume, or damaged
    OtherSqlite,     // an SQLite file of another program
    Newer,           // written by a newer version
    CannotCreate,    // reason: SQLite's
    // Failures of a mount or of a call.
    Busy,
    // Failures of a call.
    Full,
    ReadOnly,
    Damaged,
    NoSuchDatabase,
    NoSuchRecord,
    Failed,          // reason: SQLite's
};

struct DbFailure {
    DbProblem problem = DbProblem::None;
    std::string reason;  // the system's or SQLite's own text, for the problems noted above
};

// Reads a database's records one at a time; the database stays open while the cursor lives.
class DbCursor {
public:
    virtual ~DbCursor() = default;
    virtual std::optional<DbRecord> next() = 0;
};

// A mounted volume. Every call reports failure by its result; error() then says why, in German.
class DbVolume {
public:
    virtual ~DbVolume() = default;

    virtual const std::filesystem::path& path() const = 0;
    virtual bool readOnly() const = 0;

    // The object ids of all databases, in creation order; nullopt when they cannot be read.
    virtual std::optional<std::vector<DbOid>> databases() = 0;
    virtual std::optional<DbInfo> info(DbOid database) = 0;
    virtual DbCreate create(std::string_view name, std::uint32_t type, int sortProperty) = 0;
    virtual std::optional<DbOid> find(std::string_view name) = 0;
    virtual bool remove(DbOid database) = 0;

    // Writes a record of up to five texts: oid 0 appends a new one, another oid replaces that
    // record's texts. Returns the record's oid, 0 on failure.
    virtual DbOid write(DbOid database, DbOid record, const std::vector<std::string>& texts) = 0;
    virtual bool removeRecord(DbOid database, DbOid record) = 0;
    virtual std::unique_ptr<DbCursor> read(DbOid database) = 0;

    // A transaction: everything written between begin and commit lands at once or not at all.
    // A volume that is not committed when unmounted is rolled back.
    virtual bool begin() = 0;
    virtual bool commit() = 0;
    virtual void rollback() = 0;

    // Why the last call failed: a German sentence naming the file, and the same as a value.
    virtual std::string error() const = 0;
    virtual DbFailure failure() const = 0;
    // True when the last failure was a full disk or store.
    virtual bool full() const = 0;
};

enum class MountMode { OpenAlways, OpenExisting };

struct MountResult {
    std::unique_ptr<DbVolume> volume;
    std::string error;  // German, naming the file, when volume is null
    DbFailure failure;  // the same as a value
    bool missing() const { return failure.problem == DbProblem::Missing; }
};

// Opens volume files. Two programs may mount the same file at once: writers wait for each
// other (a few seconds at most) instead of failing or damaging it.
class DbStore {
public:
    virtual ~DbStore() = default;
    virtual MountResult mount(const std::filesystem::path& file, MountMode mode) = 0;
};

}  // namespace vexa
