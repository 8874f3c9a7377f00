// The stopwatch, the statistics refresh and the frame step, on a fake clock.
#include <gtest/gtest.h>

#include <cstring>

#include "FakeClock.h"
#include "app/FrameClock.h"
#include "app/ProgramState.h"
#include "sim/Particles.h"

class FrameClock : public ::testing::Test {
protected:
    void SetUp() override {
        FakeClock::Install(/*withCounter=*/true);
        std::memset(particlePool, 0, sizeof(particlePool));
        particleCount = 32000;
        frameStats = {};
        benchmarkMode = 0;
        viewState.cameraYaw = 35;
        frameTimer = Timer();
        statsTimer = Timer();
        StartClocks();
    }
    void TearDown() override { UseSystemClock(); }

    // One idle call: the frame step, then the redisplayed frame counted.
    static void Frame(double seconds) {
        FakeClock::Advance(seconds);
        AdvanceFrame();
        CountFrame();
    }
};

TEST_F(FrameClock, TimerFallsBackToTickCountAndSurvivesWrap) {
    FakeClock::Install(/*withCounter=*/false);
    FakeClock::ticks = 0xFFFFFF00u;  // 256 ms before the wrap
    Timer timer;
    timer.Start();
    EXPECT_EQ(timer.useHighResolution, 0);
    FakeClock::ticks += 300;  // wraps to 44
    EXPECT_FLOAT_EQ(timer.ElapsedSeconds(), 0.3f);
    timer.Restart();
    FakeClock::ticks += 20;
    EXPECT_FLOAT_EQ(timer.ElapsedSeconds(), 0.02f);
}

TEST_F(FrameClock, TimerUsesCounterWhenPresent) {
    Timer timer;
    timer.Start();
    EXPECT_EQ(timer.useHighResolution, 1);
    EXPECT_FLOAT_EQ(timer.secondsPerTick, 1e-9f);
    FakeClock::Advance(1.5);
    EXPECT_FLOAT_EQ(timer.ElapsedSeconds(), 1.5f);
}

TEST_F(FrameClock, FirstRefreshSetsAverageButNotPeak) {
    for (int i = 0; i < 21; ++i) {
        Frame(0.01);
    }
    // The 21st call sees 0.21 s with 20 frames counted before it: 20 / 0.21.
    ASSERT_EQ(frameStats.intervalCount, 1);
    EXPECT_FLOAT_EQ(frameStats.fps, 95.238095f);
    EXPECT_FLOAT_EQ(frameStats.particlesPerSecond, 3047619.0f);
    EXPECT_EQ(frameStats.averageParticlesPerSecond, frameStats.particlesPerSecond);
    EXPECT_EQ(frameStats.peakParticlesPerSecond, 0.0f);
    EXPECT_EQ(frameStats.framesSinceRefresh, 1.0f);  // the refreshing call counts toward the next
}

TEST_F(FrameClock, SteadyRefreshesGiveHundredFramesAndPeak) {
    for (int i = 0; i < 21 * 3; ++i) {
        Frame(0.01);
    }
    EXPECT_EQ(frameStats.intervalCount, 3);
    EXPECT_EQ(frameStats.fps, 100.0f);
    EXPECT_EQ(frameStats.particlesPerSecond, 3200000.0f);  // the HUD's 3200 Kp/sec
    EXPECT_EQ(frameStats.peakParticlesPerSecond, 3200000.0f);
}

TEST_F(FrameClock, ExactlyTheIntervalDoesNotRefresh) {
    FakeClock::Advance(0.2);
    AdvanceFrame();
    EXPECT_EQ(frameStats.intervalCount, 0);
    FakeClock::Advance(0.001);
    AdvanceFrame();
    EXPECT_EQ(frameStats.intervalCount, 1);
}

TEST_F(FrameClock, CountChangeMidIntervalUsesNewCountWithWholeIntervalRate) {
    for (int i = 0; i < 21; ++i) {
        Frame(0.01);
    }
    for (int i = 0; i < 10; ++i) {
        Frame(0.01);
    }
    particleCount = 64000;
    for (int i = 0; i < 11; ++i) {
        Frame(0.01);
    }
    EXPECT_EQ(frameStats.intervalCount, 2);
    EXPECT_EQ(frameStats.particlesPerSecond, 6400000.0f);
    EXPECT_FLOAT_EQ(frameStats.averageParticlesPerSecond, 4723809.5f);  // (3047619 + 6400000) / 2
}

TEST_F(FrameClock, FirstStepIsTheTimeSinceStart) {
    FakeClock::Advance(0.75);  // GLUT's first events
    AdvanceFrame();
    EXPECT_FLOAT_EQ(frameDelta, 0.75f);
    FakeClock::Advance(0.01);
    AdvanceFrame();
    EXPECT_FLOAT_EQ(frameDelta, 0.01f);
}

TEST_F(FrameClock, StepStaysExactAfterLongRuns) {
    struct Row {
        double uptime;  // seconds already run
        const char* why;
    };
    const Row rows[] = {
        {36.0 * 3600, "a float of seconds rounds 10 ms to 15.6 ms here"},
        {194.0 * 86400, "a float of seconds makes every step 0 here"},
    };
    for (const Row& row : rows) {
        FakeClock::Advance(row.uptime);
        AdvanceFrame();
        FakeClock::Advance(0.01);
        AdvanceFrame();
        EXPECT_FLOAT_EQ(frameDelta, 0.01f) << row.why;
    }
}

TEST_F(FrameClock, StepInTickModeSurvivesWrap) {
    FakeClock::Install(/*withCounter=*/false);
    FakeClock::ticks = 0xFFFFFFF0u;
    frameTimer = Timer();
    statsTimer = Timer();
    StartClocks();
    FakeClock::ticks += 32;
    AdvanceFrame();
    EXPECT_FLOAT_EQ(frameDelta, 0.032f);
}

TEST_F(FrameClock, BenchmarkOrbitFollowsClockNotFrameRate) {
    benchmarkMode = 1;
    viewState.cameraYaw = 0;
    viewState.cameraPosition[1] = 7;
    for (int i = 0; i < 100; ++i) {
        Frame(0.01);  // one second in 100 frames
    }
    EXPECT_NEAR(viewState.cameraYaw, 50.0f, 1e-3);
    Frame(1.0);  // one second in one frame
    EXPECT_NEAR(viewState.cameraYaw, 100.0f, 1e-3);
    EXPECT_EQ(viewState.cameraPosition[1], 40.0f);
    EXPECT_EQ(viewState.cameraPosition[2], 170.0f);
}

TEST_F(FrameClock, FreeModeLeavesCameraAlone) {
    Frame(1.0);
    EXPECT_EQ(viewState.cameraYaw, 35.0f);
}
