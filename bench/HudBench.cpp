// The cost of the four HUD text lines per frame, beside a frame that only clears, in a real
// 640x480 GL window (run under a display).
#include <cstdio>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "GlWindow.h"
#include "text/BitmapFont.h"

namespace {

BitmapFont* hudFont = nullptr;

// Both frames end in glFinish so that the time includes the drawing itself, which a software
// renderer may do on other threads: wall-clock time, not this thread's CPU time, is measured.
void BM_EmptyFrame(benchmark::State& state) {
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
    }
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HudFrame(benchmark::State& state) {
    BitmapFont& font = *hudFont;
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // Print resets the style after each line, so the colour is set before each.
        font.colour = {255, 255, 128, 255};
        font.Print(0, 24, "%d particles", 32000);
        font.colour = {255, 255, 128, 255};
        font.Print(0, 12, "%3.1f FPS - %d Kp/sec", 31.4, 1004);
        font.colour = {255, 255, 128, 255};
        font.Print(220, 12, "[ Avg: %d Kp/sec ] [ Peak: %d Kp/sec ]", 1000, 1100);
        font.colour = {255, 255, 128, 255};
        font.Print(0, 0, "Free mode. (B)urst s(C)atter (F)reeze (R)eset Be(N)chmark +/-");
        glFinish();
    }
}
BENCHMARK(BM_HudFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    OpenGlWindow(&argc, argv, "hud bench");
    std::printf("GL renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

    BitmapFont font;
    if (!font.Load(EMBERVANE_DATA_DIR "/font.tga", 16, 16)) {
        std::fprintf(stderr, "hud_bench: cannot load the glyph sheet\n");
        return 1;
    }
    font.cellSize = 10;
    hudFont = &font;

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    hudFont = nullptr;
    return 0;
}
