// What the program measures, on known frame times: the HUD's statistics, and benchmark mode's
// turn lines and summary.
#include <sstream>

#include "ProgramFixture.h"
#include "measure/RunSummary.h"
#include "measure/Statistics.h"

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
         kRunLine + kFirstTurn +
             "orbit=2 particles=32000 frames=230 seconds=7.19 fps=32.0 kps=1024" + kSteady +
             "1 cpu_ms=230\n"},
        {"leaving drops the turn and sums up none, free mode prints nothing, entering counts "
         "from 1 again",
         {{"n", 200, 31.25}, {"n", 300, 31.25}, {"n", 231, 31.25}},
         kRunLine + "summary particles=32000 turns=0 width=640 height=480\n" + kRunLine +
             kFirstTurn},
        {"the summary leaves out the first turn: 2 of 3 at 32 fps, not one at 16",
         {{"n", 116, 62.5}, {"", 461, 31.25}, {"n", 0, 0}},
         kRunLine +
             "orbit=1 particles=32000 frames=116 seconds=7.25 fps=16.0 kps=512 frame_ms_p50=62.50 "
             "frame_ms_p99=62.50 frame_ms_max=62.50 width=640 height=480 summed=0 cpu_ms=116\n"
             "orbit=2 particles=32000 frames=229 seconds=7.16 fps=32.0 kps=1024" +
             kSteady + "1 cpu_ms=229\norbit=3 particles=32000 frames=231 seconds=7.22 fps=32.0 " +
             "kps=1024" + kSteady +
             "1 cpu_ms=231\nsummary particles=32000 turns=2 fps_median=32.0 kps_median=1024 "
             "kps_min=1024 "
             "kps_max=1024 frame_ms_p99_median=31.25 width=640 height=480\n"},
        {"a step longer than two turns carries only its remainder, 0.6 s: ten frames more end no "
         "turn",
         {{"n", 1, 15000}, {"", 10, 31.25}},
         kRunLine + "orbit=1 particles=32000 frames=1 seconds=15.00 fps=0.1 kps=2 "
                    "frame_ms_p50=15000.00 frame_ms_p99=15000.00 frame_ms_max=15000.00 width=640 "
                    "height=480 summed=0 cpu_ms=1\n"},
        {"an odd count of frames: p50 is the second of three, p99 the third",
         {{"n", 1, 1000}, {"", 1, 2000}, {"", 1, 4300}},
         kRunLine + "orbit=1 particles=32000 frames=3 seconds=7.30 fps=0.4 kps=13 "
                    "frame_ms_p50=1997.39 frame_ms_p99=4300.00 frame_ms_max=4300.00 width=640 "
                    "height=480 summed=0 cpu_ms=3\n"},
    };
    for (const auto& [why, steps, lines] : rows) {
        SetUp();
        EXPECT_EQ(Printed(steps), lines) << why;
    }
}

// The summary's arithmetic on turns of their own figures, which order them each another way: the
// lower middle turn of an even count, the lowest and highest kps, the median of the turns' p99;
// and a table full at 65536 turns, which keeps its first.
TEST_F(App, TheSummaryTakesEachFiguresMiddleAndKeepsTheFirstFullTable) {
    // orbit, particles, frames, seconds (fps = frames), p50, p99, max, width, height
    const OrbitResult turns[] = {{2, 1000, 30, 1, 10, 40, 90, 640, 480, false, 0},
                                 {3, 1000, 10, 1, 10, 20, 90, 640, 480, false, 0},
                                 {4, 2000, 20, 1, 10, 60, 90, 640, 480, false, 0},
                                 {5, 1000, 50, 1, 10, 30, 90, 640, 480, false, 0}};
    const auto summary = [&turns](int count, const OrbitResult& last) {
        return Captured([&] {
            ForgetRunTurns();
            KeepTurn(last);  // the first, settling
            for (int i = 0; i < count; ++i) {
                KeepTurn(turns[i % 4]);
            }
            KeepTurn(last);
            PrintOrbitSummary(1000, 640, 480, orbitReportStream);
        });
    };
    EXPECT_EQ(summary(3, turns[3]),
              "summary particles=1000 turns=4 fps_median=20.0 kps_median=30 kps_min=10 "
              "kps_max=50 frame_ms_p99_median=30.00 width=640 height=480\n");
    const OrbitResult past = {6, 100, 1, 1, 10, 99, 99, 640, 480, false, 0};  // kps 0: past the end
    EXPECT_EQ(summary(65536, past),
              "summary particles=1000 turns=65536 fps_median=20.0 kps_median=30 kps_min=10 "
              "kps_max=50 frame_ms_p99_median=30.00 width=640 height=480\n");
}

// "+" and "-" within a turn set the workload twice, and the count is as it was: the summary
// forgets the turns at 16 fps before and leaves out the first after, one of the two turns since.
TEST_F(App, ACountSetAgainStartsTheSummaryAfresh) {
    const std::string lines =
        Printed({{"n", 116, 62.5}, {"", 232, 62.5}, {"+-", 461, 31.25}, {"n", 0, 0}});
    EXPECT_EQ(lines.substr(lines.rfind("summary")),
              "summary particles=32000 turns=1 fps_median=32.0 kps_median=1024 kps_min=1024 "
              "kps_max=1024 frame_ms_p99_median=31.25 width=640 height=480\n");
}

// Which turns the summary leaves out after each kind of change, from the rule rather than the
// turns' own marks: a change of the workload (count, size) forgets the turns before it and leaves
// out the first after; any other change of what a frame draws (an effect, a menu entry, the
// window's return) leaves out only the first after. The run: the first turn, one at 16 fps, the
// change 50 frames into the next, then one at 64 fps (the change's settling) and two at 32.
TEST_F(App, EachKindOfChangeLeavesOutTheTurnsOfItsOwnRule) {
    // clang-format off
    const std::tuple<const char*, void (*)(), const char*, const char*, const char*> rows[] = {
        {"count", [] { ApplyKey('+'); }, "0 1 0 1 1", "particles=32500 width=640 height=480",
         "particles=32500 turns=2 fps_median=32.0 kps_median=1040 kps_min=1040 kps_max=1040 "
         "frame_ms_p99_median=31.25 width=640 height=480"},
        {"viewport", [] { ApplyKey('1'); }, "0 1 0 1 1", "particles=32000 width=320 height=240",
         "particles=32000 turns=2 fps_median=32.0 kps_median=1024 kps_min=1024 kps_max=1024 "
         "frame_ms_p99_median=31.25 width=320 height=240"},
        {"resize", [] { ResizeView(800, 600); }, "0 1 0 1 1", "particles=32000 width=800 height=600",
         "particles=32000 turns=2 fps_median=32.0 kps_median=1024 kps_min=1024 kps_max=1024 "
         "frame_ms_p99_median=31.25 width=800 height=600"},
        {"effect", [] { ApplyKey('b'); }, "0 1 0 1 1", "",
         "particles=32000 turns=3 fps_median=32.0 kps_median=1024 kps_min=512 kps_max=1024 "
         "frame_ms_p99_median=31.25 width=640 height=480"},
        {"menu", [] { ApplyMenu(kMenuEntries[3].value); }, "0 1 0 1 1", "",
         "particles=32000 turns=3 fps_median=32.0 kps_median=1024 kps_min=512 kps_max=1024 "
         "frame_ms_p99_median=31.25 width=640 height=480"},
        {"return", [] { ShowWindow(false); ShowWindow(true); }, "0 1 0 1 1", "",
         "particles=32000 turns=3 fps_median=32.0 kps_median=1024 kps_min=512 kps_max=1024 "
         "frame_ms_p99_median=31.25 width=640 height=480"},
    };
    // clang-format on
    for (const auto& [change, act, marks, workload, summary] : rows) {
        SetUp();
        const std::string lines = Captured([act] {
            ApplyKey('n');
            Frames(231, 0.03125);
            Frames(115, 0.0625);
            Frames(50, 0.03125);
            act();
            Frames(461, 0.015625);
            Frames(461, 0.03125);
            ApplyKey('n');
        });
        std::string marked;  // each turn's summed mark, in order
        std::string runs;    // each run line's workload
        std::istringstream printed(lines);
        for (std::string line; std::getline(printed, line);) {
            if (line.starts_with("orbit=")) {
                marked.append(marked.empty() ? "" : " ");
                marked += line[line.find(" summed=") + 8];
            } else if (line.starts_with("run ")) {
                const size_t from = line.find("particles=");
                runs.append(runs.empty() ? "" : " ");
                runs += line.substr(from, line.find(" swap") - from);
            }
        }
        EXPECT_EQ(marked, marks) << change;
        EXPECT_EQ(runs, std::string("particles=32000 width=640 height=480") +
                            (*workload ? " " : "") + workload)
            << change;
        EXPECT_EQ(lines.substr(lines.rfind("summary ")), "summary " + std::string(summary) + "\n")
            << change;
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

// The comparison's statistics against SciPy 1.10 on the same samples, made once with
//   python3 -c 'from scipy.stats import mannwhitneyu; print(mannwhitneyu(A, B))'
// and, for the intervals, the largest k with 2 * scipy.stats.binom.cdf(k - 1, n, 0.5) <= 0.05.
TEST(Statistics, UTestMediansAndIntervalsMatchTheReference) {
    std::vector<double> twenty;
    for (int i = 1; i <= 20; ++i) {
        twenty.push_back(i);
    }
    // Sample a, sample b, then U of a and the two-sided p-value.
    const std::tuple<const char*, std::vector<double>, std::vector<double>, double, double> rows[] =
        {
            {"exact, odd and even",
             {1.1, 2.3, 3.5, 4.2, 5.9},
             {3, 6.1, 7.4, 8.8, 9, 9.5},
             3,
             0.030303030303030304},
            {"exact, one value each", {2}, {1}, 1, 1},
            {"exact, 3 against 20", {5.5, 9.5, 14.5}, twenty, 28, 0.8977978543195934},
            {"ties: normal",
             {10, 11, 11, 12, 13},
             {11, 12, 14, 15, 15, 16},
             4.5,
             0.06414661873440437},
            {"exact, 9 against 8",
             {1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 20.5},
             {3, 6, 9, 10, 11, 12, 13, 14},
             17,
             0.07445495680789799},
            {"9 and 10: normal",
             {1, 2, 3, 4, 5, 6, 7, 8, 9},
             {5.5, 6.5, 7.5, 8.5, 9.5, 10.5, 11.5, 12.5, 13.5, 14.5},
             10,
             0.004848762721678938},
            {"all tied", {3, 3}, {3, 3, 3}, 3, 1},
        };
    for (const auto& [why, a, b, u, p] : rows) {
        const UTest test = MannWhitneyU(a, b);
        EXPECT_EQ(test.u, u) << why;
        EXPECT_NEAR(test.p, p, 1e-12) << why;
    }
    // Count, then the interval's ends and the median, of (7i mod n) + 1 for i below n.
    const std::tuple<int, double, double, double> intervals[] = {
        {6, 1, 6, 3}, {9, 2, 8, 5}, {10, 2, 9, 5}, {20, 6, 15, 10}};
    for (const auto& [n, low, high, median] : intervals) {
        std::vector<double> values;
        for (int i = 0; i < n; ++i) {
            values.push_back((i * 7) % n + 1);
        }
        const MedianInterval interval = MedianInterval95(values);
        EXPECT_TRUE(interval.known) << n;
        EXPECT_EQ(interval.low, low) << n;
        EXPECT_EQ(interval.high, high) << n;
        EXPECT_EQ(Median(values), median) << n;
    }
    EXPECT_FALSE(MedianInterval95({5, 1, 4, 2, 3}).known);  // 5 values are too few
}

// Against SciPy 1.10's wilcoxon (method "exact", or "approx" with correction=True) and
// kendalltau(range(n), values, method="asymptotic").
TEST(Statistics, SignedRankAndTrendTestsMatchTheReference) {
    std::vector<double> fifty;  // no two alike in size: exact up to 50 differences, normal beyond
    for (int i = 0; i < 51; ++i) {
        fifty.push_back((i * 37) % 101 - 50.5);
    }
    const std::vector<double> fiftyOne = fifty;
    fifty.pop_back();
    // Differences, then how many count, W of the positive ones and the two-sided p-value.
    const std::tuple<const char*, std::vector<double>, int, double, double> rows[] = {
        {"exact", {1.5, -0.5, 2.5, 3.5, 4.5, 5.5}, 6, 20, 0.0625},
        {"exact, all of one sign", {1, 2, 3, 4, 5, 6}, 6, 21, 0.03125},
        {"exact, 50", fifty, 50, 625, 0.9085978224870299},
        {"normal, 51", fiftyOne, 51, 641, 0.8402845354837747},
        {"ties: normal", {1, 1, -2, 3, 3, 3, 4, -5, 6, 7}, 10, 44, 0.101799415202487},
        {"zeros dropped", {0, -3, 1, 0, -2}, 3, 1, 0.5},
        {"only zeros", {0, 0}, 0, 0, 1},
    };
    for (const auto& [why, differences, n, w, p] : rows) {
        const SignedRankTest test = WilcoxonSignedRank(differences);
        EXPECT_EQ(test.n, n) << why;
        EXPECT_EQ(test.w, w) << why;
        EXPECT_NEAR(test.p, p, 1e-12) << why;
    }
    // Values in time order, then tau and the p-value.
    const std::tuple<std::vector<double>, double, double> trends[] = {
        {{1, 2, 3, 4, 5, 6, 7, 8}, 1, 0.0005320055051392492},
        {{843, 835, 847, 900, 1213, 1191, 1200, 1100, 1150, 990},
         0.37777777777777777,
         0.12837877285143115},
        {{3, 1, 2, 2, 5, 5, 4, 6, 2}, 0.35355339059327373, 0.1991148485732348},
        {{8, 7, 6, 5, 4, 3, 2, 1}, -1, 0.0005320055051392492},
        {{4, 4, 4}, 0, 1},
    };
    for (const auto& [values, tau, p] : trends) {
        const TrendTest test = KendallTrend(values);
        EXPECT_NEAR(test.tau, tau, 1e-12) << values[1];
        EXPECT_NEAR(test.p, p, 1e-12) << values[1];
    }
}
