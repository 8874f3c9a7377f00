// The throughput statistics that the HUD shows: frames and particles per second over the last
// interval, their running average and their peak. No GL here; the frame feeds them.
#pragma once

#include <cstdint>

#include "platform/Timer.h"

constexpr float kStatsInterval = 0.2f;  // seconds; a refresh needs strictly more

// Written by RefreshStats (every 0.2 s) and partly reset by the count and benchmark keys.
struct FrameStats {
    float framesSinceRefresh;  // frames counted since the last refresh; +1 per Idle
    float fps;
    float particlesPerSecond;  // particleCount * fps at the last refresh
    float particlesPerSecondSum;
    int32_t intervalCount;  // refreshes since the last reset
    float averageParticlesPerSecond;
    float peakParticlesPerSecond;  // from the second refresh after a reset on
};

// Once `statsTimer` reads more than kStatsInterval: the frames counted over that time, the
// particles per second at `particleCount`, their running average and, from the second refresh
// after a reset, their peak; then the timer restarts. Before that, nothing.
void RefreshStats(FrameStats& stats, Timer& statsTimer, int particleCount);
