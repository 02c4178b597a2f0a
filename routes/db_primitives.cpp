#include "routes/db_primitives.h"

#include <cerrno>

#include "util/diagnostic_text.h"
#include "platform/paths.h"
#include "platform/ui.h"
#include "util/text.h"

namespace vexa {

namespace {

constexpr const char* kDbCaption = "Datenbank";

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::unique_ptr<DbVolume> MountDBVol(DbContext& db, const std::filesystem::path& file, DbFailure* refusal) {
    AddNmeaListLine(db.log, strprintf("Mount DB Volume %s", file.c_str()));
    MountResult mounted = db.store.mount(file, MountMode::OpenAlways);
    if (!mounted.volume) {
        AddNmeaListLine(db.log, "Could not open database volume");
        AddNmeaListLine(db.log, mounted.error);
        db.ui.messageBox(mounted.error, kDbCaption, MessageButtons::Ok, MessageIcon::Error);
        if (refusal) *refusal = mounted.failure;
        return nullptr;
    }
    AddNmeaListLine(db.log, strprintf("DB Volume %s mounted", file.c_str()));
    return std::move(mounted.volume);
}

void UnMountDBVol(DbContext& db, std::unique_ptr<DbVolume>& volume) {
    if (!volume) return;
    volume.reset();
    AddNmeaListLine(db.log, "Database volume unmounted");
}

DbCreate CreateDB(DbContext& db, DbVolume& volume, std::string_view name) {
    std::error_code ec;
    std::filesystem::create_directories(vexaDir(), ec);
    const DbCreate created = volume.create(name, kRouteDbType, kSortProperty);
    if (created == DbCreate::Created) {
        AddNmeaListLine(db.log, "Database created");
    } else {
        AddNmeaListLine(db.log, "Could not create database");
        if (created == DbCreate::Failed) AddNmeaListLine(db.log, volume.error());
    }
    return created;
}

std::optional<DbOid> openDBstruct(DbContext& db, DbVolume& volume, std::string_view name) {
    const std::string n(name);
    AddNmeaListLine(db.log, strprintf("open database %s", n.c_str()));
    auto oid = volume.find(name);
    if (!oid) AddNmeaListLine(db.log, strprintf("Could not open database %s", n.c_str()));
    return oid;
}

void CloseDB(DbContext& db) { AddNmeaListLine(db.log, "Database closed"); }

bool ListDB(DbContext& db, DbVolume& volume, DbListing& listing) {
    const auto oids = volume.databases();
    if (!oids) {
        AddNmeaListLine(db.log, "Could not enumerate databases");
        AddNmeaListLine(db.log, volume.error());
        return false;
    }
    for (DbOid oid : *oids) ListDBInfo(db, volume, oid, listing);
    return !oids->empty();
}

bool ListDBInfo(DbContext& db, DbVolume& volume, DbOid oid, DbListing& listing) {
    const auto info = volume.info(oid);
    if (!info) {
        AddNmeaListLine(db.log, "Could not get database information");
        return false;
    }
    AddNmeaListLine(db.log, "DB: " + info->name);
    AddNmeaListLine(db.log, strprintf("Size = %d", static_cast<int>(info->size)));
    AddNmeaListLine(db.log, strprintf("Recs = %d", info->records));
    if (info->name == kPoiDbName) {
        listing.poiCount += info->records;
    } else if (!startsWith(info->name, "MSys") && listing.routes.size() < listing.routeCapacity) {
        AddNmeaListLine(db.log, strprintf("Listing Tracks %-30s", info->name.c_str()));
        listing.routes.push_back({info->name, info->records, info->modifiedMs, oid, false});
    }
    return true;
}

bool ListingDBVol(DbContext& db, const std::filesystem::path& file, DbListing& listing, std::string* reason) {
    MountResult mounted = db.store.mount(file, MountMode::OpenExisting);
    if (!mounted.volume) {
        const std::string text = strprintf("Could not open database %s", file.c_str());
        AddNmeaListLine(db.log, text);
        ReportSystemError(db.log, __LINE__, mounted.missing() ? ENOENT : EIO, text);
        if (!mounted.missing()) AddNmeaListLine(db.log, mounted.error);
        if (reason && !mounted.missing()) *reason = mounted.error;
        return false;
    }
    ListDB(db, *mounted.volume, listing);
    return true;
}

DbOid WriteDBRecord(DbContext& db, DbVolume& volume, DbOid database, std::string_view name, char datumCode,
                    double lon, double lat, int value, DbOid record) {
    const std::vector<std::string> texts = {std::string(name), std::string(1, datumCode), strprintf("%7.5f", lon),
                                            strprintf("%7.5f", lat), strprintf("%d", value)};
    const DbOid oid = volume.write(database, record, texts);
    if (oid == 0) {
        AddNmeaListLine(db.log, "Record write failed");
        AddNmeaListLine(db.log, volume.error());
    }
    return oid;
}

void ReportMountFailure(DbContext& db, int sourceLine, const std::filesystem::path& file) {
    ReportSystemError(db.log, sourceLine, errno, strprintf("Mount Database Volume %s failed", file.c_str()));
}

}  // namespace vexa
