// The pool-wide effects: reset, burst, scatter, freeze, updraft, downdraft and the two winds.
#include "sim/Effects.h"

#include "sim/Particles.h"
#include "sim/Random.h"

namespace {

constexpr float kLaunchRed = 1.0f;
constexpr float kLaunchGreen = 0.5f;
constexpr float kLaunchBlue = 0.2f;
constexpr float kBurstCorner = 80.0f;
constexpr float kFreezeLife = 18.0f;  // seconds
constexpr double kDraftStep = 0.01;   // units / s^2 per command
constexpr double kWindStep = 0.01;    // units / s^2 per command

void PaintOrange(Particle& p) {
    p.red = kLaunchRed;
    p.green = kLaunchGreen;
    p.blue = kLaunchBlue;
}

template <typename Change>
void ForEachActive(Change change) {
    const int count = particleCount;
    for (int i = 0; i < count; ++i) {
        change(particlePool[i]);
    }
}

void AddToVerticalAccel(double amount) {
    ForEachActive(
        [amount](Particle& p) { p.verticalAccel = static_cast<float>(p.verticalAccel + amount); });
}

void AddToWind(double amount) {
    ForEachActive(
        [amount](Particle& p) { p.windAccel = static_cast<float>(p.windAccel + amount); });
}

}  // namespace

void ResetParticles() {
    const float emitterY = static_cast<float>(kSettings.emitterHeight + 2.0);
    ForEachActive([emitterY](Particle& p) {
        p.x = 0.0f;
        p.z = 0.0f;
        p.y = emitterY;
        const int spreadX = RandomSpreadSum(20000, 10000);
        p.vx = static_cast<float>(spreadX * 0.5 * 0.027);
        const int rangeY = RandomRangeSum(20000, 10000);
        p.vy = static_cast<float>(rangeY * 0.5 * 0.009);
        const int spreadZ = RandomSpreadSum(20000, 10000);
        p.vz = static_cast<float>(spreadZ * 0.5 * 0.027);
        p.verticalAccel = kSettings.gravity;
        const float life = static_cast<float>(RandomLifeMean());
        p.lifeLeft = life;
        p.initialLife = life;
        PaintOrange(p);
    });
}

void Burst() {
    // Corners by i mod 4: (-80, -80), (80, -80), (80, 80), (-80, 80) in x and z.
    static constexpr float kCornerX[4] = {-kBurstCorner, kBurstCorner, kBurstCorner, -kBurstCorner};
    static constexpr float kCornerZ[4] = {-kBurstCorner, -kBurstCorner, kBurstCorner, kBurstCorner};
    const float emitterY = static_cast<float>(kSettings.emitterHeight + 2.0);
    const int count = particleCount;
    for (int i = 0; i < count; ++i) {
        Particle& p = particlePool[i];
        p.x = kCornerX[i & 3];
        p.y = emitterY;
        p.z = kCornerZ[i & 3];
        const int spreadX = RandomSpreadSum(10000, 10000);
        p.vx = static_cast<float>(spreadX * 0.5 * 0.0081);
        const int rangeY = RandomRangeSum(10000, 10000);
        p.vy = static_cast<float>(rangeY * 0.5 * 0.054);
        const int spreadZ = RandomSpreadSum(10000, 10000);
        p.vz = static_cast<float>(spreadZ * 0.5 * 0.0081);
        p.lifeLeft = static_cast<float>(RandomLifeMean());
        PaintOrange(p);
    }
}

void Scatter() {
    ForEachActive([](Particle& p) {
        const int spreadX = RandomSpreadSum(10000, 10000);
        p.vx = static_cast<float>(spreadX * 0.009);
        const int spreadZ = RandomSpreadSum(10000, 10000);
        p.vz = static_cast<float>(spreadZ * 0.009);
    });
}

void Freeze() {
    ForEachActive([](Particle& p) {
        p.vx = 0.0f;
        p.vy = 0.0f;
        p.vz = 0.0f;
        p.verticalAccel = 0.0f;
        p.lifeLeft = kFreezeLife;
    });
}

void Updraft() {
    AddToVerticalAccel(kDraftStep);
}
void Downdraft() {
    AddToVerticalAccel(-kDraftStep);
}
void EastWind() {
    AddToWind(kWindStep);
}
void WestWind() {
    AddToWind(-kWindStep);
}
