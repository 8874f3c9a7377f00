// The cost of the four HUD text lines per frame, beside a frame that only clears, in a real
// 640x480 GL window (run under a display).
#include <cstdio>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include "GlWindow.h"
#include "gl/Display.h"
#include "program/ProgramState.h"

namespace {

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
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawHud();
        glFinish();
    }
}
BENCHMARK(BM_HudFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    OpenGlWindow(&argc, argv);
    std::printf("GL renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

    if (!font.Load(EMBERVANE_DATA_DIR "/font.tga", 16, 16)) {
        std::fprintf(stderr, "hud_bench: cannot load the glyph sheet\n");
        return 1;
    }
    // A running fountain's figures, so that every text has its usual length.
    frameStats = {0, 31.4f, 1004800, 3014400, 3, 1004800, 1100000};

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
