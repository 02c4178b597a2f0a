#include "exchange/ovl_reader.h"

#include "exchange/number_text.h"
#include "exchange/route_import.h"
#include "platform/ui.h"
#include "routes/route_table.h"
#include "util/text.h"

namespace vexa {

namespace {

// The next line of `rest`, without its "\n" or "\r\n"; `rest` moves past it.
std::string_view nextLine(std::string_view& rest) {
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

// The number after the line's first "=".
bool valueOf(std::string_view line, double& value) {
    const std::size_t eq = line.find('=');
    return eq != std::string_view::npos && readLeadingNumber(line.substr(eq + 1), value);
}

// Binary overlays (the format of the map programs' own files) hold zero bytes near the start;
// text overlays never do.
bool looksBinary(std::string_view bytes) {
    return bytes.substr(0, 4096).find('\0') != std::string_view::npos;
}

}  // namespace

bool parseOVL(std::string_view bytes, ImportTarget& target) {
    target.route.count = 0;
    if (looksBinary(bytes)) {
        reportImport(target,
                     "Binäre Overlay Datei: nur Text-Overlays mit XKoord/YKoord können gelesen werden",
                     kOvlCaption);
        return false;
    }
    std::string_view rest = bytes;
    while (!rest.empty() && !routeFull(target)) {
        const std::string_view line = nextLine(rest);
        if (!line.starts_with("XKoord")) continue;
        double lon = 0.0;
        const bool haveLon = valueOf(line, lon);
        // The very next line must hold the latitude; otherwise it is looked at afresh.
        std::string_view after = rest;
        const std::string_view next = nextLine(after);
        if (!next.starts_with("YKoord")) continue;
        rest = after;
        double lat = 0.0;
        if (haveLon && valueOf(next, lat)) addImportedPoint(target, lon, lat, 0, true);
    }
    if (routeFull(target))
        target.ui.messageBox(strprintf("Overlay hat mehr als %d Punkte", kRouteCapacity), "");
    else if (target.route.count == 0)
        reportImport(target, "Die Overlay Datei enthält keine Route", kOvlCaption);
    return target.route.count > 0;
}

}  // namespace vexa
