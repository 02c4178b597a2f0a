#include "routes/poi_import.h"

#include <cerrno>

#include "util/diagnostic_text.h"
#include "platform/ui.h"
#include "util/text.h"

namespace vexa {

namespace {

// Splits like wcstok: leading separators are skipped, the token ends at the next separator,
// which is consumed.
class Tokens {
public:
    explicit Tokens(std::string_view text) : text_(text) {}

    std::optional<std::string_view> next(std::string_view separators) {
        const std::size_t start = text_.find_first_not_of(separators, pos_);
        if (start == std::string_view::npos) {
            pos_ = text_.size();
            return std::nullopt;
        }
        std::size_t end = text_.find_first_of(separators, start);
        if (end == std::string_view::npos) end = text_.size();
        pos_ = std::min(end + 1, text_.size());
        return text_.substr(start, end - start);
    }
    std::size_t position() const { return pos_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

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
    Tokens tokens(text);
    int written = 0;
    int lastPercent = -1;
    for (;;) {
        auto name = tokens.next(";");
        if (name) name->remove_prefix(std::min(name->find_first_not_of("\r\n"), name->size()));
        const auto code = tokens.next(";");
        const auto lon = tokens.next(";");
        const auto lat = tokens.next(";");
        if (!name || !code || !lon || !lat) break;
        tokens.next("\n");
        const std::vector<std::string> texts = {field(*name, 127), field(*code, 3), field(*lon, 31), field(*lat, 31), "0"};
        AddNmeaListLine(db.log, texts[0]);
        if (volume.write(database, 0, texts) != 0) {
            ++written;
        } else if (volume.full()) {
            AddNmeaListLine(db.log, "WritePoiRecord ERROR_DISK_FULL");
            break;
        } else {
            ReportSystemError(db.log, __LINE__, EIO, "WritePoiRecord Record write failed");
        }
        const int percent = static_cast<int>(tokens.position() * 100 / std::max<std::size_t>(text.size(), 1));
        if (progress && percent != lastPercent) progress(lastPercent = percent);
    }
    return written;
}

std::optional<std::filesystem::path> ImportDB(DbContext& db, std::string_view text,
                                              const std::filesystem::path& file, const Progress& progress) {
    const auto path = importVolumeFor(file);
    if (!path) {
        AddNmeaListLine(db.log, file.string());
        AddNmeaListLine(db.log, "ImportDB Invalid Filename");
        return std::nullopt;
    }
    auto volume = MountDBVol(db, *path);
    if (!volume) {
        ReportMountFailure(db, __LINE__, *path);
        return std::nullopt;
    }
    const bool begun = volume->begin();
    const DbCreate created = begun ? CreateDB(db, *volume, kPoiDbName) : DbCreate::Failed;
    if (created == DbCreate::Exists) {
        volume->rollback();
        UnMountDBVol(db, volume);
        db.ui.messageBox(strprintf("POI Database \n%s\n existiert bereits", path->c_str()), "Import Error");
        return std::nullopt;
    }
    const auto database = created == DbCreate::Created ? openDBstruct(db, *volume, kPoiDbName) : std::nullopt;
    if (database) {
        ParsePoiFile(db, *volume, *database, text, progress);
        CloseDB(db);
    }
    if (!database || !volume->commit()) {
        const std::string reason = volume->error();
        volume->rollback();
        UnMountDBVol(db, volume);
        db.ui.messageBox(strprintf("POI Database \n%s\n konnte nicht angelegt werden.\n%s", path->c_str(),
                                   reason.c_str()),
                         "Import Error", MessageButtons::Ok, MessageIcon::Error);
        return std::nullopt;
    }
    UnMountDBVol(db, volume);
    db.ui.messageBox(strprintf("POI Database \n%s\n Import Ok", path->c_str()), "Import Ok");
    return path;
}

}  // namespace vexa
