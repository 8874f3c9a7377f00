// The random source of the simulation and its draws.
#include "sim/Random.h"

#include "platform/Clock.h"
#include "sim/Particles.h"

uint32_t randomState = 1;

int NextRandom() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}

void SeedRandom() {
    randomState = static_cast<uint32_t>(CalendarSeconds()) >> 1;
}

int RandomSpread(int n) {
    if (n <= 1) {
        n = 2;
    }
    const int signBit1 = NextRandom();
    const int magnitude1 = NextRandom();
    const int first = kSettings.signs[signBit1 & 1] * (magnitude1 % n) / 2;
    const int signBit2 = NextRandom();
    const int magnitude2 = NextRandom();
    const int second = kSettings.signs[signBit2 & 1] * (magnitude2 % n);
    return first + second;
}

int RandomRange(int n) {
    if (n <= 1) {
        n = 2;
    }
    const int r1 = NextRandom();
    const int r2 = NextRandom();
    return (r1 % n) / 2 + (r2 % n);
}

double RandomLife() {
    const int scale = static_cast<int>(kSettings.lifeSpan * 1024);
    return RandomRange(scale) * 0.0009765625;
}

int RandomSpreadSum(int first, int second) {
    const int left = RandomSpread(first);
    const int right = RandomSpread(second);
    return left + right;
}

namespace {

int RandomRangeSum(int first, int second) {
    const int left = RandomRange(first);
    const int right = RandomRange(second);
    return left + right;
}

}  // namespace

// The mean is formed as sum * 0.5 * factor, in that order: folding 0.5 into the factor would
// round differently.
void DrawLaunchVelocity(Particle& p, const LaunchSpread& spread) {
    const int spreadX = RandomSpreadSum(spread.first, spread.second);
    p.vx = static_cast<float>(spreadX * 0.5 * spread.kx);
    const int rangeY = RandomRangeSum(spread.first, spread.second);
    p.vy = static_cast<float>(rangeY * 0.5 * spread.ky);
    const int spreadZ = RandomSpreadSum(spread.first, spread.second);
    p.vz = static_cast<float>(spreadZ * 0.5 * spread.kz);
}
