// What the program measures, on known frame times: the HUD's statistics, and benchmark mode's
// turn lines and summary.
#include "ProgramFixture.h"

TEST_F(App, RefreshesGiveRateAverageAndLaterPeak) {
    frameStats = {};
    Frames(20, 0.01);  // 0.2 s: no refresh yet
    EXPECT_EQ(frameStats.intervalCount, 0);
    Frames(1, 0.01);  // 20 frames counted in 0.21 s
    EXPECT_EQ(frameStats.intervalCount, 1);
    EXPECT_FLOAT_EQ(frameStats.fps, 95.238095f);
    EXPECT_FLOAT_EQ(frameStats.averageParticlesPerSecond, 47619.047f);  // 500 particles
    EXPECT_EQ(frameStats.peakParticlesPerSecond, 0.0f);  // never from the first refresh
    EXPECT_EQ(frameStats.framesSinceRefresh, 1.0f);      // the refreshing call counts onward
    particleCount = 32000;
    Frames(21, 0.01);                                          // steady: 21 frames in 0.21 s
    EXPECT_EQ(frameStats.peakParticlesPerSecond, 3200000.0f);  // the HUD's 3200 Kp/sec
    Frames(10, 0.01);
    particleCount = 64000;  // mid-interval: the new count times the whole interval's rate
    Frames(11, 0.01);
    EXPECT_EQ(frameStats.particlesPerSecond, 6400000.0f);
    EXPECT_FLOAT_EQ(frameStats.averageParticlesPerSecond, 3215873.0f);  // mean of the three
}

// Benchmark mode's result lines on known frame times: in each step the keys, then frames of
// `ms` each. Frames of 31.25 ms turn the orbit in 230.4 of them, so 231 complete a turn.
TEST_F(App, EachTurnOfTheBenchmarkOrbitPrintsOneLine) {
    const std::tuple<const char*, std::vector<Step>, std::string> rows[] = {
        {"steady: the second turn starts 0.01875 s in, so it needs a frame less",
         {{"n", 461, 31.25}},
         kFirstTurn + "orbit=2 particles=32000 frames=230 seconds=7.19 fps=32.0 kps=1024" +
             kSteady},
        {"leaving drops the turn and sums up none, free mode prints nothing, entering counts "
         "from 1 again",
         {{"n", 200, 31.25}, {"n", 300, 31.25}, {"n", 231, 31.25}},
         "summary particles=32000 turns=0\n" + kFirstTurn},
        {"the summary leaves out the first turn: 2 of 3 at 32 fps, not one at 16",
         {{"n", 116, 62.5}, {"", 461, 31.25}, {"n", 0, 0}},
         "orbit=1 particles=32000 frames=116 seconds=7.25 fps=16.0 kps=512 frame_ms_p50=62.50 "
         "frame_ms_p99=62.50 frame_ms_max=62.50\n"
         "orbit=2 particles=32000 frames=229 seconds=7.16 fps=32.0 kps=1024" +
             kSteady + "orbit=3 particles=32000 frames=231 seconds=7.22 fps=32.0 kps=1024" +
             kSteady +
             "summary particles=32000 turns=2 fps_median=32.0 kps_median=1024 kps_min=1024 "
             "kps_max=1024 frame_ms_p99_median=31.25\n"},
    };
    for (const auto& [why, steps, lines] : rows) {
        SetUp();
        EXPECT_EQ(Printed(steps), lines) << why;
    }
}

// A count change starts the turn afresh; a step of 0 counts, a step past 65 s lands in the last
// bucket, and p50 and p99 lie where the running count equals the rank, unclamped at their
// buckets' middles: 2^(914.5/64) and 2^(978.5/64) us.
TEST_F(App, ATurnAfterACountChangeReadsItsPercentilesFromTheHistogram) {
    const std::string line =
        Printed({{"n", 100, 62.5}, {"+", 1, 0}, {"", 49, 20}, {"", 49, 40}, {"", 1, 70000}});
    // clang-format off
    const std::pair<const char*, const char*> fields[] = {
        {"particles", "32500"}, {"frames", "100"}, {"frame_ms_p50", "20.02"},
        {"frame_ms_p99", "40.04"}, {"frame_ms_max", "70000.00"}};
    // clang-format on
    for (const auto& [field, value] : fields) {
        EXPECT_EQ(Field(line, field), value) << field;
    }
}
