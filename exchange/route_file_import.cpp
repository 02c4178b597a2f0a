#include "exchange/route_file_import.h"

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
        content.route = ParseKML(bytes, target, &content.waypoints);
    } else if (ext == "ovl") {
        content.route = parseOVL(bytes, target);
    } else if (ext == "gpx") {
        GpxContent gpx = ParseGPX(bytes, target);
        content.route = gpx.routePoints > 0;
        content.waypoints = std::move(gpx.waypoints);
    }
    return content;
}

InputFile readRouteFile(const std::filesystem::path& file) {
    if (fileFormatOf(file) != "kmz") return readInputFile(file);
    InputFile input = checkInputFile(file);
    if (!input) return input;
    if (auto document = readKmzDocument(file)) input.bytes = std::move(*document);
    else input.problem = InputFile::Problem::ReadFailed;  // no zip, no KML inside, or a zip bomb
    return input;
}

}  // namespace vexa
