// The frame: statistics refresh, frame step and benchmark orbit.
#include "program/Frame.h"

#include <cmath>

#include "measure/FrameStats.h"
#include "measure/OrbitRate.h"
#include "measure/OrbitTurn.h"
#include "measure/RunSummary.h"
#include "program/Camera.h"
#include "program/ProgramState.h"
#include "program/Workload.h"
#include "sim/Particles.h"
#include "sim/Update.h"

namespace {

int64_t previousFrameCount = 0;  // frameTimer's raw reading at the previous frame

void AdvanceFrame() {
    RefreshStats(frameStats, statsTimer, particleCount);

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
        if (CountOrbitFrame(frameDelta, particleCount, viewState.windowWidth,
                            viewState.windowHeight, &completed)) {
            completed.summed = KeepTurn(completed);
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
    DisturbWorkload();
}
