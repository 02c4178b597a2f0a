// libFuzzer target: arbitrary bytes as the settings file, read as the program reads it at
// start-up, then one text written and read back. A text must come back as it was written,
// whatever the file held before, and the log values must stay in their ranges.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "util/diagnostic_text.h"
#include "frame/settings_store.h"
#include "platform/linux/file_settings_storage.h"
#include "platform/testing/scripted_ui.h"
#include "tests/support/temp_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vexa;
    static const testing::TempDir scratch(testing::memoryTempDirectory());
    const std::filesystem::path file = scratch / "KL" / "VEXA.conf";
    std::filesystem::create_directories(file.parent_path());
    // The input: the file's content, then after the last 0xFF byte a text to store.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t split = bytes.rfind('\xff');
    const std::string content = split == std::string::npos ? bytes : bytes.substr(0, split);
    const std::string text = split == std::string::npos ? std::string() : bytes.substr(split + 1);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << content;

    FileSettingsStorage storage(file);
    ScriptedUi ui;
    DiagnosticText diagnostics;
    SettingsStore store{storage, ui, diagnostics};
    Settings settings;
    LoadStartupSettings(store, settings);
    if (settings.itracemax < 0 || settings.itracemax > kTraceMaxLimit || settings.imindist < 0 ||
        settings.iCom < 1 || settings.iCom > 8)
        std::abort();
    std::string mapDir;
    RegQueryKartdir(store, mapDir);
    int font = 0, fontSize = 0;
    RegQueryFont(store, {"Sans", "Serif"}, font, fontSize);
    for (int port = 1; port <= 8; ++port) (void)RegQueryComDevice(store, port);

    RegCreateLogdir(store, text);
    std::string logDir;
    if (!RegQueryLogdir(store, logDir) || logDir != text) std::abort();
    return 0;
}
