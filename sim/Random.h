// The simulation's one random source and the integer draws made from it. The order of draws is
// behaviour: it decides which particle gets which value, so callers draw one value per statement.
#pragma once

#include <cstdint>

// 1 at program start; SeedRandom replaces it once at scene set-up.
extern uint32_t randomState;

// A linear congruential step; returns 0..32767.
int NextRandom();

// randomState = calendar seconds since 1970, as 32 bits, shifted right by one.
void SeedRandom();

// Two signed terms from four draws: the first halved (truncating toward zero), the second not.
// n of 1 or less counts as 2. Magnitude at most floor((n-1)/2) + n - 1.
int RandomSpread(int n);

// (r1 mod n) / 2 + (r2 mod n) from two draws; n of 1 or less counts as 2.
int RandomRange(int n);

// A life span in seconds: a multiple of 1/1024 from 0 to 17.998046875; two draws.
double RandomLife();

// RandomSpread(first) + RandomSpread(second), the left one drawn first.
int RandomSpreadSum(int first, int second);

struct Particle;

// What a launch velocity is drawn from: for each axis the sum of two draws of sizes `first`
// and `second` (RandomSpread across, RandomRange up), halved and scaled by that axis's factor.
struct LaunchSpread {
    int first;
    int second;
    double kx, ky, kz;
};

// Draws vx, then vy, then vz of `p` from `spread`: 20 draws, 8, 4 and 8. Nothing else of the
// particle changes.
void DrawLaunchVelocity(Particle& p, const LaunchSpread& spread);
