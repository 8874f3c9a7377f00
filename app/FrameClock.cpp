// The frame clock: statistics refresh, frame step and benchmark orbit.
#include "app/FrameClock.h"

#include <cmath>

#include "app/Camera.h"
#include "app/OrbitReport.h"
#include "app/ProgramState.h"
#include "sim/Particles.h"
#include "sim/Update.h"

namespace {

constexpr float kStatsInterval = 0.2f;  // seconds; a refresh needs strictly more

int64_t previousFrameCount = 0;  // frameTimer's raw reading at the previous frame

void RefreshStats() {
    const float elapsed = statsTimer.ElapsedSeconds();
    if (!(elapsed > kStatsInterval)) {
        return;
    }
    FrameStats& s = frameStats;
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

void AdvanceFrame() {
    RefreshStats();

    // The step comes from the difference of two raw readings, not of two float readings of
    // the time since start, which would lose resolution as the run grows (after a day and a
    // half a 10 ms step rounds to 15.6 ms; after half a year every step is 0).
    const int64_t reading = frameTimer.Reading();
    frameDelta = static_cast<float>(frameTimer.SecondsBetween(previousFrameCount, reading));
    previousFrameCount = reading;
    previousFrameTime =
        static_cast<float>(frameTimer.SecondsBetween(frameTimer.startCount, reading));

    UpdateParticles(frameDelta);

    if (benchmarkMode) {
        PlaceCamera();
        // Kept within one turn: an angle that grew for hours would lose the float precision
        // that a small step needs, and the orbit would slow down and then stop.
        viewState.cameraYaw =
            std::fmod(viewState.cameraYaw + frameDelta * kBenchmarkYawRate, 360.0f);
        OrbitResult completed;
        if (CountOrbitFrame(frameDelta, particleCount, &completed)) {
            PrintOrbitLine(completed, orbitReportStream);
        }
    }
}

void CountFrame() {
    frameStats.framesSinceRefresh += 1.0f;
}

}  // namespace

void StartClocks() {
    statsTimer.Start();
    frameTimer.Start();
    previousFrameCount = frameTimer.startCount;
    previousFrameTime = 0;
}

void StepFrame(void (*requestRedisplay)()) {
    AdvanceFrame();
    requestRedisplay();
    CountFrame();
}

void ResumeFrames() {
    previousFrameCount = frameTimer.Reading();
    statsTimer.Restart();
    frameStats.framesSinceRefresh = 0;
    RestartOrbitTurn();
}
