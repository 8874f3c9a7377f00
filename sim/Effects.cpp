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

constexpr LaunchSpread kResetSpread = {20000, 10000, 0.027, 0.009, 0.027};
constexpr LaunchSpread kBurstSpread = {10000, 10000, 0.0081, 0.054, 0.0081};

// The mean of two RandomLife draws: multiples of 1/2048 s.
double RandomLifeMean() {
    const double left = RandomLife();
    const double right = RandomLife();
    return (left + right) * 0.5;
}

void PaintOrange(Particle& p) {
    p.red = kLaunchRed;
    p.green = kLaunchGreen;
    p.blue = kLaunchBlue;
}

// Calls change(record, index) for every active record, in index order.
template <typename Change>
void ForEachActive(Change change) {
    const int count = particleCount;
    for (int i = 0; i < count; ++i) {
        change(particlePool[i], i);
    }
}

void AddToVerticalAccel(double amount) {
    ForEachActive([amount](Particle& p, int) {
        p.verticalAccel = static_cast<float>(p.verticalAccel + amount);
    });
}

void AddToWind(double amount) {
    ForEachActive(
        [amount](Particle& p, int) { p.windAccel = static_cast<float>(p.windAccel + amount); });
}

}  // namespace

void ResetParticles() {
    ForEachActive([](Particle& p, int) {
        p.x = 0.0f;
        p.z = 0.0f;
        p.y = kEmitterY;
        DrawLaunchVelocity(p, kResetSpread);
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
    ForEachActive([](Particle& p, int i) {
        p.x = kCornerX[i & 3];
        p.y = kEmitterY;
        p.z = kCornerZ[i & 3];
        DrawLaunchVelocity(p, kBurstSpread);
        p.lifeLeft = static_cast<float>(RandomLifeMean());
        PaintOrange(p);
    });
}

void Scatter() {
    ForEachActive([](Particle& p, int) {
        const int spreadX = RandomSpreadSum(10000, 10000);
        p.vx = static_cast<float>(spreadX * 0.009);
        const int spreadZ = RandomSpreadSum(10000, 10000);
        p.vz = static_cast<float>(spreadZ * 0.009);
    });
}

void Freeze() {
    ForEachActive([](Particle& p, int) {
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
