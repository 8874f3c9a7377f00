// Storage for the particle pool and its count, and the count's clamping.
#include "sim/Particles.h"

alignas(64) Particle particlePool[kMaxParticles];
int particleCount = kStartParticles;

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
