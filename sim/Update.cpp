// The per-frame particle update: motion, relaunch or rebound, life. Touches the pool only.
#include "sim/Update.h"

#include "sim/Particles.h"
#include "sim/Random.h"

namespace {

// Below -8.8 a particle is thrown back up. The comparison is with the double -8.8: for a
// stored float that is the same as being at or below -8.8f (-8.8000002), the largest float
// under it, so the float stored from -8.8 rebounds and -8.79 does not.
constexpr float kReboundLevel = -0x1.19999ap+3f;       // -8.8f
constexpr float kAboveReboundLevel = -0x1.199998p+3f;  // the next float toward zero
static_assert(kReboundLevel == -8.8f && static_cast<double>(kReboundLevel) < -8.8 &&
              static_cast<double>(kAboveReboundLevel) > -8.8);
constexpr float kReboundHeight = 2.0f;

// Even records are launched as a wide spray, odd ones as a narrow, fast jet.
struct LaunchStream {
    LaunchSpread spread;
    float red, green, blue;
};

constexpr LaunchStream kStreams[2] = {
    {{20000, 10000, 0.0045, 0.0045, 0.0045}, 0.2f, 0.5f, 1.0f},
    {{20000, 10000, 0.0009, 0.0144, 0.0009}, 0.2f, 0.2f, 1.0f},
};

// Kept out of line: only a few records in a thousand relaunch per frame, and keeping the draws
// out of the loop body lets the common path stay in registers.
[[gnu::noinline]] void Relaunch(Particle& p, const LaunchStream& stream) {
    DrawLaunchVelocity(p, stream.spread);
    p.x = 0.0f;
    p.y = kEmitterY;
    p.z = 0.0f;
    p.verticalAccel = kSettings.gravity;
    p.red = stream.red;
    p.green = stream.green;
    p.blue = stream.blue;
    const float life = static_cast<float>(RandomLife());
    p.lifeLeft = life;
    p.initialLife = life;
}

}  // namespace

// Each record's motion, relaunch-or-rebound and life steps depend on that record alone, and the
// random draws are made in index order, so one walk gives the same pool and random state as
// three separate passes would.
void UpdateParticles(float dt) {
    const double step = dt;
    const double rebound = kSettings.reboundFactor;
    const int count = particleCount;
    for (int i = 0; i < count; ++i) {
        Particle& p = particlePool[i];
        // The new velocities move the particle before they are rounded for storage.
        const double vx = p.vx + step * p.windAccel;
        const double vy = p.vy + step * p.verticalAccel;
        p.vx = static_cast<float>(vx);
        p.vy = static_cast<float>(vy);
        p.x = static_cast<float>(p.x + step * vx);
        p.y = static_cast<float>(p.y + step * vy);
        p.z = static_cast<float>(p.z + step * p.vz);

        if (p.lifeLeft <= 0.0f) [[unlikely]] {
            Relaunch(p, kStreams[i & 1]);
        } else if (p.y <= kReboundLevel) {
            p.y = kReboundHeight;
            p.vy = static_cast<float>(p.vy * rebound);
        }

        // Not finite for a record whose initialLife is 0; the next update relaunches it.
        p.lifeFraction = p.lifeLeft / p.initialLife;
        p.lifeLeft = p.lifeLeft - dt;
    }
}
