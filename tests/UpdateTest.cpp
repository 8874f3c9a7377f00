// The per-frame update: motion, relaunch, rebound and life, and its equivalence with the plain
// three-pass walk.
#include <cmath>
#include <vector>

#include "SimFixture.h"
#include "sim/Effects.h"
#include "sim/Update.h"

namespace {

// The update as three plain passes over the pool, with wind acting on vx. Kept here as the
// reference that the program's single walk must match bit for bit.
void ReferenceUpdate(float dt) {
    for (int i = 0; i < particleCount; ++i) {
        Particle& p = particlePool[i];
        const double vx = p.vx + static_cast<double>(dt) * p.windAccel;
        p.vx = static_cast<float>(vx);
        p.x = static_cast<float>(p.x + static_cast<double>(dt) * vx);
        const double vy = p.vy + static_cast<double>(dt) * p.verticalAccel;
        p.vy = static_cast<float>(vy);
        p.y = static_cast<float>(p.y + static_cast<double>(dt) * vy);
        p.z = static_cast<float>(p.z + static_cast<double>(dt) * p.vz);
    }
    for (int i = 0; i < particleCount; ++i) {
        Particle& p = particlePool[i];
        if (p.lifeLeft <= 0) {
            const bool odd = (i % 2) == 1;
            const double kx = odd ? 0.0009 : 0.0045;
            const double ky = odd ? 0.0144 : 0.0045;
            const int sx1 = RandomSpread(20000);
            const int sx2 = RandomSpread(10000);
            p.vx = static_cast<float>((sx1 + sx2) * 0.5 * kx);
            const int ry1 = RandomRange(20000);
            const int ry2 = RandomRange(10000);
            p.vy = static_cast<float>((ry1 + ry2) * 0.5 * ky);
            const int sz1 = RandomSpread(20000);
            const int sz2 = RandomSpread(10000);
            p.vz = static_cast<float>((sz1 + sz2) * 0.5 * kx);
            p.x = 0;
            p.y = -8.0f;
            p.z = 0;
            p.verticalAccel = settings.gravity;
            p.red = 0.2f;
            p.green = odd ? 0.2f : 0.5f;
            p.blue = 1.0f;
            const double life = RandomLife();
            p.lifeLeft = static_cast<float>(life);
            p.initialLife = static_cast<float>(life);
        } else if (p.y < -8.8) {
            p.y = 2.0f;
            p.vy = p.vy * settings.reboundFactor;
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
    Particle& First() { return particlePool[0]; }
    // A live particle well above the rebound level, with nothing else set.
    void Live(Particle& p) {
        p.lifeLeft = 5.0f;
        p.initialLife = 10.0f;
        p.y = 0.0f;
    }
};

TEST_F(ParticleUpdate, MatchesThreePassWalkBitForBit) {
    std::vector<Particle> expected(kMaxParticles);
    for (const int count : {500, 32000, 120000}) {
        particleCount = count;
        randomState = 77;
        ResetParticles();
        // A wind on some records, draughts on others, and some never-launched records.
        for (int i = 0; i < count; i += 7) {
            particlePool[i].windAccel = (i % 3 == 0) ? 0.03f : -0.02f;
        }
        for (int i = 1; i < count; i += 11) {
            particlePool[i].verticalAccel += 0.05f;
        }
        std::memset(&particlePool[count - 8], 0, 8 * sizeof(Particle));
        for (const float dt : {0.0f, 0.01f, 0.0173f, 0.5f, 0.01f, 2.5f, 0.016f}) {
            std::memcpy(expected.data(), particlePool, sizeof(particlePool));
            const uint32_t state = randomState;
            UpdateParticles(dt);
            const uint32_t updatedState = randomState;

            std::swap_ranges(expected.begin(), expected.end(), particlePool);
            randomState = state;
            ReferenceUpdate(dt);
            std::swap_ranges(expected.begin(), expected.end(), particlePool);

            ASSERT_EQ(updatedState, randomState) << "count " << count << ", dt " << dt;
            ASSERT_EQ(std::memcmp(expected.data(), particlePool, sizeof(particlePool)), 0)
                << "count " << count << ", dt " << dt;
        }
    }
}

TEST_F(ParticleUpdate, ReboundExample) {
    Live(First());
    First().y = -8.9f;
    First().vy = -20.0f;
    First().x = 3.0f;
    First().vx = 1.0f;
    UpdateParticles(0.0f);
    EXPECT_EQ(First().y, 2.0f);
    EXPECT_EQ(First().vy, 15.8f);  // -20 * -0.79, to float precision
    EXPECT_EQ(First().x, 3.0f);
    EXPECT_EQ(First().vx, 1.0f);
    EXPECT_EQ(First().lifeLeft, 5.0f);
}

TEST_F(ParticleUpdate, ReboundLevelComparedInDouble) {
    struct Row {
        float y;
        bool rebounds;
        const char* why;
    };
    const Row rows[] = {
        {-8.8f, true, "the float nearest -8.8 lies below it"},
        {-8.79f, false, "above the level"},
        {-1000.0f, true, "far below, after a stalled frame"},
        {-8.0f, false, "at the emitter"},
    };
    for (const Row& row : rows) {
        SetUp();
        Live(First());
        First().y = row.y;
        UpdateParticles(0.0f);
        EXPECT_EQ(First().y == 2.0f, row.rebounds) << row.why;
    }
}

TEST_F(ParticleUpdate, RelaunchFromStateOneByStream) {
    // Even records launch as a wide spray, odd ones as a narrow jet; the first 22 draws give
    // spreads 3763 and -15311 and range 18942; the life draw gives 6223 / 1024.
    const struct {
        int record;
        float vx, vy, vz, green;
    } rows[] = {
        {0, 8.46675014f, 42.6194992f, -34.4497490f, 0.5f},   // k = 0.0045, 0.0045, 0.0045
        {1, 1.69334996f, 136.382401f, -6.88994980f, 0.2f},   // k = 0.0009, 0.0144, 0.0009
    };
    for (const auto& row : rows) {
        SetUp();
        particleCount = 500;
        for (int i = 0; i < 500; ++i) {
            Live(particlePool[i]);
        }
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
        EXPECT_EQ(p.verticalAccel, settings.gravity);
        EXPECT_EQ(p.green, row.green);
        EXPECT_EQ(randomState, StateAfterDraws(1, 22));
    }
}

TEST_F(ParticleUpdate, WindAcceleratesEastward) {
    Live(First());
    First().windAccel = 0.5f;
    First().vx = 1.0f;
    UpdateParticles(2.0f);
    EXPECT_EQ(First().vx, 2.0f);  // 1 + 2 * 0.5
    EXPECT_EQ(First().x, 4.0f);   // moved with the new vx
}

TEST_F(ParticleUpdate, NeverLaunchedRecordsGiveNonFiniteFractionWithoutTrapping) {
    particleCount = 500;
    Burst();  // lifeLeft set, initialLife still 0
    UpdateParticles(0.01f);
    EXPECT_FALSE(std::isfinite(First().lifeFraction));
    // Relaunched by the next update once its life runs out; a zero-life draw behaves the same.
    Particle& p = particlePool[4];
    p.lifeLeft = 0.0f;
    p.initialLife = 0.0f;
    p.y = 0.0f;
    UpdateParticles(0.0f);
    EXPECT_TRUE(std::isfinite(p.lifeFraction) || p.initialLife == 0.0f);
}

TEST_F(ParticleUpdate, RecordsPastTheCountAreUntouched) {
    particleCount = 500;
    std::memset(&particlePool[500], 0xAB, 1000 * sizeof(Particle));
    ResetParticles();
    UpdateParticles(0.3f);
    Burst();
    Scatter();
    Freeze();
    Updraft();
    EastWind();
    const auto* bytes = reinterpret_cast<const unsigned char*>(&particlePool[500]);
    for (size_t i = 0; i < 1000 * sizeof(Particle); ++i) {
        ASSERT_EQ(bytes[i], 0xAB) << "byte " << i;
    }
    EXPECT_NE(particlePool[499].lifeLeft, 0.0f);
}
