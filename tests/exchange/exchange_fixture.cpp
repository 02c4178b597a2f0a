#include "exchange_fixture.h"

#include "util/text.h"

namespace vexa::testing {

std::vector<std::string> ExchangeFixture::messages() const {
    std::vector<std::string> texts;
    for (const auto& m : ui.messages()) texts.push_back(m.text);
    return texts;
}

bool ExchangeFixture::diagnosed(const std::string& line) const {
    return diagnostics.text().find(line + "\r\n") != std::string::npos;
}

void ExchangeFixture::setRoute(const std::vector<std::array<double, 3>>& points) {
    clearImportedRoute(target);
    for (const auto& [lon, lat, alt] : points) addImportedPoint(target, lon, lat, static_cast<int>(alt));
}

std::string kmlWithLines(const std::vector<std::string>& coordinates) {
    std::string kml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<kml xmlns=\"http://www.opengis.net/kml/2.2\"><Document>\n";
    for (const auto& c : coordinates)
        kml += "<Placemark><LineString><coordinates>" + c + "</coordinates></LineString></Placemark>\n";
    return kml + "</Document></kml>\n";
}

std::string coordinateLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += strprintf("%.6f,%.6f,%d\n", 9.0 + i * 1e-4, 53.0 + i * 5e-5, i % 500);
    return text;
}

}  // namespace vexa::testing
