// The statistics refresh.
#include "measure/FrameStats.h"

void RefreshStats(FrameStats& s, Timer& statsTimer, int particleCount) {
    const float elapsed = statsTimer.ElapsedSeconds();
    if (!(elapsed > kStatsInterval)) {
        return;
    }
    s.intervalCount += 1;
    s.fps = s.framesSinceRefresh / elapsed;
    s.framesSinceRefresh = 0;
    s.particlesPerSecond = static_cast<float>(particleCount) * s.fps;
    s.particlesPerSecondSum += s.particlesPerSecond;
    s.averageParticlesPerSecond = s.particlesPerSecondSum / static_cast<float>(s.intervalCount);
    if (s.particlesPerSecond > s.peakParticlesPerSecond && s.intervalCount >= 2) {
        s.peakParticlesPerSecond = s.particlesPerSecond;
    }
    statsTimer.Restart();
}
