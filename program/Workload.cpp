// Workload changes.
#include "program/Workload.h"

#include "measure/OrbitTurn.h"
#include "measure/RunIdentity.h"
#include "measure/RunSummary.h"
#include "program/ProgramState.h"
#include "sim/Particles.h"

void SetWorkload() {
    RestartOrbitTurn();
    ForgetRunTurns();
    if (benchmarkMode) {
        PrintRunLine(runIdentity, particleCount, viewState.windowWidth, viewState.windowHeight,
                     orbitReportStream);
    }
}

void DisturbWorkload() {
    RestartOrbitTurn();
    SettleNextTurn();
}
