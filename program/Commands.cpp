// Key and menu dispatch, statistics resets and the benchmark toggle.
#include "program/Commands.h"

#include "measure/OrbitTurn.h"
#include "measure/RunSummary.h"
#include "program/ProgramState.h"
#include "program/WindowEvents.h"
#include "sim/Effects.h"
#include "sim/Particles.h"

namespace {

// After "+" or "-": throughput sums, average and peak to 0; fps and the frame count kept.
void ResetStatsForCountKey() {
    frameStats.intervalCount = 0;
    frameStats.particlesPerSecondSum = 0;
    frameStats.averageParticlesPerSecond = 0;
    frameStats.peakParticlesPerSecond = 0;
}

// After "N": as the count-key form, and fps to 0 as well.
void ResetStatsForBenchmark() {
    ResetStatsForCountKey();
    frameStats.fps = 0;
}

void ToggleBenchmark() {
    if (benchmarkMode) {
        PrintOrbitSummary(particleCount, orbitReportStream);
    }
    ResetStatsForBenchmark();
    // Entering starts at orbit 1; leaving drops the unfinished turn.
    ResetOrbitTurns();
    ResetRun();
    benchmarkMode = benchmarkMode == 0 ? 1 : 0;
    if (benchmarkMode) {
        savedParticleCount = GetParticleCount();
        SetParticleCount(/*delta=*/0, /*absolute=*/kBenchmarkParticles);
        viewState.cameraPitch = 0;
        viewState.cameraYaw = 0;
        viewState.cameraRoll = 0;
    } else {
        SetParticleCount(/*delta=*/0, /*absolute=*/savedParticleCount);
    }
}

// The commands that change what a frame draws, other than the count and the mode: an effect
// rewrites the pool, a viewport key the pixels to fill. A benchmark turn in progress would mix
// two workloads, so it starts afresh. Returns whether the viewport's size changed; every other
// key does nothing.
bool ApplyWorkloadKey(unsigned char key) {
    bool resized = false;
    switch (key) {
        case '1':
            ResizeView(320, 240);
            resized = true;
            break;
        case '2':
            ResizeView(640, 480);
            resized = true;
            break;
        case 'B':
        case 'b':
            Burst();
            break;
        case 'C':
        case 'c':
            Scatter();
            break;
        case 'F':
        case 'f':
            Freeze();
            break;
        case 'G':
        case 'g':
            Updraft();
            break;
        case 'H':
        case 'h':
            Downdraft();
            break;
        case 'R':
        case 'r':
            ResetParticles();
            break;
        default:
            return false;
    }
    RestartOrbitTurn();
    return resized;
}

}  // namespace

bool ApplyKey(unsigned char key) {
    switch (key) {
        case '+':
            ResetStatsForCountKey();
            SetParticleCount(/*delta=*/kParticleStep, /*absolute=*/0);
            return false;
        case '-':
            ResetStatsForCountKey();
            SetParticleCount(/*delta=*/-kParticleStep, /*absolute=*/0);
            return false;
        case 'N':
        case 'n':
            ToggleBenchmark();
            return false;
        default:
            return ApplyWorkloadKey(key);
    }
}

void ApplyMenu(int value) {
    if (value >= kMenuBurst && value <= kMenuScatter) {
        RestartOrbitTurn();  // every entry that acts changes the pool
    }
    switch (value) {
        case kMenuBurst:
            Burst();
            break;
        case kMenuUpdraft:
            Updraft();
            break;
        case kMenuDowndraft:
            Downdraft();
            break;
        case kMenuEastWind:
            EastWind();
            break;
        case kMenuWestWind:
            WestWind();
            break;
        case kMenuScatter:
            Scatter();
            break;
        default:
            break;
    }
}

void ApplyWindowClose() {
    if (benchmarkMode) {
        PrintOrbitSummary(particleCount, orbitReportStream);
    }
}
