// The POI text shared by the POI import and the CSV export: name;code;lon;lat;rest, one POI a
// line. Fields are separated by ";" (runs count as one, so the fifth field is required), the
// rest of the line is passed over. A name that holds ";" or '"' is written in double quotes,
// a quote in it doubled. A first line whose longitude field is a title ("Lon", "Longitude")
// is the header line and is passed over.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// The header line the CSV export writes first.
inline constexpr std::string_view kPoiTextHeader = "Name;Datum;Lon;Lat;Hoehe\n";

struct PoiTextLine {
    std::string name;  // without its quotes, 8-bit or UTF-8 as in the file
    std::string_view code;
    std::string_view lon;
    std::string_view lat;
    int line = 0;      // the line the POI stands on, from 1
};

class PoiTextReader {
public:
    explicit PoiTextReader(std::string_view text) : text_(text) {}
    // The next POI line; none at the end of the text or at a missing field.
    std::optional<PoiTextLine> next();
    // How far the text has been read, in bytes.
    std::size_t position() const { return pos_; }

private:
    std::optional<std::string_view> token(std::string_view separators);
    std::optional<std::string> name();
    int lineAt(std::size_t pos);

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t counted_ = 0;  // line breaks are counted up to here
    int line_ = 1;
    bool first_ = true;
};

// The name as a field of the text: quoted when it holds ";" or '"'.
std::string poiTextName(std::string_view name);

// Whether a coordinate field reads as a finite number ("abc", "nan" and "inf" do not).
bool poiCoordinateReadable(std::string_view text);

}  // namespace vexa
