// Storage for the particle pool and its count.
#include "sim/Particles.h"

alignas(64) Particle particlePool[kMaxParticles];
int particleCount = kStartParticles;

const SimulationSettings kSettings = {
    .signs = {+1, -1},
    .emitterHeight = -10.0f,
    .gravity = -30.303f,
    .reboundFactor = -0.79f,
    .lifeSpan = 12.0f,
};

int GetParticleCount() {
    return particleCount;
}

void SetParticleCount(int delta, int absolute) {
    // Computed in 64 bits so that an extreme delta clamps instead of wrapping.
    const int64_t target = absolute != 0 ? static_cast<int64_t>(absolute)
                                         : static_cast<int64_t>(particleCount) + delta;
    if (target > kMaxParticles) {
        particleCount = kMaxParticles;
    } else if (target < kMinParticles) {
        particleCount = kMinParticles;
    } else {
        particleCount = static_cast<int>(target);
    }
}
