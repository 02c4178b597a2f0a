// The POI import: a ";"-separated text file becomes a new POI volume next to it.
//
// One POI a line (routes/poi_text.h): name;datum code;longitude;latitude;rest. Code "1" marks
// degrees, minutes and seconds (DDDMMSS;DDMMSS), converted when read back. Texts that are not
// UTF-8 are taken as Latin-1. Lines whose coordinates are no numbers are left out (their
// numbers go to the diagnostic text); a text without a single readable line imports nothing.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "routes/db_primitives.h"
#include "routes/route_db.h"

namespace vexa {

// The volume the file becomes: its name up to the first "." with ".cdb"; nullopt without one.
std::optional<std::filesystem::path> importVolumeFor(const std::filesystem::path& file);

// Why nothing was imported: the file's name gives no volume name, the volume was refused, it
// holds POIs already, the text has no readable POI line, or the volume could not be written;
// with the volume's reason for the refusal and the write.
struct PoiImportFailure {
    enum class Kind { NoVolumeName, VolumeRefused, Exists, NoReadableLine, NotWritten } kind{};
    DbFailure volume;
};

// Imports the file's text into the POI volume at `path` in one transaction and tells the user
// the result. Returns the volume (the caller makes it the current POI volume), nullopt when
// nothing was imported, with why in `failure` when given; a volume it created is then removed
// again.
std::optional<std::filesystem::path> importPoisInto(DbContext& db, std::string_view text,
                                                    const std::filesystem::path& path,
                                                    const std::filesystem::path& file, const Progress& progress,
                                                    PoiImportFailure* failure = nullptr);
// The same into the volume the file's name gives (`importVolumeFor`).
std::optional<std::filesystem::path> ImportDB(DbContext& db, std::string_view text,
                                              const std::filesystem::path& file, const Progress& progress,
                                              PoiImportFailure* failure = nullptr);
// Writes the POIs of the text; returns how many were written.
int ParsePoiFile(DbContext& db, DbVolume& volume, DbOid database, std::string_view text, const Progress& progress);

}  // namespace vexa
