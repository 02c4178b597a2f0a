#include "routes/poi_import.h"

#include <cerrno>

#include "util/diagnostic_text.h"
#include "platform/ui.h"
#include "routes/poi_text.h"
#include "util/text.h"

namespace vexa {

namespace {

std::string field(std::string_view raw, std::size_t chars) {
    const std::string text = isValidUtf8(raw) ? std::string(raw) : latin1ToUtf8(raw);
    return std::string(utf8Prefix(text, chars));
}

}  // namespace

std::optional<std::filesystem::path> importVolumeFor(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    const std::size_t dot = name.find('.');
    if (dot == std::string::npos || dot == 0) return std::nullopt;
    return file.parent_path() / (name.substr(0, dot) + ".cdb");
}

int ParsePoiFile(DbContext& db, DbVolume& volume, DbOid database, std::string_view text, const Progress& progress) {
    PoiTextReader reader(text);
    int written = 0;
    int lastPercent = -1;
    while (auto line = reader.next()) {
        // Every line read counts, a skipped one too, so the bar reaches its end.
        const int percent = static_cast<int>(reader.position() * 100 / std::max<std::size_t>(text.size(), 1));
        if (progress && percent != lastPercent) progress(lastPercent = percent);
        if (!poiCoordinateReadable(line->lon) || !poiCoordinateReadable(line->lat)) {
            AddNmeaListLine(db.log, strprintf("Zeile %d: Koordinaten nicht lesbar, übersprungen", line->line));
            continue;
        }
        const std::vector<std::string> texts = {field(line->name, 127), field(line->code, 3), field(line->lon, 31),
                                                field(line->lat, 31), "0"};
        AddNmeaListLine(db.log, texts[0]);
        if (volume.write(database, 0, texts) != 0) {
            ++written;
        } else if (volume.full()) {
            AddNmeaListLine(db.log, "WritePoiRecord ERROR_DISK_FULL");
            break;
        } else {
            ReportSystemError(db.log, __LINE__, EIO, "WritePoiRecord Record write failed");
        }
    }
    return written;
}

std::optional<std::filesystem::path> importPoisInto(DbContext& db, std::string_view text,
                                                    const std::filesystem::path& path,
                                                    const std::filesystem::path& file, const Progress& progress,
                                                    PoiImportFailure* failure) {
    PoiImportFailure unasked;
    PoiImportFailure& told = failure ? *failure : unasked;
    using Kind = PoiImportFailure::Kind;
    std::error_code ec;
    const bool existed = std::filesystem::exists(path, ec);
    auto volume = MountDBVol(db, path, &told.volume);
    // A volume this import created and could not fill goes again: no empty file is left.
    const auto removeNew = [&] {
        if (!existed) std::filesystem::remove(path, ec);
    };
    if (!volume) {
        told.kind = Kind::VolumeRefused;
        ReportMountFailure(db, __LINE__, path);
        removeNew();
        return std::nullopt;
    }
    const bool begun = volume->begin();
    const DbCreate created = begun ? CreateDB(db, *volume, kPoiDbName) : DbCreate::Failed;
    if (created == DbCreate::Exists) {
        told.kind = Kind::Exists;
        volume->rollback();
        UnMountDBVol(db, volume);
        db.ui.messageBox(strprintf("POI Database \n%s\n existiert bereits", path.c_str()), "Import Error");
        return std::nullopt;
    }
    const auto database = created == DbCreate::Created ? openDBstruct(db, *volume, kPoiDbName) : std::nullopt;
    int written = 0;
    if (database) {
        written = ParsePoiFile(db, *volume, *database, text, progress);
        CloseDB(db);
    }
    if (database && written == 0) {
        told.kind = Kind::NoReadableLine;
        volume->rollback();
        UnMountDBVol(db, volume);
        removeNew();
        db.ui.messageBox(strprintf("%s\nenthält keine lesbare POI Zeile", file.c_str()), "Import Error",
                         MessageButtons::Ok, MessageIcon::Error);
        return std::nullopt;
    }
    if (!database || !volume->commit()) {
        const std::string reason = volume->error();
        told = {Kind::NotWritten, volume->failure()};
        volume->rollback();
        UnMountDBVol(db, volume);
        removeNew();
        db.ui.messageBox(strprintf("POI Database \n%s\n konnte nicht angelegt werden.\n%s", path.c_str(),
                                   reason.c_str()),
                         "Import Error", MessageButtons::Ok, MessageIcon::Error);
        return std::nullopt;
    }
    UnMountDBVol(db, volume);
    db.ui.messageBox(strprintf("POI Database \n%s\n Import Ok", path.c_str()), "Import Ok");
    return path;
}

std::optional<std::filesystem::path> ImportDB(DbContext& db, std::string_view text,
                                              const std::filesystem::path& file, const Progress& progress,
                                              PoiImportFailure* failure) {
    if (const auto path = importVolumeFor(file)) return importPoisInto(db, text, *path, file, progress, failure);
    if (failure) failure->kind = PoiImportFailure::Kind::NoVolumeName;
    AddNmeaListLine(db.log, file.string());
    AddNmeaListLine(db.log, "ImportDB Invalid Filename");
    return std::nullopt;
}

}  // namespace vexa
