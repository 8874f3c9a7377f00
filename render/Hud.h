// What the HUD shows, apart from drawing it: the count's colour, the kilo-rates and the mode
// line. No GL here.
#pragma once

#include "text/Markup.h"

constexpr int kHudCellSize = 10;        // pixels
constexpr int kHudAverageColumn = 220;  // pixels: where the average and peak start

constexpr const char* kFreeModeLine =
    "Free mode. (B)urst s(C)atter (F)reeze (R)eset Be(N)chmark +/-";
constexpr const char* kBenchmarkModeLine = "Benchmark mode. (N) for Free mode";

// Cyan below 4000, green below 24000, yellow below 48000, orange below 64000, then red.
Rgba HudCountColour(int particleCount);

// Thousands, truncated twice toward zero: first to an int, then by the division. Values beyond
// the int range saturate and a NaN reads 0, so no reading can make the conversion undefined.
int KiloRate(float perSecond);

// Where the average and peak start after a rate text of `rateLength` characters: at their
// column, or one blank cell after a rate text that reaches it, so the two never run together.
int HudAverageColumn(int rateLength);
