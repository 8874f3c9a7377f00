// The pool the benchmarks measure: a long-running fountain, made the same way every run.
#pragma once

#include <cstring>

#include "sim/Effects.h"
#include "sim/Particles.h"
#include "sim/Random.h"
#include "sim/Update.h"

constexpr float kBenchStep = 0.01f;  // seconds: a fixed step, so every run simulates the same

// Reset, then about 40 simulated seconds so that lives are spread and only a trickle of records
// relaunches per step.
inline void PrepareSteadyState(int count) {
    std::memset(particlePool, 0, sizeof(particlePool));
    randomState = 1;
    particleCount = count;
    ResetParticles();
    for (int i = 0; i < 4000; ++i) {
        UpdateParticles(kBenchStep);
    }
}
