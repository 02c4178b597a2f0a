// Database volumes in SQLite files: one .cdb file per volume.
//
// Inside the file: a table of databases (name, type, sort property, record count, size,
// modification time) and a table of records (object id, database, up to five texts). The file
// carries the application id 'VEXA' and its schema version in `PRAGMA user_version`, so that
// other SQLite files are refused and later releases can migrate. Writers take SQLite's file
// lock and wait up to five seconds for another program's; the rollback journal keeps a killed
// writer from leaving half a transaction behind.
#pragma once

#include "platform/db_volume.h"

namespace vexa {

inline constexpr int kVolumeSchemaVersion = 1;
inline constexpr int kVolumeApplicationId = 0x56455841;  // "VEXA"

class SqliteDbStore : public DbStore {
public:
    MountResult mount(const std::filesystem::path& file, MountMode mode) override;
};

// What the first bytes of an existing file say about it, before SQLite is asked.
enum class VolumeFileKind { Empty, Sqlite, Truncated, Text, Foreign };
VolumeFileKind classifyVolumeFile(const std::filesystem::path& file);

}  // namespace vexa
