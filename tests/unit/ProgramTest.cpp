// The program without a window: the frame step and the system clock under it, keys and menu
// values, the window's own events, camera drags and the choice of the swap interval's extension.
#include <chrono>

#include "ProgramFixture.h"
#include "program/Camera.h"
#include "program/SwapControl.h"

namespace {

// The view as the program starts, taken before any test sets a view of its own.
const ViewState kStartUpView = viewState;

// 640 by 480, the camera at (0, 40, 170) turned 35 degrees about the vertical, the pointer at the
// window's corner.
TEST(ProgramState, TheViewStartsWithTheWindowsSizeAndTheCameraTurned) {
    const ViewState& view = kStartUpView;
    // clang-format off
    const std::tuple<const char*, double, double> fields[] = {
        {"windowWidth", view.windowWidth, 640}, {"windowHeight", view.windowHeight, 480},
        {"cameraPitch", view.cameraPitch, 0},   {"cameraYaw", view.cameraYaw, 35},
        {"cameraRoll", view.cameraRoll, 0},     {"x", view.cameraPosition[0], 0},
        {"y", view.cameraPosition[1], 40},      {"z", view.cameraPosition[2], 170},
        {"lastPointerX", view.lastPointerX, 0}, {"lastPointerY", view.lastPointerY, 0}};
    // clang-format on
    for (const auto& [field, value, expected] : fields) {
        EXPECT_EQ(value, expected) << field;
    }
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

// The statistics, each figure named, so that a difference says which.
std::string StatsText(const FrameStats& s) {
    char text[256];
    std::snprintf(text, sizeof(text),
                  "frames %.9g fps %.9g rate %.9g sum %.9g intervals %d average %.9g peak %.9g",
                  s.framesSinceRefresh, s.fps, s.particlesPerSecond, s.particlesPerSecondSum,
                  s.intervalCount, s.averageParticlesPerSecond, s.peakParticlesPerSecond);
    return text;
}

// Everything a command may change, as text that names what differs: count, random state and
// pool as the simulation script describes them, then the statistics, the view and the mode.
std::string Snapshot() {
    const ViewState& v = viewState;
    char view[256];
    std::snprintf(view, sizeof(view),
                  "\nview %dx%d pitch %.9g yaw %.9g roll %.9g at %.9g %.9g %.9g pointer %d %d "
                  "mode %d",
                  v.windowWidth, v.windowHeight, v.cameraPitch, v.cameraYaw, v.cameraRoll,
                  v.cameraPosition[0], v.cameraPosition[1], v.cameraPosition[2], v.lastPointerX,
                  v.lastPointerY, benchmarkMode);
    return RunStep("add:0") + "\n" + StatsText(frameStats) + view;
}

// Keys in either case and menu entries run their operation and nothing else, in a benchmark turn
// under way: each that acts (an effect, a viewport key) starts the turn afresh, as a count change
// does; keys outside the table and entries of no action keep it.
// The platform's clock itself, against the standard library's: the counter at the frequency it
// reports and the tick count follow real time, and the processor time a busy loop's, each in its
// own unit. Windows counts processor time and ticks in steps of up to 16 ms.
TEST(SystemClock, CountsRealAndProcessorTimeInTheirUnits) {
    int64_t frequency = 0;
    ASSERT_TRUE(kSystemClock.queryFrequency(&frequency));
    ASSERT_GT(frequency, 0);
    const auto start = std::chrono::steady_clock::now();
    const int64_t counter = kSystemClock.queryCounter();
    const int64_t cpu = kSystemClock.processCpuNanoseconds();
    const uint32_t ticks = kSystemClock.tickCount();
    while (kSystemClock.processCpuNanoseconds() - cpu < 50'000'000 &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
    }
    const double elapsed = static_cast<double>(kSystemClock.queryCounter() - counter) * 1e9 /
                           static_cast<double>(frequency);
    const auto reference = std::chrono::duration_cast<std::chrono::nanoseconds>(
                               std::chrono::steady_clock::now() - start)
                               .count();
    EXPECT_GE(kSystemClock.processCpuNanoseconds() - cpu, 50'000'000);
    EXPECT_NEAR(elapsed, static_cast<double>(reference), 1e6);
    EXPECT_NEAR(kSystemClock.tickCount() - ticks, elapsed / 1e6, 16);
}

TEST_F(App, KeysAndMenuEntriesRunTheirOperationAndThoseThatActStartTheTurnAfresh) {
    // Keys, the menu entry by its place from the top (the menu's picture shows its label there;
    // -1 is a value of no entry) and the operation they stand for; the labels' letters are no
    // keys.
    // clang-format off
    const std::tuple<const char*, int, void (*)()> rows[] = {
        {"bB", 2, Burst},                         {"cC", 3, Scatter},
        {"fF", -1, Freeze},                       {"gG", 4, Updraft},
        {"hH", 5, Downdraft},                     {"rR", -1, ResetParticles},
        {"1", -1, [] { ResizeView(320, 240); }},  {"2", -1, [] { ResizeView(640, 480); }},
        {"", 6, EastWind},                        {"", 7, WestWind},
        {"", 1, Nothing},                         {"\x1b =03456789aAvVwWsSdDzZxX\x7f\xff", 0, Nothing}};
    // clang-format on
    const auto inTurn = [this] {
        SetUp();
        Printed({{"n", 100, 62.5}});
    };
    for (const auto& [keys, entry, operation] : rows) {
        const bool acts = operation != Nothing;
        inTurn();
        operation();
        const std::string expected = Snapshot();
        for (const char* key = keys; *key != '\0'; ++key) {
            inTurn();
            EXPECT_EQ(ApplyKey(*key), *key == '1' || *key == '2') << *key;  // the caller reshapes
            EXPECT_EQ(Snapshot(), expected) << *key;
            EXPECT_EQ(Field(Printed({{"", 231, 31.25}}), "frames"), acts ? "231" : "131") << *key;
        }
        inTurn();
        const std::string untouched = Snapshot();
        ApplyMenu(entry < 0 ? -1 : kMenuEntries[entry].value);
        EXPECT_EQ(Snapshot(), entry >= 0 ? expected : untouched) << entry;
        const bool restarts = entry >= 0 && acts;
        EXPECT_EQ(Field(Printed({{"", 231, 31.25}}), "frames"), restarts ? "231" : "131") << entry;
    }
}

TEST_F(App, CountAndBenchmarkKeys) {
    for (const auto& [key, count] : {std::pair{'+', 50500}, std::pair{'-', 49500}}) {
        SetUp();
        particleCount = 50000;
        ApplyKey(key);
        EXPECT_EQ(particleCount, count) << key;
        // Throughput sums, average and peak to 0; the frames counted, fps and rate kept.
        EXPECT_EQ(StatsText(frameStats), StatsText({7, 60, 1920000, 0, 0, 0, 0})) << key;
    }
    particleCount = 51000;
    frameStats.intervalCount = 4;
    ApplyKey('n');
    EXPECT_EQ(benchmarkMode, 1);
    EXPECT_EQ(particleCount, 32000);
    EXPECT_EQ(StatsText(frameStats), StatsText({7, 0, 1920000, 0, 0, 0, 0}));  // fps too
    EXPECT_EQ(viewState.cameraPitch, 0.0f);
    EXPECT_EQ(viewState.cameraYaw, 0.0f);
    EXPECT_EQ(viewState.cameraRoll, 0.0f);
    ApplyKey('+');
    viewState.cameraYaw = 123;
    ApplyKey('N');
    EXPECT_EQ(benchmarkMode, 0);
    EXPECT_EQ(particleCount, 51000);         // the count from before
    EXPECT_EQ(viewState.cameraYaw, 123.0f);  // the orbit's angle stays
}

// The window's own events: a new size drops the turn in progress, as a count change does, and so
// does a time in which no frame was drawn, which the next frame's step leaves out; a report that
// the window shows while it does changes nothing.
TEST_F(App, AResizeOrAHiddenWindowStartsTheTurnAfreshARepeatedReportKeepsIt) {
    Printed({{"n", 100, 62.5}});
    ResizeView(800, 600);
    EXPECT_EQ(viewState.windowWidth, 800);
    EXPECT_EQ(viewState.windowHeight, 600);
    const std::string resized = Printed({{"", 231, 31.25}});
    EXPECT_EQ(Field(resized, "frames"), "231");
    EXPECT_EQ(Field(resized, "width"), "800");

    SetUp();
    Printed({{"n", 100, 62.5}});
    EXPECT_FALSE(ShowWindow(true));  // shown already: the turn goes on
    EXPECT_EQ(Field(Printed({{"", 31, 31.25}}), "frames"), "131");
    EXPECT_TRUE(ShowWindow(false));
    EXPECT_FALSE(ShowWindow(false));
    counter += 20'000'000'000;  // 20 s hidden: no idle calls
    EXPECT_TRUE(ShowWindow(true));
    Frames(7, 0.03125);  // the statistics count from the return: 6 frames in 0.21875 s
    EXPECT_FLOAT_EQ(frameStats.fps, 27.428572f);
    const std::string returned = Printed({{"", 224, 31.25}});
    EXPECT_EQ(Field(returned, "frames"), "231");
    EXPECT_EQ(Field(returned, "frame_ms_max"), "31.25");  // no step of 20 s
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

// The swap interval's extension, from strings as servers give them: whole words only, wherever
// they stand; the setters in the order tried, the reader the first that can read back.
TEST(SwapControl, TheExtensionsAreTakenByWholeNameInTheirOrder) {
    using enum SwapControl;
    const std::tuple<const char*, std::vector<SwapControl>, SwapControl> rows[] = {
        {nullptr, {}, kNone},
        {"", {}, kNone},
        {"GLX_SGI_swap_control GLX_MESA_swap_control GLX_EXT_swap_control",
         {kExt, kMesa, kSgi},
         kExt},
        {"GLX_ARB_create_context GLX_MESA_swap_control", {kMesa}, kMesa},
        {"GLX_SGI_swap_control", {kSgi}, kNone},
        {"GLX_EXT_swap_control_tear GLX_SGI_swap_control", {kSgi}, kNone},
        {"XGLX_EXT_swap_control GLX_MESA_swap_controls", {}, kNone},
        {"GLX_EXT_swap_control_tear GLX_EXT_swap_control", {kExt}, kExt},
    };
    for (const auto& [extensions, setters, reader] : rows) {
        const std::string named = extensions ? extensions : "(none)";
        EXPECT_EQ(SwapSetters(extensions), setters) << named;
        EXPECT_EQ(SwapReader(extensions), reader) << named;
    }
}

}  // namespace
