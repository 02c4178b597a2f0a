#include "exchange/kmz_archive.h"

#include <minizip/unzip.h>

#include <memory>

namespace vexa {

namespace {

struct Closer {
    void operator()(void* zip) const { unzClose(zip); }
};

bool isKmlName(std::string_view name) {
    if (name.size() < 4) return false;
    std::string ext(name.substr(name.size() - 4));
    for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ext == ".kml";
}

}  // namespace

std::optional<std::string> readKmzDocument(const std::filesystem::path& file, std::size_t limit) {
    const std::unique_ptr<void, Closer> zip(unzOpen64(file.c_str()));
    if (!zip) return std::nullopt;
    for (int found = unzGoToFirstFile(zip.get()); found == UNZ_OK; found = unzGoToNextFile(zip.get())) {
        unz_file_info64 info{};
        char name[512] = {};
        if (unzGetCurrentFileInfo64(zip.get(), &info, name, sizeof name - 1, nullptr, 0, nullptr, 0) != UNZ_OK)
            return std::nullopt;
        if (!isKmlName(name)) continue;
        if (unzOpenCurrentFile(zip.get()) != UNZ_OK) return std::nullopt;
        std::string document;
        char buffer[1 << 16];
        int n = 0;
        // The size in the directory may lie; the limit holds for what actually unpacks.
        while ((n = unzReadCurrentFile(zip.get(), buffer, sizeof buffer)) > 0 && document.size() <= limit)
            document.append(buffer, static_cast<std::size_t>(n));
        unzCloseCurrentFile(zip.get());
        if (n < 0 || document.size() > limit) return std::nullopt;
        return document;
    }
    return std::nullopt;
}

}  // namespace vexa
