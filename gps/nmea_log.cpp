#include "gps/nmea_log.h"

#include <unistd.h>

#include "util/diagnostic_text.h"
#include "frame/settings.h"
#include "frame/settings_store.h"
#include "platform/clock.h"
#include "platform/ui.h"
#include "util/text.h"

namespace vexa {

namespace {

constexpr std::size_t kFlushAfterChars = 1000;

void closeLocked(NmeaLog& log) {
    if (log.file) {
        std::fflush(log.file);
        ::fsync(::fileno(log.file));
        std::fclose(log.file);
        log.file = nullptr;
    }
    log.charsSinceFlush = 0;
    log.active.store(false);
}

// An existing file that may be written, or a new name in a folder that may be written.
bool canCreate(const std::filesystem::path& path) {
    if (::access(path.c_str(), F_OK) == 0) return ::access(path.c_str(), W_OK) == 0 && !std::filesystem::is_directory(path);
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

NmeaLog::~NmeaLog() {
    std::lock_guard lock(mutex);
    closeLocked(*this);
}

std::string defaultLogFileName(const Clock& clock) {
    const DateTime t = clock.localNow();
    return strprintf("NmeaLog_%4d%02d%02d_%02d%02d.txt", t.year, t.month, t.day, t.hour, t.minute);
}

bool OpenLogFile(NmeaLog& log, Settings& settings, SettingsStore& store, Ui& ui,
                 DiagnosticText& diagnostics, const Clock& clock,
                 const std::filesystem::path& folder, bool askUser) {
    diagnostics.setCurrentOperation("OpenLogFile");
    const std::string name = defaultLogFileName(clock);
    std::filesystem::path path = folder / name;
    if (askUser) {
        const auto chosen = ui.saveFileName(
            {"", folder, name, "NMEA-Log File (*.txt);;KT4-Route (*.gps);;All Files (*.*)"});
        if (!chosen) return log.active.load();
        path = *chosen;
    }

    // The file itself is created by the first sentence: a start that receives nothing leaves
    // no empty log behind. Whether it can be created is known now.
    const bool opened = canCreate(path);
    {
        std::lock_guard lock(log.mutex);
        closeLocked(log);
        log.path = path;
        log.active.store(opened);
    }
    AddNmeaListLine(diagnostics, strprintf("Logging auf %s", path.c_str()));

    std::string dir = path.parent_path().string();
    if (dir.empty() || dir.back() != '/') dir += '/';
    settings.LogDir = dir;
    RegCreateLogdir(store, dir);

    if (!opened) ui.messageBox("Fehler Open FileLog", "", MessageButtons::Ok, MessageIcon::Error);
    return opened;
}

void WriteLogFile(NmeaLog& log, std::string_view sentence) {
    std::lock_guard lock(log.mutex);
    if (!log.file && log.active.load()) {
        log.file = std::fopen(log.path.c_str(), "wb");
        if (!log.file) log.active.store(false);
    }
    if (!log.file) return;
    // Write errors are not reported: the next flush comes after another 1000 characters.
    std::fwrite(sentence.data(), 1, sentence.size(), log.file);
    std::fputc('\n', log.file);
    log.charsSinceFlush += sentence.size();
    if (log.charsSinceFlush > kFlushAfterChars) {
        std::fflush(log.file);
        log.charsSinceFlush = 0;
    }
}

void CloseLogFile(NmeaLog& log) {
    std::lock_guard lock(log.mutex);
    closeLocked(log);
}

}  // namespace vexa
