// The run's table of completed turns and its summary line.
#include "measure/RunSummary.h"

#include <algorithm>
#include <cstdint>

namespace {

// The completed turns that the run's summary covers: those since the workload was last set,
// less the first after every change. Static, so that nothing is allocated while frames run; a
// run longer than kMaxRunTurns (five days) is summed up over its first kMaxRunTurns turns.
constexpr int kMaxRunTurns = 65536;
struct Run {
    bool skipNext;  // the next completed turn follows a change of what a frame draws
    int32_t turns;
    double fps[kMaxRunTurns];
    int64_t kps[kMaxRunTurns];
    double frameMsP99[kMaxRunTurns];
} run = {true, 0, {}, {}, {}};

// The nearest-rank median of the first `count` values, which it reorders.
template <typename T>
T Median(T* values, int count) {
    T* middle = values + (count - 1) / 2;
    std::nth_element(values, middle, values + count);
    return *middle;
}

}  // namespace

void ForgetRunTurns() {
    run.turns = 0;
    run.skipNext = true;
}

void SettleNextTurn() {
    run.skipNext = true;
}

bool KeepTurn(const OrbitResult& r) {
    if (run.skipNext) {
        run.skipNext = false;
        return false;
    }
    if (run.turns == kMaxRunTurns) {
        return false;
    }
    run.fps[run.turns] = OrbitFramesPerSecond(r);
    run.kps[run.turns] = OrbitKiloParticlesPerSecond(r);
    run.frameMsP99[run.turns] = r.frameMsP99;
    run.turns += 1;
    return true;
}

void PrintOrbitSummary(int particles, int width, int height, std::FILE* out) {
    const int turns = run.turns;
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
    std::fprintf(out, " width=%d height=%d\n", width, height);
    std::fflush(out);
}
