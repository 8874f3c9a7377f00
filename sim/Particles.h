// The particle pool, the active count and the fixed simulation settings. State only: the
// update, the effects and the drawing live elsewhere.
#pragma once

#include <cstdint>

// One particle: fourteen floats in this order, which the pool's layout and the tests rely on.
// Units are scene units and seconds, with y up.
struct Particle {
    float vx;             // written by launches, Scatter, Freeze
    float vy;             // launches, the update (acceleration and rebound), Freeze
    float vz;             // launches, Scatter, Freeze
    float x;              // launches, the update
    float y;              // launches, the update (motion and rebound)
    float z;              // launches, the update
    float windAccel;      // EastWind and WestWind only; accelerates vx, east is +x
    float verticalAccel;  // every launch but Burst sets gravity; Updraft, Downdraft, Freeze
    float red;            // 0..1
    float green;          // 0..1
    float blue;           // 0..1
    float lifeLeft;       // seconds; relaunched by the update once it is 0 or less
    float lifeFraction;   // lifeLeft / initialLife before the update's decrease; alpha when drawn
    float initialLife;    // seconds, from the last launch by ResetParticles or the update
};
static_assert(sizeof(Particle) == 14 * sizeof(float), "the pool is walked as packed floats");

constexpr int kMaxParticles = 120000;
constexpr int kMinParticles = 500;
constexpr int kStartParticles = 32000;

// All zero at start; records past particleCount are never touched by any operation.
extern Particle particlePool[kMaxParticles];

// kMinParticles..kMaxParticles and always a multiple of 500. Changed only by SetParticleCount.
extern int particleCount;

struct SimulationSettings {
    int32_t signs[2];     // what a random bit picks in RandomSpread: index 0 is +1
    float emitterHeight;  // every launch starts 2 above it: kEmitterY
    float gravity;        // units / s^2; bit pattern C1F26C8B
    float reboundFactor;  // applied to vy at a rebound; bit pattern BF4A3D71
    float lifeSpan;       // seconds; scale of RandomLife
};

constexpr SimulationSettings kSettings = {
    .signs = {+1, -1},
    .emitterHeight = -10.0f,
    .gravity = -30.303f,
    .reboundFactor = -0.79f,
    .lifeSpan = 12.0f,
};

// Every launch leaves at two units above the emitter height: the update's relaunch from the
// emitter point (0, -8, 0), ResetParticles from there too, Burst from the four corners.
constexpr float kEmitterY = static_cast<float>(kSettings.emitterHeight + 2.0);

int GetParticleCount();

// A nonzero absolute becomes the new count, otherwise the count moves by delta; either way the
// result is clamped to kMinParticles..kMaxParticles. Touches no record.
void SetParticleCount(int delta, int absolute);
