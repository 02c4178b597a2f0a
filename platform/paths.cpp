#include "platform/paths.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace vexa {

namespace {

std::filesystem::path homeDir() {
    const char* home = std::getenv("HOME");
    return (home && *home) ? std::filesystem::path(home) : std::filesystem::path("/tmp");
}

std::filesystem::path configHome() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/') return config;
    return homeDir() / ".config";
}

// XDG_DOCUMENTS_DIR from user-dirs.dirs: a line such as XDG_DOCUMENTS_DIR="$HOME/Dokumente".
std::filesystem::path xdgDocumentsDir() {
    std::ifstream in(configHome() / "user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) return homeDir() / value.substr(value.size() > 5 ? 6 : 5);
        if (!value.empty() && value.front() == '/') return value;
    }
    return homeDir() / "Documents";
}

}  // namespace

std::filesystem::path myDocumentsDir() {
    const char* home = std::getenv("VEXA_HOME");
    if (home && *home) return home;
    return xdgDocumentsDir();
}

std::filesystem::path vexaDir() { return myDocumentsDir() / "vexa"; }

std::filesystem::path settingsFile() { return configHome() / "KL" / "VEXA.conf"; }

std::filesystem::path logDirectory(std::string_view storedLogDir) {
    if (storedLogDir.empty() || storedLogDir == "\\") return vexaDir();
    return std::filesystem::path(storedLogDir);
}

}  // namespace vexa
