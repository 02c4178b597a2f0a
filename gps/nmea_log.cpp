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

    bool opened;
    {
        std::lock_guard lock(log.mutex);
        closeLocked(log);
        log.file = std::fopen(path.c_str(), "wb");
        log.path = path;
        opened = log.file != nullptr;
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
