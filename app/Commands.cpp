// Key and menu dispatch, statistics resets and the benchmark toggle.
#include "app/Commands.h"

#include "app/OrbitReport.h"
#include "app/ProgramState.h"
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
    ResetStatsForBenchmark();
    ResetOrbitReport();  // entering starts at orbit 1; leaving drops the unfinished turn
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

bool SetViewportSize(int width, int height) {
    viewState.windowWidth = width;
    viewState.windowHeight = height;
    return true;
}

}  // namespace

bool ApplyKey(unsigned char key) {
    switch (key) {
        case '+':
            ResetStatsForCountKey();
            SetParticleCount(/*delta=*/kParticleStep, /*absolute=*/0);
            break;
        case '-':
            ResetStatsForCountKey();
            SetParticleCount(/*delta=*/-kParticleStep, /*absolute=*/0);
            break;
        case '1':
            return SetViewportSize(320, 240);
        case '2':
            return SetViewportSize(640, 480);
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
        case 'N':
        case 'n':
            ToggleBenchmark();
            break;
        case 'R':
        case 'r':
            ResetParticles();
            break;
        default:
            break;
    }
    return false;
}

void ApplyMenu(int value) {
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
