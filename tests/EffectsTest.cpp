// The pool-wide effects: values from state 1, draw counts, and which fields each one touches.
#include "SimFixture.h"
#include "sim/Effects.h"
#include "sim/Update.h"

using ParticleEffects = SimTest;

TEST_F(ParticleEffects, ResetLaunchesFromEmitterInOrange) {
    particleCount = 500;
    particlePool[0].windAccel = 0.25f;
    ResetParticles();
    const Particle& p = particlePool[0];
    EXPECT_EQ(p.vx, 50.8004990f);   // 3763 * 0.5 * 0.027
    EXPECT_EQ(p.vy, 85.2389984f);   // 18942 * 0.5 * 0.009
    EXPECT_EQ(p.vz, -206.698502f);  // -15311 * 0.5 * 0.027
    EXPECT_EQ(p.lifeLeft, 4.06591796875f);  // (6223 + 2104) / 2048
    EXPECT_EQ(p.initialLife, 4.06591796875f);
    EXPECT_EQ(p.x, 0.0f);
    EXPECT_EQ(p.y, -8.0f);
    EXPECT_EQ(p.z, 0.0f);
    EXPECT_EQ(p.verticalAccel, settings.gravity);
    EXPECT_EQ(p.windAccel, 0.25f);
    EXPECT_EQ(p.red, 1.0f);
    EXPECT_EQ(p.green, 0.5f);
    EXPECT_EQ(p.blue, 0.2f);
}

TEST_F(ParticleEffects, DrawsPerRecord) {
    struct Row {
        const char* name;
        void (*effect)();
        int drawsPerRecord;
    };
    const Row rows[] = {
        {"reset", ResetParticles, 24}, {"burst", Burst, 24},   {"scatter", Scatter, 16},
        {"freeze", Freeze, 0},         {"updraft", Updraft, 0}, {"east wind", EastWind, 0},
    };
    for (const Row& row : rows) {
        particleCount = 1000;
        randomState = 5;
        row.effect();
        EXPECT_EQ(randomState, StateAfterDraws(5, 1000 * row.drawsPerRecord)) << row.name;
    }
}

TEST_F(ParticleEffects, BurstPlacesRecordsAtCornersByIndex) {
    particleCount = 500;
    Burst();
    const float cornerX[4] = {-80, 80, 80, -80};
    const float cornerZ[4] = {-80, -80, 80, 80};
    int perCorner[4] = {};
    for (int i = 0; i < 500; ++i) {
        const Particle& p = particlePool[i];
        ASSERT_EQ(p.x, cornerX[i % 4]) << i;
        ASSERT_EQ(p.z, cornerZ[i % 4]) << i;
        ASSERT_EQ(p.y, -8.0f) << i;
        ++perCorner[i % 4];
    }
    EXPECT_EQ(perCorner[0], 125);
    EXPECT_EQ(perCorner[3], 125);
    EXPECT_EQ(particlePool[0].vx, 35.4901505f);
    EXPECT_EQ(particlePool[0].vy, 511.433990f);
    EXPECT_EQ(particlePool[0].vz, -41.7595482f);
    EXPECT_EQ(particlePool[0].lifeLeft, 4.06591796875f);
    EXPECT_EQ(particlePool[0].initialLife, 0.0f);  // untouched
}

TEST_F(ParticleEffects, BurstAfterFreezeFliesStraight) {
    particleCount = 500;
    ResetParticles();
    Freeze();
    Burst();
    const Particle before = particlePool[2];
    UpdateParticles(0.1f);
    const Particle& after = particlePool[2];
    EXPECT_EQ(after.verticalAccel, 0.0f);
    EXPECT_EQ(after.vy, before.vy);
    EXPECT_EQ(after.y, static_cast<float>(before.y + 0.100000001490116119 * before.vy));
}

TEST_F(ParticleEffects, ScatterChangesOnlyHorizontalVelocity) {
    particleCount = 500;
    ResetParticles();
    const Particle before = particlePool[0];
    randomState = 1;
    Scatter();
    Particle after = particlePool[0];
    EXPECT_EQ(after.vx, 78.8669968f);   // (spread + spread) * 0.009, no halving
    EXPECT_EQ(after.vz, -88.3529968f);
    after.vx = before.vx;
    after.vz = before.vz;
    EXPECT_EQ(std::memcmp(&after, &before, sizeof(Particle)), 0);
}

TEST_F(ParticleEffects, FreezeHoldsForEighteenSeconds) {
    particleCount = 500;
    ResetParticles();
    Freeze();
    const Particle& p = particlePool[7];
    EXPECT_EQ(p.vx, 0.0f);
    EXPECT_EQ(p.vy, 0.0f);
    EXPECT_EQ(p.vz, 0.0f);
    EXPECT_EQ(p.verticalAccel, 0.0f);
    EXPECT_EQ(p.lifeLeft, 18.0f);
    UpdateParticles(0.5f);
    EXPECT_GT(p.lifeFraction, 1.0f);  // 18 over a life of at most 17.998
    Updraft();
    EXPECT_EQ(p.verticalAccel, 0.01f);
}

TEST_F(ParticleEffects, DraughtsAndWindsAccumulate) {
    particleCount = 500;
    ResetParticles();
    Updraft();
    Updraft();
    Downdraft();
    EastWind();
    EastWind();
    WestWind();
    EastWind();
    // Each step rounds to float: hand-computed from the stored values.
    EXPECT_EQ(particlePool[0].verticalAccel, -30.2929993f);
    EXPECT_EQ(particlePool[0].windAccel, 0.0199999996f);
    ResetParticles();
    EXPECT_EQ(particlePool[499].verticalAccel, settings.gravity);
    EXPECT_EQ(particlePool[499].windAccel, 0.0199999996f);
}
