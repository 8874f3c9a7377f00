// The per-frame update: worked relaunch and rebound values, and its equivalence with the plain
// three-pass walk.
#include "sim/Update.h"

#include <cmath>
#include <vector>

#include "SimFixture.h"
#include "sim/Effects.h"

namespace {

// The update as three plain passes over the pool, with wind acting on vx: the reference that
// the program's single walk must match bit for bit.
void ReferenceUpdate(float dt) {
    const double step = dt;
    for (int i = 0; i < particleCount; ++i) {
        Particle& p = particlePool[i];
        const double vx = p.vx + step * p.windAccel;
        const double vy = p.vy + step * p.verticalAccel;
        p.vx = static_cast<float>(vx);
        p.vy = static_cast<float>(vy);
        p.x = static_cast<float>(p.x + step * vx);
        p.y = static_cast<float>(p.y + step * vy);
        p.z = static_cast<float>(p.z + step * p.vz);
    }
    for (int i = 0; i < particleCount; ++i) {
        Particle& p = particlePool[i];
        const bool odd = (i % 2) == 1;
        if (p.lifeLeft <= 0) {
            const double k = odd ? 0.0009 : 0.0045;
            const int sx = RandomSpreadSum(20000, 10000);
            const int ry0 = RandomRange(20000);
            const int ry = ry0 + RandomRange(10000);
            const int sz = RandomSpreadSum(20000, 10000);
            const float life = static_cast<float>(RandomLife());
            p = {static_cast<float>(sx * 0.5 * k),
                 static_cast<float>(ry * 0.5 * (odd ? 0.0144 : k)),
                 static_cast<float>(sz * 0.5 * k),
                 0,
                 -8.0f,
                 0,
                 p.windAccel,
                 kSettings.gravity,
                 0.2f,
                 odd ? 0.2f : 0.5f,
                 1.0f,
                 life,
                 p.lifeFraction,
                 life};
        } else if (p.y < -8.8) {
            p.y = 2.0f;
            p.vy = p.vy * kSettings.reboundFactor;
        }
    }
    for (int i = 0; i < particleCount; ++i) {
        Particle& p = particlePool[i];
        p.lifeFraction = p.lifeLeft / p.initialLife;
        p.lifeLeft = p.lifeLeft - dt;
    }
}

}  // namespace

class ParticleUpdate : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        particleCount = 500;
        for (int i = 0; i < 500; ++i) {  // alive, above the rebound level
            particlePool[i].lifeLeft = 5.0f;
            particlePool[i].initialLife = 10.0f;
        }
    }
};

TEST_F(ParticleUpdate, MatchesThreePassWalkBitForBit) {
    std::vector<Particle> expected(kMaxParticles);
    for (const int count : {500, 120000}) {
        particleCount = count;
        randomState = 77;
        ResetParticles();
        for (int i = 0; i < count; i += 7) {  // winds, draughts, never-launched records
            particlePool[i].windAccel = (i % 3 == 0) ? 0.03f : -0.02f;
            particlePool[i + 1].verticalAccel += 0.05f;
        }
        std::memset(&particlePool[count - 8], 0, 8 * sizeof(Particle));
        for (const float dt : {0.0f, 0.01f, 0.0173f, 0.5f, 2.5f, 0.016f}) {
            std::memcpy(expected.data(), particlePool, sizeof(particlePool));
            uint32_t state = randomState;
            UpdateParticles(dt);
            std::swap_ranges(expected.begin(), expected.end(), particlePool);
            std::swap(state, randomState);
            ReferenceUpdate(dt);
            std::swap_ranges(expected.begin(), expected.end(), particlePool);
            ASSERT_EQ(state, randomState) << count << " at dt " << dt;
            ASSERT_EQ(std::memcmp(expected.data(), particlePool, sizeof(particlePool)), 0)
                << count << " at dt " << dt;
        }
    }
}

TEST_F(ParticleUpdate, ReboundsBelowMinusEightPointEight) {
    const struct {
        float y, vy, expectedY, expectedVy;
        const char* why;
    } rows[] = {
        {-8.9f, -20.0f, 2.0f, 15.8f, "-20 * -0.79 to float precision"},
        {-8.8f, -1.0f, 2.0f, 0.79f, "the float nearest -8.8 lies below it"},
        {-8.79f, -1.0f, -8.79f, -1.0f, "above the level"},
        {-1000.0f, 5.0f, 2.0f, -3.95f,
         "far below after a stalled frame; the sign is not looked at"},
    };
    for (const auto& row : rows) {
        particlePool[0].y = row.y;
        particlePool[0].vy = row.vy;
        UpdateParticles(0.0f);
        EXPECT_EQ(particlePool[0].y, row.expectedY) << row.why;
        EXPECT_FLOAT_EQ(particlePool[0].vy, row.expectedVy) << row.why;
        EXPECT_EQ(particlePool[0].lifeLeft, 5.0f) << row.why;
    }
}

TEST_F(ParticleUpdate, RelaunchFromStateOneByStream) {
    // The first 22 draws give spreads 3763 and -15311, range 18942 and a life of 6223 / 1024.
    const struct {
        int record;
        float vx, vy, vz, green;
    } rows[] = {
        {0, 8.46675014f, 42.6194992f, -34.4497490f, 0.5f},  // wide spray: k 0.0045 throughout
        {1, 1.69334996f, 136.382401f, -6.88994980f, 0.2f},  // narrow jet: 0.0009, 0.0144, 0.0009
    };
    for (const auto& row : rows) {
        SetUp();
        Particle& p = particlePool[row.record];
        p.lifeLeft = 0.0f;  // exactly 0 relaunches
        p.vx = 3.0f;
        UpdateParticles(0.25f);
        EXPECT_EQ(p.vx, row.vx);
        EXPECT_EQ(p.vy, row.vy);
        EXPECT_EQ(p.vz, row.vz);
        EXPECT_EQ(p.x, 0.0f);  // placed after the motion step: it has not moved
        EXPECT_EQ(p.y, -8.0f);
        EXPECT_EQ(p.initialLife, 6.0771484375f);
        EXPECT_EQ(p.lifeLeft, 6.0771484375f - 0.25f);
        EXPECT_EQ(p.lifeFraction, 1.0f);
        EXPECT_EQ(p.green, row.green);
        EXPECT_EQ(randomState, StateAfterDraws(1, 22));
    }
}

TEST_F(ParticleUpdate, WindAcceleratesEastward) {
    particlePool[0].windAccel = 0.5f;
    particlePool[0].vx = 1.0f;
    UpdateParticles(2.0f);
    EXPECT_EQ(particlePool[0].vx, 2.0f);  // 1 + 2 * 0.5
    EXPECT_EQ(particlePool[0].x, 4.0f);   // moved with the new vx
}

TEST_F(ParticleUpdate, NeverLaunchedRecordsGiveNonFiniteFractionWithoutTrapping) {
    std::memset(particlePool, 0, 500 * sizeof(Particle));
    Burst();  // lifeLeft set, initialLife still 0
    UpdateParticles(0.01f);
    EXPECT_FALSE(std::isfinite(particlePool[0].lifeFraction));
}

TEST_F(ParticleUpdate, RecordsPastTheCountAreUntouched) {
    std::memset(&particlePool[500], 0xAB, 1000 * sizeof(Particle));
    for (void (*effect)() : {ResetParticles, Burst, Scatter, Freeze, Updraft, EastWind}) {
        effect();
        UpdateParticles(0.3f);
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(&particlePool[500]);
    for (size_t i = 0; i < 1000 * sizeof(Particle); ++i) {
        ASSERT_EQ(bytes[i], 0xAB) << "byte " << i;
    }
}
