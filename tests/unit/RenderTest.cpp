// What the HUD shows, apart from drawing it.
#include <cmath>
#include <utility>

#include <gtest/gtest.h>

#include "render/Hud.h"

TEST(Hud, CountColourThresholdsAndKiloRates) {
    const std::pair<int, Rgba> colours[] = {
        {3999, {0, 204, 255, 255}},  {4000, {0, 255, 0, 255}},    {23999, {0, 255, 0, 255}},
        {24000, {255, 255, 0, 255}}, {47999, {255, 255, 0, 255}}, {48000, {255, 127, 0, 255}},
        {63999, {255, 127, 0, 255}}, {64000, {255, 0, 0, 255}}};
    for (const auto& [count, colour] : colours) {
        EXPECT_EQ(HudCountColour(count), colour) << count;
    }
    EXPECT_EQ(KiloRate(999.9f), 0);       // not rounded up
    EXPECT_EQ(KiloRate(-1500.0f), -1);    // toward zero
    EXPECT_EQ(KiloRate(1e12f), 2147483);  // saturated, not overflowed
    EXPECT_EQ(KiloRate(NAN), 0);          // no reading
}

// The average keeps its column after a rate text that ends a blank cell short of it, and is
// pushed to keep that cell after a longer one.
TEST(Hud, AverageColumnKeepsABlankCellAfterTheRate) {
    EXPECT_EQ(HudAverageColumn(21), 220);
    EXPECT_EQ(HudAverageColumn(22), 230);
    EXPECT_EQ(HudAverageColumn(30), 310);
}
