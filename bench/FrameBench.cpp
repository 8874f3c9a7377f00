// Whole-frame cost of the running program in a real 640x480 GL window (run under a display):
// the frame, its update and the frame without particles, beside a reference frame that draws
// the same quads from vertex arrays (apart and in turn), and the program's own CPU work. With
// --scaling, also the frame in turn with its reference and the update from 500 to 120000 particles.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include "GlWindow.h"
#include "SteadyState.h"
#include "gl/Display.h"
#include "gl/Scene.h"
#include "program/ProgramState.h"
#include "render/Hud.h"
#include "shell/Callbacks.h"
#include "sim/Effects.h"
#include "sim/Particles.h"
#include "sim/Random.h"
#include "sim/Update.h"

namespace {

constexpr float kStep = kBenchStep;

// A pool after reset and about 40 simulated seconds, when lives are spread and only a trickle
// relaunches per step, as in a long-running fountain. Made once per count, then copied back.
struct SteadyState {
    int count = 0;
    uint32_t random = 0;
    std::vector<Particle> pool;
};

void UseSteadyState(int count) {
    static std::vector<SteadyState> made;
    for (const SteadyState& s : made) {
        if (s.count == count) {
            std::memcpy(particlePool, s.pool.data(), sizeof(Particle) * count);
            randomState = s.random;
            particleCount = count;
            return;
        }
    }
    PrepareSteadyState(count);
    made.push_back({count, randomState, {particlePool, particlePool + count}});
}

// Frames per second and particles per second; the frame time itself is the wall clock, since a
// software renderer draws on threads of its own and glFinish waits for them.
void ReportRates(benchmark::State& state, int count) {
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.SetItemsProcessed(state.iterations() * count);
}

// The idle callback's simulation work with a fixed step, the display callback's drawing, and
// glFinish in place of the swap, which would wait on the display.
void ProgramFrame() {
    UpdateParticles(kStep);
    DrawScene();
    glFinish();
}

// The program frame without its particle pass: the update runs on the full count, the scene is
// drawn with a count of 0, so floor and HUD are drawn and no quad (the count line prints "0"
// instead of the count, a few glyphs fewer). Leaves the camera, the sprite texture, its
// environment and the additive blend in place for particles.
void RestOfFrame() {
    const int count = particleCount;
    UpdateParticles(kStep);
    particleCount = 0;
    DrawScene();
    particleCount = count;
}

struct ReferenceVertex {
    float s, t;
    float red, green, blue, alpha;
    float x, y, z;
};

// The same frame with the particle quads drawn from client-side vertex arrays rebuilt from the
// pool every frame, after the rest of the frame; only the depth mask, which the particle pass
// keeps off, is turned off again for the quads. `vertices` holds four per particle.
void ReferenceFrame(std::vector<ReferenceVertex>& vertices) {
    static constexpr float kCornerS[4] = {0, 1, 1, 0};
    static constexpr float kCornerT[4] = {0, 0, 1, 1};
    const int count = particleCount;
    RestOfFrame();

    const float h = static_cast<float>(kSpriteHalfSize);
    float offset[4][3];
    for (int axis = 0; axis < 3; ++axis) {
        const float right = viewMatrix[axis];
        const float up = viewMatrix[4 + axis];
        offset[0][axis] = h * (-right - up);
        offset[1][axis] = h * (right - up);
        offset[2][axis] = h * (right + up);
        offset[3][axis] = h * (up - right);
    }
    ReferenceVertex* v = vertices.data();
    for (int i = 0; i < count; ++i) {
        const Particle& p = particlePool[i];
        for (int corner = 0; corner < 4; ++corner, ++v) {
            *v = {kCornerS[corner],
                  kCornerT[corner],
                  p.red,
                  p.green,
                  p.blue,
                  p.lifeFraction,
                  p.x + offset[corner][0],
                  p.y + offset[corner][1],
                  p.z + offset[corner][2]};
        }
    }

    glDepthMask(GL_FALSE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    const GLsizei stride = sizeof(ReferenceVertex);
    glTexCoordPointer(2, GL_FLOAT, stride, &vertices[0].s);
    glColorPointer(4, GL_FLOAT, stride, &vertices[0].red);
    glVertexPointer(3, GL_FLOAT, stride, &vertices[0].x);
    glDrawArrays(GL_QUADS, 0, count * 4);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDepthMask(GL_TRUE);
    glFinish();
}

void BM_ProgramFrame(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    UseSteadyState(count);
    for (auto _ : state) {
        ProgramFrame();
    }
    ReportRates(state, count);
}

void BM_ReferenceArrays(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    UseSteadyState(count);
    std::vector<ReferenceVertex> vertices(static_cast<size_t>(count) * 4);
    for (auto _ : state) {
        ReferenceFrame(vertices);
    }
    ReportRates(state, count);
}

// Program frame minus this is the particle pass.
void BM_RestOfFrame(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    UseSteadyState(count);
    for (auto _ : state) {
        RestOfFrame();
        glFinish();
    }
    ReportRates(state, count);
}

void BM_Update(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    UseSteadyState(count);
    for (auto _ : state) {
        UpdateParticles(kStep);
        benchmark::ClobberMemory();
    }
    ReportRates(state, count);
}

struct Clocks {
    double wall;     // seconds
    double process;  // seconds of CPU, all threads
};

Clocks Now() {
    timespec wall;
    timespec process;
    clock_gettime(CLOCK_MONOTONIC, &wall);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &process);
    return {wall.tv_sec + wall.tv_nsec * 1e-9, process.tv_sec + process.tv_nsec * 1e-9};
}

// Program and reference frames in turn, each timed on its own: on a shared machine whose load
// drifts, both see the same load, so their ratio holds where separate runs disagree. Reports
// program / reference for the wall clock and for the process's CPU time.
void BM_ProgramOverReference(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    UseSteadyState(count);
    std::vector<ReferenceVertex> vertices(static_cast<size_t>(count) * 4);
    Clocks program = {0, 0};
    Clocks reference = {0, 0};
    for (auto _ : state) {
        const Clocks t0 = Now();
        ProgramFrame();
        const Clocks t1 = Now();
        ReferenceFrame(vertices);
        const Clocks t2 = Now();
        program.wall += t1.wall - t0.wall;
        program.process += t1.process - t0.process;
        reference.wall += t2.wall - t1.wall;
        reference.process += t2.process - t1.process;
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["program_ms"] = program.wall / frames * 1e3;
    state.counters["reference_ms"] = reference.wall / frames * 1e3;
    state.counters["ratio_wall"] = program.wall / reference.wall;
    state.counters["ratio_cpu"] = program.process / reference.process;
}

// The program's own CPU work of one frame, without any GL call: the update, the four corners
// of every sprite as the particle pass forms them (double offsets added in double, stored as
// float), and the four HUD lines formatted as Print formats them.
void BM_CpuWork(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    UseSteadyState(count);
    std::vector<float> corners(static_cast<size_t>(count) * 12);
    char lines[4][kTextBufferSize];
    for (auto _ : state) {
        UpdateParticles(kStep);

        double offset[4][3];
        for (int axis = 0; axis < 3; ++axis) {
            const double right = viewMatrix[axis];
            const double up = viewMatrix[4 + axis];
            offset[0][axis] = kSpriteHalfSize * (-right - up);
            offset[1][axis] = kSpriteHalfSize * (right - up);
            offset[2][axis] = kSpriteHalfSize * (right + up);
            offset[3][axis] = kSpriteHalfSize * (up - right);
        }
        float* out = corners.data();
        for (int i = 0; i < count; ++i) {
            const Particle& p = particlePool[i];
            const double x = p.x;
            const double y = p.y;
            const double z = p.z;
            for (int corner = 0; corner < 4; ++corner) {
                *out++ = static_cast<float>(x + offset[corner][0]);
                *out++ = static_cast<float>(y + offset[corner][1]);
                *out++ = static_cast<float>(z + offset[corner][2]);
            }
        }
        benchmark::DoNotOptimize(corners.data());

        const Rgba colour = HudCountColour(particleCount);
        benchmark::DoNotOptimize(colour);
        std::snprintf(lines[0], sizeof(lines[0]), "%d particles", particleCount);
        std::snprintf(lines[1], sizeof(lines[1]), "%3.1f FPS - %d Kp/sec",
                      static_cast<double>(frameStats.fps), KiloRate(frameStats.particlesPerSecond));
        std::snprintf(lines[2], sizeof(lines[2]), "[ Avg: %d Kp/sec ] [ Peak: %d Kp/sec ]",
                      KiloRate(frameStats.averageParticlesPerSecond),
                      KiloRate(frameStats.peakParticlesPerSecond));
        std::snprintf(lines[3], sizeof(lines[3]), "%s",
                      benchmarkMode ? kBenchmarkModeLine : kFreeModeLine);
        benchmark::DoNotOptimize(lines);
        benchmark::ClobberMemory();
    }
    ReportRates(state, count);
}

// Wall-clock time decides and reports the frame; the CPU column is the whole process's CPU time,
// the renderer's threads included, which a busy machine disturbs less than the wall clock.
void FrameCounts(benchmark::internal::Benchmark* b) {
    b->Arg(kStartParticles)->Arg(kMaxParticles)->Unit(benchmark::kMillisecond);
    b->UseRealTime()->MeasureProcessCPUTime();
}

BENCHMARK(BM_ProgramFrame)->Apply(FrameCounts);
BENCHMARK(BM_ReferenceArrays)->Apply(FrameCounts);
BENCHMARK(BM_RestOfFrame)->Apply(FrameCounts);
BENCHMARK(BM_Update)->Apply(FrameCounts);
BENCHMARK(BM_ProgramOverReference)->Apply(FrameCounts);
BENCHMARK(BM_CpuWork)
    ->Arg(kMaxParticles)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// The counts of `make plot`'s scaling picture, registered only when the command line asks for
// them with --scaling, so that a plain run keeps to its two counts. The frame and its reference
// come from the benchmark that times them in turn, so both see the same load at each count.
constexpr int kScalingCounts[] = {500, 2000, 8000, 32000, 64000, 120000};

void RegisterScaling() {
    const std::pair<const char*, void (*)(benchmark::State&)> series[] = {
        {"Scaling/ProgramOverReference", BM_ProgramOverReference},
        {"Scaling/Update", BM_Update},
    };
    for (const auto& [name, function] : series) {
        benchmark::internal::Benchmark* b = benchmark::RegisterBenchmark(name, function);
        for (int count : kScalingCounts) {
            b->Arg(count);
        }
        b->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
    }
}

// Takes --scaling out of the arguments, which the benchmark library would refuse.
bool TakeScalingFlag(int* argc, char** argv) {
    bool found = false;
    int kept = 0;
    for (int i = 0; i < *argc; ++i) {
        if (std::strcmp(argv[i], "--scaling") == 0) {
            found = true;
        } else {
            argv[kept++] = argv[i];
        }
    }
    *argc = kept;
    argv[kept] = nullptr;
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    OpenGlWindow(&argc, argv);
    // The program finds its images relative to its working directory.
    if (chdir(EMBERVANE_DATA_DIR) != 0) {
        std::fprintf(stderr, "frame_bench: cannot enter %s\n", EMBERVANE_DATA_DIR);
        return 1;
    }
    InitScene();
    Reshape(640, 480);
    // The corner arithmetic of BM_CpuWork reads the camera of the last drawn frame.
    DrawScene();
    const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    std::printf("GL renderer: %s\n", renderer.c_str());

    if (TakeScalingFlag(&argc, argv)) {
        RegisterScaling();
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::AddCustomContext("gl_renderer", renderer);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
