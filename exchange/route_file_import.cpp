#include "exchange/route_file_import.h"

#include <cstdio>
#include <memory>

#include "exchange/gpx_reader.h"
#include "exchange/kml_reader.h"
#include "exchange/kmz_archive.h"
#include "exchange/ovl_reader.h"

namespace vexa {

namespace {

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return out;
}

}  // namespace

std::string fileFormatOf(const std::filesystem::path& file) {
    const std::string ext = file.extension().string();
    return asciiLower(ext.empty() ? ext : ext.substr(1));
}

bool isRouteFileExtension(std::string_view extension) {
    const std::string ext = asciiLower(extension);
    return ext == "kml" || ext == "kmz" || ext == "ovl" || ext == "gpx";
}

RouteFileContent ImportRouteFile(std::string_view extension, std::string_view bytes, ImportTarget& target) {
    RouteFileContent content;
    const std::string ext = asciiLower(extension);
    if (ext == "kml" || ext == "kmz") {
        content.route = ParseKML(bytes, target);
    } else if (ext == "ovl") {
        content.route = parseOVL(bytes, target);
    } else if (ext == "gpx") {
        GpxContent gpx = ParseGPX(bytes, target);
        content.route = gpx.routePoints > 0;
        content.waypoints = std::move(gpx.waypoints);
    }
    return content;
}

std::optional<std::string> readWholeFile(const std::filesystem::path& file) {
    const std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(file.c_str(), "rb"), &std::fclose);
    if (!f) return std::nullopt;
    std::string bytes;
    // Sized once: a string grown by doubling would briefly hold the file one and a half times.
    if (std::fseek(f.get(), 0, SEEK_END) == 0) {
        const long size = std::ftell(f.get());
        if (size > 0) bytes.reserve(static_cast<std::size_t>(size));
        std::rewind(f.get());
    }
    char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) bytes.append(buffer, n);
    if (std::ferror(f.get())) return std::nullopt;
    return bytes;
}

}  // namespace vexa

namespace vexa {

std::optional<std::string> readRouteFile(const std::filesystem::path& file) {
    return fileFormatOf(file) == "kmz" ? readKmzDocument(file) : readWholeFile(file);
}

}  // namespace vexa
