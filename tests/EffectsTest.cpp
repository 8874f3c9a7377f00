// The pool-wide effects: values from state 1, draw counts, and which fields each one touches.
#include "sim/Effects.h"

#include "SimFixture.h"
#include "sim/Update.h"

class ParticleEffects : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        particleCount = 500;
    }
};

TEST_F(ParticleEffects, ResetAndBurstFromStateOne) {
    particlePool[0].windAccel = 0.25f;
    ResetParticles();
    const Particle& p = particlePool[0];
    EXPECT_EQ(p.vx, 50.8004990f);              // 3763 * 0.5 * 0.027
    EXPECT_EQ(p.vy, 85.2389984f);              // 18942 * 0.5 * 0.009
    EXPECT_EQ(p.vz, -206.698502f);             // -15311 * 0.5 * 0.027
    EXPECT_EQ(p.initialLife, 4.06591796875f);  // (6223 + 2104) / 2048
    EXPECT_EQ(p.lifeLeft, 4.06591796875f);
    EXPECT_EQ(p.y, -8.0f);
    EXPECT_EQ(p.verticalAccel, kSettings.gravity);
    EXPECT_EQ(p.windAccel, 0.25f);  // no launch clears the wind
    EXPECT_EQ(p.green, 0.5f);

    randomState = 1;
    particlePool[0].initialLife = 3.0f;
    Burst();
    EXPECT_EQ(p.vx, 35.4901505f);  // spreads of 10000 * 0.5 * 0.0081
    EXPECT_EQ(p.vy, 511.433990f);  // ranges of 10000 * 0.5 * 0.054
    EXPECT_EQ(p.vz, -41.7595482f);
    EXPECT_EQ(p.lifeLeft, 4.06591796875f);
    EXPECT_EQ(p.initialLife, 3.0f);  // untouched
}

TEST_F(ParticleEffects, DrawsPerRecord) {
    const struct {
        const char* name;
        void (*effect)();
        int draws;
    } rows[] = {
        {"reset", ResetParticles, 24}, {"burst", Burst, 24},    {"scatter", Scatter, 16},
        {"freeze", Freeze, 0},         {"updraft", Updraft, 0}, {"east wind", EastWind, 0},
    };
    for (const auto& row : rows) {
        randomState = 5;
        row.effect();
        EXPECT_EQ(randomState, StateAfterDraws(5, 500 * row.draws)) << row.name;
    }
}

TEST_F(ParticleEffects, BurstPlacesRecordsAtCornersByIndex) {
    Burst();
    const float cornerX[4] = {-80, 80, 80, -80};
    const float cornerZ[4] = {-80, -80, 80, 80};
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(particlePool[i].x, cornerX[i % 4]) << i;
        ASSERT_EQ(particlePool[i].z, cornerZ[i % 4]) << i;
    }
}

TEST_F(ParticleEffects, FreezeThenBurstFliesStraight) {
    ResetParticles();
    Freeze();
    EXPECT_EQ(particlePool[2].vy, 0.0f);
    EXPECT_EQ(particlePool[2].lifeLeft, 18.0f);
    Burst();
    const Particle before = particlePool[2];
    UpdateParticles(0.1f);
    EXPECT_EQ(particlePool[2].vy, before.vy);  // no gravity until the relaunch
    EXPECT_GT(particlePool[2].lifeFraction, 0.0f);
}

TEST_F(ParticleEffects, ScatterChangesOnlyHorizontalVelocity) {
    ResetParticles();
    const Particle before = particlePool[0];
    randomState = 1;
    Scatter();
    Particle after = particlePool[0];
    EXPECT_EQ(after.vx, 78.8669968f);  // (spread + spread) * 0.009, no halving
    EXPECT_EQ(after.vz, -88.3529968f);
    after.vx = before.vx;
    after.vz = before.vz;
    EXPECT_EQ(std::memcmp(&after, &before, sizeof(Particle)), 0);
}

TEST_F(ParticleEffects, DraughtsAndWindsAccumulateUntilReset) {
    ResetParticles();
    Freeze();
    Updraft();
    EXPECT_EQ(particlePool[0].verticalAccel, 0.01f);  // a frozen particle starts to rise
    Updraft();
    Downdraft();
    EastWind();
    EastWind();
    WestWind();
    EastWind();
    EXPECT_EQ(particlePool[0].windAccel, 0.0199999996f);  // each step rounded to float
    ResetParticles();
    EXPECT_EQ(particlePool[499].verticalAccel, kSettings.gravity);
    EXPECT_EQ(particlePool[499].windAccel, 0.0199999996f);
}
