// Keys, menu values, the statistics resets and the benchmark toggle.
#include "app/Commands.h"

#include <cstring>

#include <gtest/gtest.h>

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
        viewState.windowWidth = 640;
        viewState.windowHeight = 480;
        viewState.cameraPitch = 10;
        viewState.cameraYaw = 35;
        viewState.cameraRoll = 5;
        frameStats = {7, 60, 1920000, 5760000, 3, 1920000, 2000000};
    }
    static uint32_t StateAfter(uint32_t state, int draws) {
        for (int i = 0; i < draws; ++i) {
            state = state * 214013u + 2531011u;
        }
        return state;
    }
};

TEST_F(Commands, CountKeysResetAverageAndPeakAndStopAtLimits) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(ApplyKey('+'));
    }
    EXPECT_EQ(particleCount, 33500);
    const FrameStats expected = {7, 60, 1920000, 0, 0, 0, 0};  // fps, rate and frames kept
    EXPECT_EQ(std::memcmp(&frameStats, &expected, sizeof(expected)), 0);
    for (int i = 0; i < 300; ++i) {
        ApplyKey('-');
    }
    EXPECT_EQ(particleCount, 500);
    for (int i = 0; i < 300; ++i) {
        ApplyKey('+');
    }
    EXPECT_EQ(particleCount, 120000);
}

TEST_F(Commands, BenchmarkToggleSavesAndRestoresCount) {
    particleCount = 50000;
    ApplyKey('n');
    EXPECT_EQ(benchmarkMode, 1);
    EXPECT_EQ(particleCount, 32000);
    const FrameStats expected = {7, 0, 1920000, 0, 0, 0, 0};  // fps too, unlike the count keys
    EXPECT_EQ(std::memcmp(&frameStats, &expected, sizeof(expected)), 0);
    EXPECT_EQ(viewState.cameraPitch, 0.0f);
    EXPECT_EQ(viewState.cameraYaw, 0.0f);
    EXPECT_EQ(viewState.cameraRoll, 0.0f);
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
        EXPECT_EQ(randomState, StateAfter(9, 500 * row.draws)) << row.key;
    }
    ApplyKey('F');
    EXPECT_EQ(particlePool[0].lifeLeft, 18.0f);
    for (const unsigned char key : {'g', 'G', 'h'}) {
        ApplyKey(key);
    }
    EXPECT_FLOAT_EQ(particlePool[0].verticalAccel, 0.01f);
}

TEST_F(Commands, OtherKeysDoNothing) {
    const FrameStats stats = frameStats;
    const ViewState view = viewState;
    for (int key = 1; key < 256; ++key) {
        if (std::strchr("+-12bcfghnrBCFGHNR", key) == nullptr) {
            EXPECT_FALSE(ApplyKey(static_cast<unsigned char>(key))) << key;
        }
    }
    EXPECT_FALSE(ApplyKey(0));
    EXPECT_EQ(particleCount, 32000);
    EXPECT_EQ(randomState, 1u);
    EXPECT_EQ(benchmarkMode, 0);
    EXPECT_EQ(std::memcmp(&stats, &frameStats, sizeof(stats)), 0);
    EXPECT_EQ(std::memcmp(&view, &viewState, sizeof(view)), 0);
    EXPECT_EQ(particlePool[0].lifeLeft, 0.0f);
}

TEST_F(Commands, MenuValuesActOnlyOneToSix) {
    particleCount = 500;
    for (const int value : {4, 4, 5, 2, 3, 3}) {  // winds and draughts
        ApplyMenu(value);
    }
    EXPECT_FLOAT_EQ(particlePool[0].windAccel, 0.01f);
    EXPECT_FLOAT_EQ(particlePool[0].verticalAccel, -0.01f);
    ApplyMenu(1);
    EXPECT_EQ(particlePool[0].x, -80.0f);  // burst
    const uint32_t state = randomState;
    ApplyMenu(6);
    EXPECT_EQ(randomState, StateAfter(state, 500 * 16));  // scatter
    for (const int value : {0, 7, -1, 100}) {
        ApplyMenu(value);
    }
    EXPECT_EQ(randomState, StateAfter(state, 500 * 16));
    EXPECT_EQ(frameStats.intervalCount, 3);  // the menu leaves statistics alone
}
