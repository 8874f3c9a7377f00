// The HUD's colours and figures.
#include "render/Hud.h"

#include <algorithm>
#include <cmath>

Rgba HudCountColour(int particleCount) {
    if (particleCount < 4000) {
        return {0, 204, 255, 255};
    }
    if (particleCount < 24000) {
        return {0, 255, 0, 255};
    }
    if (particleCount < 48000) {
        return {255, 255, 0, 255};
    }
    if (particleCount < 64000) {
        return {255, 127, 0, 255};
    }
    return {255, 0, 0, 255};
}

int KiloRate(float perSecond) {
    if (std::isnan(perSecond)) {
        return 0;
    }
    if (perSecond >= 2147483648.0f) {
        return 2147483647 / 1000;
    }
    if (perSecond <= -2147483648.0f) {
        return -2147483647 / 1000;
    }
    return static_cast<int>(perSecond) / 1000;
}

int HudAverageColumn(int rateLength) {
    return std::max(kHudAverageColumn, (rateLength + 1) * kHudCellSize);
}
