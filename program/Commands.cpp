// Key and menu dispatch, statistics resets and the benchmark toggle.
#include "program/Commands.h"

#include "measure/OrbitTurn.h"
#include "measure/RunSummary.h"
#include "program/ProgramState.h"
#include "program/WindowEvents.h"
#include "program/Workload.h"
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

void PrintSummaryInBenchmarkMode() {
    if (benchmarkMode) {
        PrintOrbitSummary(particleCount, viewState.windowWidth, viewState.windowHeight,
                          orbitReportStream);
    }
}

void ToggleBenchmark() {
    PrintSummaryInBenchmarkMode();
    ResetStatsForBenchmark();
    ResetOrbitTurns();  // entering starts at orbit 1; leaving drops the unfinished turn
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
    SetWorkload();  // on entry, the line that names the run
}

// The commands that change what a frame draws, other than the count and the mode: a viewport key
// sets the pixels to fill (a new workload), an effect rewrites the pool (a disturbed one). Returns
// whether the viewport's size changed; every other key does nothing.
bool ApplyWorkloadKey(unsigned char key) {
    switch (key) {
        case '1':
            ResizeView(320, 240);
            return true;
        case '2':
            ResizeView(640, 480);
            return true;
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
    DisturbWorkload();
    return false;
}

}  // namespace

bool ApplyKey(unsigned char key) {
    switch (key) {
        case '+':
        case '-':
            ResetStatsForCountKey();
            SetParticleCount(/*delta=*/key == '+' ? kParticleStep : -kParticleStep, /*absolute=*/0);
            SetWorkload();
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
        DisturbWorkload();  // every entry that acts changes the pool
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
    PrintSummaryInBenchmarkMode();
}
