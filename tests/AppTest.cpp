// The application shell without a window: the frame clock and statistics on a clock that moves
// only when the test says so, keys and menu values, camera drags, and the HUD's figures.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "SimScript.h"
#include "app/Camera.h"
#include "app/Commands.h"
#include "app/FrameClock.h"
#include "app/OrbitReport.h"
#include "app/ProgramState.h"
#include "platform/Clock.h"
#include "render/Hud.h"

namespace {

bool hasCounter = true;
int64_t counter = 0;  // nanoseconds
uint32_t ticks = 0;   // milliseconds

// The program's state as a test starts it: 500 fresh particles from state 1, free mode, the
// start-up view, some statistics, and timers just started on the test's clock.
class App : public ::testing::Test {
protected:
    void SetUp() override { Start(/*withCounter=*/true, /*startTicks=*/0); }
    void TearDown() override { UseSystemClock(); }

    static void Start(bool withCounter, uint32_t startTicks) {
        hasCounter = withCounter;
        counter = 0;
        ticks = startTicks;
        // Without a counter the frequency is left alone, as the system's query does.
        UseClockSource({[](int64_t* hz) { return hasCounter && (*hz = 1000000000) > 0; },
                        [] { return counter; }, [] { return ticks; }, [] { return int64_t{0}; }});
        StartScript();
        ResetParticles();
        benchmarkMode = 0;
        viewState = {640, 480, 10, 35, 5, {0, 40, 170}, 0, 0};
        frameStats = {7, 60, 1920000, 5760000, 3, 1920000, 2000000};
        frameTimer = statsTimer = Timer();
        StartClocks();
    }
    // Idle calls of `seconds` each: the frame's work, then the frame counted.
    static void Frames(int count, double seconds) {
        for (int i = 0; i < count; ++i) {
            counter += static_cast<int64_t>(seconds * 1e9 + 0.5);
            ticks += static_cast<uint32_t>(seconds * 1e3 + 0.5);
            StepFrame([] {});
        }
    }
    using Step = std::tuple<const char*, int, double>;  // keys, then frames of `ms` each
    // What benchmark mode prints over the steps.
    static std::string Printed(const std::vector<Step>& steps) {
        orbitReportStream = std::tmpfile();
        for (const auto& [keys, frames, ms] : steps) {
            for (const char* key = keys; *key != '\0'; ++key) {
                ApplyKey(*key);
            }
            Frames(frames, ms / 1000);
        }
        std::string lines(std::ftell(orbitReportStream), '\0');
        std::rewind(orbitReportStream);
        std::fread(lines.data(), 1, lines.size(), orbitReportStream);
        std::fclose(std::exchange(orbitReportStream, stdout));
        return lines;
    }
};

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

TEST_F(App, StepIsExactAfterLongRunsTheOrbitFollowsItAndTheTickCountMayWrap) {
    Frames(1, 0.75);  // GLUT's first events
    EXPECT_FLOAT_EQ(frameDelta, 0.75f);
    EXPECT_EQ(viewState.cameraYaw, 35.0f);  // free mode leaves the camera alone
    // A float of seconds since start would round 10 ms to 15.6 ms after 36 hours, to 0 after
    // 194 days.
    for (const double uptime : {36.0 * 3600, 194.0 * 86400}) {
        Frames(1, uptime);
        Frames(1, 0.01);
        EXPECT_FLOAT_EQ(frameDelta, 0.01f) << uptime;
    }
    benchmarkMode = 1;
    viewState.cameraYaw = 359.75f;  // kept within one turn, so a small step never rounds away
    viewState.cameraPosition[1] = 7;
    Frames(101, 0.01);
    EXPECT_NEAR(viewState.cameraYaw, 50.25f, 1e-3);  // 50 degrees a second, not per frame
    EXPECT_EQ(viewState.cameraPosition[1], 40.0f);
    Start(/*withCounter=*/false, /*startTicks=*/0xFFFFFF00u);  // 256 ms before the wrap
    EXPECT_EQ(frameTimer.useHighResolution, 0);
    ticks += 200;  // exactly the statistics interval: no refresh
    StepFrame([] {});
    EXPECT_EQ(frameStats.intervalCount, 3);
    ticks += 100;  // past the wrap
    EXPECT_FLOAT_EQ(statsTimer.ElapsedSeconds(), 0.3f);
    StepFrame([] {});
    EXPECT_EQ(frameStats.intervalCount, 4);
    EXPECT_FLOAT_EQ(frameDelta, 0.1f);
}

void Nothing() {}

// Everything a command may change: count, random state and pool as the simulation script
// describes them, then the statistics, the view and the mode, byte for byte.
std::string Snapshot() {
    std::string state = RunStep("add:0");
    state.append(reinterpret_cast<const char*>(&frameStats), sizeof(frameStats));
    state.append(reinterpret_cast<const char*>(&viewState), sizeof(viewState));
    return state + std::to_string(benchmarkMode);
}

TEST_F(App, KeysInEitherCaseAndMenuEntriesRunTheirOperationAndNothingElse) {
    // Keys, the menu entry by its place from the top (the menu's picture shows its label there;
    // -1 is a value of no entry) and the operation they stand for; the labels' letters are no
    // keys.
    const std::tuple<const char*, int, void (*)()> rows[] = {
        {"bB", 2, Burst},     {"cC", 3, Scatter},
        {"fF", -1, Freeze},   {"gG", 4, Updraft},
        {"hH", 5, Downdraft}, {"rR", -1, ResetParticles},
        {"", 6, EastWind},    {"", 7, WestWind},
        {"", 1, Nothing},     {"\x1b =03456789aAvVwWsSdDzZxX\x7f\xff", 0, Nothing}};
    for (const auto& [keys, entry, operation] : rows) {
        SetUp();
        operation();
        const std::string expected = Snapshot();
        for (const char* key = keys; *key != '\0'; ++key) {
            SetUp();
            EXPECT_FALSE(ApplyKey(*key));
            EXPECT_EQ(Snapshot(), expected) << *key;
        }
        SetUp();
        const std::string untouched = Snapshot();
        ApplyMenu(entry < 0 ? -1 : kMenuEntries[entry].value);
        EXPECT_EQ(Snapshot(), entry >= 0 ? expected : untouched) << entry;
    }
}

TEST_F(App, CountAndBenchmarkKeys) {
    const FrameStats counted = {7, 60, 1920000, 0, 0, 0, 0};  // fps, rate and frames kept
    for (const auto& [key, count] : {std::pair{'+', 50500}, std::pair{'-', 49500}}) {
        SetUp();
        particleCount = 50000;
        ApplyKey(key);
        EXPECT_EQ(particleCount, count) << key;
        EXPECT_EQ(std::memcmp(&frameStats, &counted, sizeof(counted)), 0) << key;
    }
    particleCount = 51000;
    frameStats.intervalCount = 4;
    ApplyKey('n');
    EXPECT_EQ(benchmarkMode, 1);
    EXPECT_EQ(particleCount, 32000);
    const FrameStats benchmark = {7, 0, 1920000, 0, 0, 0, 0};  // fps too, unlike the count keys
    EXPECT_EQ(std::memcmp(&frameStats, &benchmark, sizeof(benchmark)), 0);
    EXPECT_EQ(viewState.cameraPitch + viewState.cameraYaw + viewState.cameraRoll, 0.0f);
    ApplyKey('+');
    viewState.cameraYaw = 123;
    ApplyKey('N');
    EXPECT_EQ(benchmarkMode, 0);
    EXPECT_EQ(particleCount, 51000);         // the count from before
    EXPECT_EQ(viewState.cameraYaw, 123.0f);  // the orbit's angle stays
}

// Turns of frames of 31.25 ms, the first since benchmark mode was entered here.
const std::string kSteady = " frame_ms_p50=31.25 frame_ms_p99=31.25 frame_ms_max=31.25\n";
const std::string kFirstTurn =
    "orbit=1 particles=32000 frames=231 seconds=7.22 fps=32.0 kps=1024" + kSteady;

// Benchmark mode's result lines on known frame times: in each step the keys, then frames of
// `ms` each. Frames of 31.25 ms turn the orbit in 230.4 of them, so 231 complete a turn.
TEST_F(App, EachTurnOfTheBenchmarkOrbitPrintsOneLine) {
    const std::tuple<const char*, std::vector<Step>, std::string> rows[] = {
        {"steady: the second turn starts 0.01875 s in, so it needs a frame less",
         {{"n", 461, 31.25}},
         kFirstTurn + "orbit=2 particles=32000 frames=230 seconds=7.19 fps=32.0 kps=1024" +
             kSteady},
        // p50 and p99 unclamped, at their buckets' middles: 2^(914.5/64) and 2^(978.5/64) us
        {"a count change starts the turn afresh: a step of 0, p50 and p99 where the running "
         "count equals the rank, a step past 65 s",
         {{"n", 100, 62.5}, {"+", 1, 0}, {"", 49, 20}, {"", 49, 40}, {"", 1, 70000}},
         "orbit=1 particles=32500 frames=100 seconds=72.94 fps=1.4 kps=44 frame_ms_p50=20.02 "
         "frame_ms_p99=40.04 frame_ms_max=70000.00\n"},
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

// Anything that changes what a frame draws drops the turn in progress, as a count change does;
// so does a time in which no frame was drawn, which the next frame's step leaves out.
TEST_F(App, AnEffectAViewportOrAHiddenWindowStartsTheTurnAfresh) {
    // The keys, then the values of the menu's entries that act, which lie below any key's code.
    const int actions[] = {
        'b',           'B',          'c',        'C',          'f',          'F',
        'g',           'G',          'h',        'H',          'r',          'R',
        '1',           '2',          kMenuBurst, kMenuScatter, kMenuUpdraft, kMenuDowndraft,
        kMenuEastWind, kMenuWestWind};
    for (const int action : actions) {
        SetUp();
        Printed({{"n", 100, 62.5}});
        action < ' ' ? ApplyMenu(action) : (void)ApplyKey(action);
        EXPECT_EQ(Printed({{"", 231, 31.25}}), kFirstTurn) << action;
    }
    SetUp();
    Printed({{"n", 100, 62.5}});
    counter += 20'000'000'000;  // 20 s hidden: no idle calls
    ResumeFrames();
    Frames(7, 0.03125);  // the statistics count from the resumption: 6 frames in 0.21875 s
    EXPECT_FLOAT_EQ(frameStats.fps, 27.428572f);
    EXPECT_EQ(Printed({{"", 224, 31.25}}), kFirstTurn);  // with no step of 20 s among them
}

TEST(Camera, DragsScaleWithTheViewportAndTheAspectIsWidthOverHeight) {
    // Viewport size, benchmark mode, the drag from and to; then the yaw and pitch it leaves.
    const std::tuple<int, int, int, int, int, int, int, float, float, const char*> rows[] = {
        {640, 480, 0, 0, 100, 640, 100, 395, 0, "a full width turns the yaw once"},
        {320, 240, 0, 10, 10, 330, 10, 395, 0, "after key 1 a 320-pixel drag does"},
        {640, 480, 0, 0, 0, 0, 48, 35, 36, "48 pixels down in 480 is 36 degrees"},
        {640, 480, 0, 0, 0, 0, 4848, 35, 3636, "pitch has no limit"},
        {640, 480, 1, 0, 0, 320, 240, 35, 0, "benchmark mode turns nothing"},
        {0, 0, 0, 0, 0, 64, 0, 35 + 64 * 360, 0, "a collapsed viewport scales as one pixel"}};
    for (const auto& [width, height, benchmark, fromX, fromY, toX, toY, yaw, pitch, why] : rows) {
        viewState = {width, height, 0, 35, 0, {0, 40, 170}, 0, 0};
        benchmarkMode = benchmark;
        TrackPointer(fromX, fromY);
        DragCamera(toX, toY);
        EXPECT_EQ(viewState.cameraYaw, yaw) << why;
        EXPECT_EQ(viewState.cameraPitch, pitch) << why;
        EXPECT_EQ(viewState.lastPointerX, toX) << why;  // tracked in either mode
    }
    EXPECT_DOUBLE_EQ(AspectRatio(320, 480), 2.0 / 3.0);
    EXPECT_DOUBLE_EQ(AspectRatio(640, 0), 640.0);  // a zero height counts as one
}

TEST(Hud, CountColourThresholdsAndKiloRates) {
    const std::pair<int, Rgba> colours[] = {
        {3999, {0, 204, 255, 255}},  {4000, {0, 255, 0, 255}},    {23999, {0, 255, 0, 255}},
        {24000, {255, 255, 0, 255}}, {47999, {255, 255, 0, 255}}, {48000, {255, 127, 0, 255}},
        {63999, {255, 127, 0, 255}}, {64000, {255, 0, 0, 255}}};
    for (const auto& [count, colour] : colours) {
        EXPECT_EQ(HudCountColour(count), colour) << count;
    }
    EXPECT_EQ(KiloRate(999.9f), 0);       // not rounded up
    EXPECT_EQ(KiloRate(-1500.0f), -1);    // toward zero
    EXPECT_EQ(KiloRate(1e12f), 2147483);  // saturated, not overflowed
    EXPECT_EQ(KiloRate(NAN), 0);          // no reading
}

}  // namespace
