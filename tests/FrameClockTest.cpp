// The stopwatch, the statistics refresh and the frame step, on a fake clock.
#include "app/FrameClock.h"

#include <cstring>

#include <gtest/gtest.h>

#include "FakeClock.h"
#include "app/ProgramState.h"
#include "sim/Particles.h"

class FrameClock : public ::testing::Test {
protected:
    void SetUp() override { Restart(/*withCounter=*/true, /*ticks=*/0); }
    void TearDown() override { UseSystemClock(); }

    static void Restart(bool withCounter, uint32_t ticks) {
        FakeClock::Install(withCounter);
        FakeClock::ticks = ticks;
        std::memset(particlePool, 0, sizeof(particlePool));
        particleCount = 32000;
        frameStats = {};
        benchmarkMode = 0;
        viewState.cameraYaw = 35;
        frameTimer = Timer();
        statsTimer = Timer();
        StartClocks();
    }
    // One idle call: the frame step, then the redisplayed frame counted.
    static void Frames(int count, double seconds) {
        for (int i = 0; i < count; ++i) {
            FakeClock::Advance(seconds);
            AdvanceFrame();
            CountFrame();
        }
    }
};

TEST_F(FrameClock, TimerFallsBackToTickCountAndSurvivesWrap) {
    Restart(/*withCounter=*/false, /*ticks=*/0xFFFFFF00u);  // 256 ms before the wrap
    EXPECT_EQ(frameTimer.useHighResolution, 0);
    FakeClock::ticks += 300;
    EXPECT_FLOAT_EQ(frameTimer.ElapsedSeconds(), 0.3f);
    AdvanceFrame();
    EXPECT_FLOAT_EQ(frameDelta, 0.3f);
    statsTimer.Restart();
    FakeClock::ticks += 20;
    EXPECT_FLOAT_EQ(statsTimer.ElapsedSeconds(), 0.02f);
}

TEST_F(FrameClock, RefreshesGiveRateAverageAndLaterPeak) {
    Frames(21, 0.01);  // the 21st call sees 0.21 s with 20 frames counted before it
    ASSERT_EQ(frameStats.intervalCount, 1);
    EXPECT_FLOAT_EQ(frameStats.fps, 95.238095f);
    EXPECT_FLOAT_EQ(frameStats.particlesPerSecond, 3047619.0f);
    EXPECT_EQ(frameStats.averageParticlesPerSecond, frameStats.particlesPerSecond);
    EXPECT_EQ(frameStats.peakParticlesPerSecond, 0.0f);  // never from the first refresh
    EXPECT_EQ(frameStats.framesSinceRefresh, 1.0f);      // the refreshing call counts onward
    Frames(21, 0.01);                                    // steady: 21 frames in 0.21 s
    EXPECT_EQ(frameStats.fps, 100.0f);
    EXPECT_EQ(frameStats.particlesPerSecond, 3200000.0f);  // the HUD's 3200 Kp/sec
    EXPECT_EQ(frameStats.peakParticlesPerSecond, 3200000.0f);
    Frames(10, 0.01);
    particleCount = 64000;  // mid-interval: the new count times the whole interval's rate
    Frames(11, 0.01);
    EXPECT_EQ(frameStats.particlesPerSecond, 6400000.0f);
    EXPECT_FLOAT_EQ(frameStats.averageParticlesPerSecond, 4215873.0f);  // mean of the three
}

TEST_F(FrameClock, ExactlyTheIntervalDoesNotRefresh) {
    FakeClock::Advance(0.2);
    AdvanceFrame();
    EXPECT_EQ(frameStats.intervalCount, 0);
    FakeClock::Advance(0.001);
    AdvanceFrame();
    EXPECT_EQ(frameStats.intervalCount, 1);
}

TEST_F(FrameClock, StepIsExactFromStartAndAfterLongRuns) {
    FakeClock::Advance(0.75);  // GLUT's first events
    AdvanceFrame();
    EXPECT_FLOAT_EQ(frameDelta, 0.75f);
    const struct {
        double uptime;
        const char* why;
    } rows[] = {
        {36.0 * 3600, "a float of seconds would round 10 ms to 15.6 ms here"},
        {194.0 * 86400, "a float of seconds would make every step 0 here"},
    };
    for (const auto& row : rows) {
        FakeClock::Advance(row.uptime);
        AdvanceFrame();
        FakeClock::Advance(0.01);
        AdvanceFrame();
        EXPECT_FLOAT_EQ(frameDelta, 0.01f) << row.why;
    }
}

TEST_F(FrameClock, BenchmarkOrbitFollowsClockNotFrameRate) {
    Frames(1, 1.0);
    EXPECT_EQ(viewState.cameraYaw, 35.0f);  // free mode leaves the camera alone
    benchmarkMode = 1;
    viewState.cameraYaw = 0;
    viewState.cameraPosition[1] = 7;
    Frames(100, 0.01);
    EXPECT_NEAR(viewState.cameraYaw, 50.0f, 1e-3);
    Frames(1, 1.0);
    EXPECT_NEAR(viewState.cameraYaw, 100.0f, 1e-3);
    EXPECT_EQ(viewState.cameraPosition[1], 40.0f);
    viewState.cameraYaw = 359.75f;  // kept within one turn, so a small step never rounds away
    Frames(1, 0.01);
    EXPECT_NEAR(viewState.cameraYaw, 0.25f, 1e-4);
}
