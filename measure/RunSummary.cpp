// The run's table of completed turns and its summary line.
#include "measure/RunSummary.h"

#include <algorithm>
#include <cstdint>

namespace {

// The completed turns that the run's summary covers: those since the last count change, less
// the first. Static, so that nothing is allocated while frames run; a run longer than
// kMaxRunTurns (five days) is summed up over its first kMaxRunTurns turns.
constexpr int kMaxRunTurns = 65536;
struct Run {
    int32_t particles;      // the count of the turns kept
    int32_t lastParticles;  // the count of the last benchmark frame
    bool skipNext;          // the next completed turn follows an entry or a count change
    int32_t turns;
    double fps[kMaxRunTurns];
    int64_t kps[kMaxRunTurns];
    double frameMsP99[kMaxRunTurns];
} run = {0, 0, true, 0, {}, {}, {}};

// The nearest-rank median of the first `count` values, which it reorders.
template <typename T>
T Median(T* values, int count) {
    T* middle = values + (count - 1) / 2;
    std::nth_element(values, middle, values + count);
    return *middle;
}

}  // namespace

void ResetRun() {
    run.particles = 0;
    run.lastParticles = 0;
    run.skipNext = true;
    run.turns = 0;
}

void FollowRunCount(int particles) {
    if (particles != run.lastParticles) {
        run.lastParticles = particles;
        run.skipNext = true;
    }
}

void KeepTurn(const OrbitResult& r) {
    if (r.particles != run.particles) {
        run.particles = r.particles;
        run.turns = 0;
    }
    if (run.skipNext) {
        run.skipNext = false;
        return;
    }
    if (run.turns < kMaxRunTurns) {
        run.fps[run.turns] = OrbitFramesPerSecond(r);
        run.kps[run.turns] = OrbitKiloParticlesPerSecond(r);
        run.frameMsP99[run.turns] = r.frameMsP99;
        run.turns += 1;
    }
}

void PrintOrbitSummary(int particles, std::FILE* out) {
    const int turns = particles == run.particles ? run.turns : 0;
    std::fprintf(out, "summary particles=%d turns=%d", particles, turns);
    if (turns > 0) {
        const int64_t* kps = run.kps;
        std::fprintf(out,
                     " fps_median=%.1f kps_median=%lld kps_min=%lld kps_max=%lld "
                     "frame_ms_p99_median=%.2f",
                     Median(run.fps, turns), static_cast<long long>(Median(run.kps, turns)),
                     static_cast<long long>(*std::min_element(kps, kps + turns)),
                     static_cast<long long>(*std::max_element(kps, kps + turns)),
                     Median(run.frameMsP99, turns));
    }
    std::fprintf(out, "\n");
    std::fflush(out);
}
