// Keys, menu values, the statistics resets and the benchmark toggle.
#include <gtest/gtest.h>

#include <cstring>

#include "app/Commands.h"
#include "app/ProgramState.h"
#include "sim/Particles.h"
#include "sim/Random.h"

class Commands : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(particlePool, 0, sizeof(particlePool));
        particleCount = 32000;
        randomState = 1;
        benchmarkMode = 0;
        savedParticleCount = 0;
        viewState.windowWidth = 640;
        viewState.windowHeight = 480;
        viewState.cameraPitch = 10;
        viewState.cameraYaw = 35;
        viewState.cameraRoll = 5;
        frameStats = {.framesSinceRefresh = 7,
                      .fps = 60,
                      .particlesPerSecond = 1920000,
                      .particlesPerSecondSum = 5760000,
                      .intervalCount = 3,
                      .averageParticlesPerSecond = 1920000,
                      .peakParticlesPerSecond = 2000000};
    }
};

TEST_F(Commands, PlusThreeTimesResetsAverageAndPeakKeepsRate) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(ApplyKey('+'));
    }
    EXPECT_EQ(particleCount, 33500);
    EXPECT_EQ(frameStats.averageParticlesPerSecond, 0.0f);
    EXPECT_EQ(frameStats.peakParticlesPerSecond, 0.0f);
    EXPECT_EQ(frameStats.particlesPerSecondSum, 0.0f);
    EXPECT_EQ(frameStats.intervalCount, 0);
    EXPECT_EQ(frameStats.fps, 60.0f);
    EXPECT_EQ(frameStats.particlesPerSecond, 1920000.0f);
    EXPECT_EQ(frameStats.framesSinceRefresh, 7.0f);
}

TEST_F(Commands, CountKeysStopAtLimits) {
    for (int i = 0; i < 300; ++i) {
        ApplyKey('-');
    }
    EXPECT_EQ(particleCount, 500);
    for (int i = 0; i < 300; ++i) {
        ApplyKey('+');
    }
    EXPECT_EQ(particleCount, 120000);
    EXPECT_EQ(frameStats.intervalCount, 0);  // reset even at the limit
}

TEST_F(Commands, BenchmarkToggleSavesAndRestoresCount) {
    particleCount = 50000;
    ApplyKey('n');
    EXPECT_EQ(benchmarkMode, 1);
    EXPECT_EQ(particleCount, 32000);
    EXPECT_EQ(frameStats.fps, 0.0f);
    EXPECT_EQ(frameStats.particlesPerSecond, 1920000.0f);  // kept
    EXPECT_EQ(frameStats.framesSinceRefresh, 7.0f);
    EXPECT_EQ(viewState.cameraPitch, 0.0f);
    EXPECT_EQ(viewState.cameraYaw, 0.0f);
    EXPECT_EQ(viewState.cameraRoll, 0.0f);
    ApplyKey('+');
    ApplyKey('+');
    viewState.cameraYaw = 123;
    ApplyKey('N');
    EXPECT_EQ(benchmarkMode, 0);
    EXPECT_EQ(particleCount, 50000);
    EXPECT_EQ(viewState.cameraYaw, 123.0f);  // the orbit's angle stays
}

TEST_F(Commands, KeysActInBothCases) {
    EXPECT_TRUE(ApplyKey('1'));
    EXPECT_EQ(viewState.windowWidth, 320);
    EXPECT_EQ(viewState.windowHeight, 240);
    EXPECT_TRUE(ApplyKey('2'));
    EXPECT_EQ(viewState.windowHeight, 480);
    particleCount = 500;
    const struct {
        unsigned char key;
        int draws;  // per active record
    } rows[] = {{'b', 24}, {'B', 24}, {'c', 16}, {'C', 16}, {'r', 24}, {'R', 24}};
    for (const auto& row : rows) {
        randomState = 9;
        ApplyKey(row.key);
        uint32_t expected = 9;
        for (int i = 0; i < 500 * row.draws; ++i) {
            expected = expected * 214013u + 2531011u;
        }
        EXPECT_EQ(randomState, expected) << row.key;
    }
    ApplyKey('F');
    EXPECT_EQ(particlePool[0].lifeLeft, 18.0f);
    for (const unsigned char key : {'g', 'G', 'h'}) {
        ApplyKey(key);
    }
    EXPECT_FLOAT_EQ(particlePool[0].verticalAccel, 0.01f);
}

TEST_F(Commands, OtherKeysDoNothing) {
    std::memset(particlePool, 0x11, 1000 * sizeof(Particle));
    const FrameStats stats = frameStats;
    const ViewState view = viewState;
    for (int key = 0; key < 256; ++key) {
        if (std::strchr("+-12bcfghnrBCFGHNR", key) != nullptr && key != 0) {
            continue;
        }
        EXPECT_FALSE(ApplyKey(static_cast<unsigned char>(key))) << key;
    }
    EXPECT_EQ(particleCount, 32000);
    EXPECT_EQ(randomState, 1u);
    EXPECT_EQ(benchmarkMode, 0);
    EXPECT_EQ(std::memcmp(&stats, &frameStats, sizeof(stats)), 0);
    EXPECT_EQ(std::memcmp(&view, &viewState, sizeof(view)), 0);
    EXPECT_EQ(particlePool[0].windAccel, particlePool[999].windAccel);
}

TEST_F(Commands, MenuValuesActOnlyOneToSix) {
    particleCount = 500;
    ApplyMenu(4);
    ApplyMenu(4);
    ApplyMenu(5);
    EXPECT_FLOAT_EQ(particlePool[0].windAccel, 0.01f);
    ApplyMenu(2);
    ApplyMenu(3);
    ApplyMenu(3);
    EXPECT_FLOAT_EQ(particlePool[0].verticalAccel, -0.01f);
    randomState = 1;
    ApplyMenu(1);  // burst
    EXPECT_EQ(particlePool[0].x, -80.0f);
    randomState = 1;
    ApplyMenu(6);  // scatter: 16 draws per record
    EXPECT_EQ(particlePool[0].vx, 78.8669968f);
    const uint32_t state = randomState;
    const Particle before = particlePool[3];
    for (const int value : {0, 7, -1, 100}) {
        ApplyMenu(value);
    }
    EXPECT_EQ(randomState, state);
    EXPECT_EQ(std::memcmp(&before, &particlePool[3], sizeof(Particle)), 0);
    EXPECT_EQ(frameStats.intervalCount, 3);  // the menu leaves statistics alone
}
