#include <gtest/gtest.h>

#include <tuple>

#include "display/view_layout.h"
#include "frame/screen_size.h"

namespace vexa::testing {
namespace {

const ScreenSize kSizes[] = {{240, 320}, {320, 240}, {480, 640}, {800, 480}, {1280, 800}, {240, 240}};

std::string where(const LayoutElement& e) {
    return e.name + " at " + std::to_string(e.rect.x()) + "," + std::to_string(e.rect.y()) + " " +
           std::to_string(e.rect.width()) + "×" + std::to_string(e.rect.height());
}

TEST(ViewLayout, EveryPartLiesOnTheScreenAndNoTwoTextsOverlap) {
    const std::tuple<DisplayMode, bool, int> views[] = {{DisplayMode::Karte, false, 0}, {DisplayMode::Karte, true, 0},
                                                        {DisplayMode::Move, false, 7},  {DisplayMode::Move, false, 2},
                                                        {DisplayMode::Gps, false, 0},   {DisplayMode::Nmea, false, 0}};
    for (const ScreenSize size : kSizes)
        for (const auto& [mode, fullScreen, infoPage] : views) {
            const std::vector<LayoutElement> parts = viewLayout(mode, size, fullScreen, infoPage);
            SCOPED_TRACE(std::to_string(size.width) + "×" + std::to_string(size.height) + " view " +
                         std::to_string(static_cast<int>(mode)) + " page " + std::to_string(infoPage));
            ASSERT_FALSE(parts.empty());
            const QRect screen(0, 0, size.width, size.height);
            for (const LayoutElement& e : parts) EXPECT_TRUE(screen.contains(e.rect)) << where(e);
            for (std::size_t i = 0; i < parts.size(); ++i)
                for (std::size_t j = i + 1; j < parts.size(); ++j)
                    if (parts[i].text && parts[j].text) {
                        EXPECT_FALSE(parts[i].rect.intersects(parts[j].rect)) << where(parts[i]) << " / " << where(parts[j]);
                    }
        }
}

TEST(ScreenSize, TheFrameHoldsTheScreenTurnedByAnyAngle) {
    const std::pair<ScreenSize, int> cases[] = {{{240, 320}, 400}, {{320, 240}, 400}, {{240, 240}, 400},
                                                {{480, 640}, 800}, {{800, 480}, 936}, {{1280, 800}, 1512},
                                                {{401, 1}, 404}};
    // The side: the screen's diagonal rounded up to whole 4 pixels, 400 at least.
    for (const auto& [screen, side] : cases) EXPECT_EQ(screen.frameSide(), side) << screen.width << "×" << screen.height;
    EXPECT_EQ(std::pair(ScreenSize{240, 320}.left(), ScreenSize{240, 320}.top()), std::pair(80, 40));
}

}  // namespace
}  // namespace vexa::testing
