#include "display/view_layout.h"

#include <QFontMetrics>

#include "display/big_display.h"
#include "display/gps_layout.h"
#include "display/text_drawing.h"
#include "maps/render/map_view_layout.h"

namespace vexa {

namespace {

// An info line spans the screen's width less its margins; longer texts are cut to it.
LayoutElement infoLine(const char* name, const QFont& font, ScreenSize screen, int top) {
    return {name, QRect(kInfoLineLeft, top, screen.width - 2 * kInfoLineLeft, QFontMetrics(font).height()), true};
}

std::vector<LayoutElement> karteLayout(ScreenSize screen, bool fullScreen) {
    std::vector<LayoutElement> out;
    const char* const names[] = {"arrow right", "arrow left", "arrow top", "arrow bottom",
                                 "arrow top right", "arrow bottom right", "arrow top left", "arrow bottom left"};
    int i = 0;
    for (const EdgeArrow& arrow : edgeArrows(screen, fullScreen)) {
        // The mark's last column and row are those of its outline's far edge.
        out.push_back({names[i], arrow.mark.boundingRect().adjusted(0, 0, -1, -1)});
        out.push_back({std::string(names[i++]) + " zone", arrow.zone});
    }
    out.push_back(infoLine("map name", lineFont(), screen, kInfoLineTop));
    out.push_back(infoLine("position", lineFont(), screen, kInfoLineTop + kInfoLineSpacing));
    // The scale bar's label is drawn in the painter's default font.
    const int labelHeight = QFontMetrics(QFont()).height();
    const ScaleBarPlace bar = scaleBarPlace(screen, true, false, QFontMetrics(lineFont()).height(), labelHeight);
    out.push_back({"scale bar", QRect(QPoint(bar.x0, bar.y - 5), QPoint(bar.x1, bar.y + 5))});
    out.push_back({"scale label", textInk(QFont(), bar.labelLeft, bar.y - 2 - labelHeight, "888.8 km"), true});
    return out;
}

std::vector<LayoutElement> moveLayout(ScreenSize screen, int infoPage) {
    std::vector<LayoutElement> out;
    out.push_back({"missing map", textInk(mapFont(), kInfoLineLeft, kInfoLineTop, "Keine Karte für Position"), true});
    const BigDisplayPlaces big = bigDisplayPlaces(infoPage, QRect(0, 0, screen.width, screen.height), true);
    for (std::size_t i = 0; i < big.lines.size(); ++i)
        out.push_back({"big number " + std::to_string(i + 1),
                       textInk(hugeFont(), big.lines[i].x(), big.lines[i].y(), "188.8 km/h"), true});
    if (!big.profile.isEmpty()) out.push_back({"big profile", big.profile});
    out.push_back(infoLine("info line", mapFont(), screen, moveInfoLineTop(screen)));
    return out;
}

}  // namespace

std::vector<LayoutElement> viewLayout(DisplayMode view, ScreenSize screen, bool fullScreen, int infoPage) {
    switch (view) {
    case DisplayMode::Karte: return karteLayout(screen, fullScreen);
    case DisplayMode::Move: return moveLayout(screen, infoPage);
    case DisplayMode::Gps: return gpsViewLayout(screen).elements();
    case DisplayMode::Nmea: return {{"text", QRect(0, 0, screen.width, screen.height), true}};
    }
    return {};
}

}  // namespace vexa
