// Turn accounting and the frame-time histogram behind benchmark mode's result line.
#include "app/OrbitReport.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/FrameClock.h"

std::FILE* orbitReportStream = stdout;

namespace {

constexpr int kBuckets = kOrbitBucketsPerOctave * kOrbitOctaves;
constexpr double kOrbitSeconds = 360.0 / kBenchmarkYawRate;

// The turn in progress. Static: nothing is allocated per frame, and the size is the same at any
// frame rate.
struct Turn {
    int32_t orbit;
    int32_t particles;
    int32_t frames;
    double seconds;
    double phase;  // seconds into the orbit's current turn, carried across turns
    double shortestMs;
    double longestMs;
    uint32_t buckets[kBuckets];
} turn = {0, 0, 0, 0, 0, HUGE_VAL, 0, {}};

// The completed turns that the run's summary covers: those since the last count change, less
// the first. Static as well; a run longer than kMaxRunTurns (five days) is summed up over its
// first kMaxRunTurns turns.
constexpr int kMaxRunTurns = 65536;
struct Run {
    int32_t particles;  // the count of the turns kept
    bool skipNext;      // the next completed turn follows an entry or a count change
    int32_t turns;
    double fps[kMaxRunTurns];
    int64_t kps[kMaxRunTurns];
    double frameMsP99[kMaxRunTurns];
} run = {0, true, 0, {}, {}, {}};

double FramesPerSecond(const OrbitResult& r) {
    return r.frames / r.seconds;
}

// Truncated, as the HUD's.
int64_t KiloParticlesPerSecond(const OrbitResult& r) {
    return static_cast<int64_t>(r.particles * FramesPerSecond(r)) / 1000;
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
        run.fps[run.turns] = FramesPerSecond(r);
        run.kps[run.turns] = KiloParticlesPerSecond(r);
        run.frameMsP99[run.turns] = r.frameMsP99;
        run.turns += 1;
    }
}

// The nearest-rank median of the first `count` values, which it reorders.
template <typename T>
T Median(T* values, int count) {
    T* middle = values + (count - 1) / 2;
    std::nth_element(values, middle, values + count);
    return *middle;
}

void StartTurn(int particles, double phase) {
    turn.particles = particles;
    turn.frames = 0;
    turn.seconds = 0;
    turn.phase = phase;
    turn.shortestMs = HUGE_VAL;
    turn.longestMs = 0;
    std::memset(turn.buckets, 0, sizeof(turn.buckets));
}

int BucketOf(double ms) {
    if (!(ms > kOrbitShortestFrameMs)) {
        return 0;
    }
    const double index = std::floor(std::log2(ms / kOrbitShortestFrameMs) * kOrbitBucketsPerOctave);
    return static_cast<int>(std::min(index, static_cast<double>(kBuckets - 1)));
}

// The nearest-rank percentile: the frame time that `fraction` of the turn's frames do not
// exceed, read as its bucket's geometric middle and kept within the times actually seen.
double Percentile(double fraction) {
    const auto rank = static_cast<int64_t>(std::ceil(fraction * turn.frames));
    int64_t seen = 0;
    int bucket = 0;
    while (bucket < kBuckets - 1 && (seen += turn.buckets[bucket]) < rank) {
        ++bucket;
    }
    const double middle =
        kOrbitShortestFrameMs * std::exp2((bucket + 0.5) / kOrbitBucketsPerOctave);
    return std::clamp(middle, turn.shortestMs, turn.longestMs);
}

}  // namespace

void ResetOrbitReport() {
    turn.orbit = 0;
    StartTurn(/*particles=*/0, /*phase=*/0);
    run.particles = 0;
    run.skipNext = true;
    run.turns = 0;
}

void RestartOrbitTurn() {
    StartTurn(turn.particles, /*phase=*/0);
}

bool CountOrbitFrame(float frameSeconds, int particles, OrbitResult* result) {
    if (particles != turn.particles) {
        run.skipNext = true;
        if (turn.frames > 0) {
            StartTurn(particles, /*phase=*/0);
        }
    }
    turn.particles = particles;
    const double ms = frameSeconds * 1000.0;
    turn.frames += 1;
    turn.seconds += frameSeconds;
    turn.phase += frameSeconds;
    turn.shortestMs = std::min(turn.shortestMs, ms);
    turn.longestMs = std::max(turn.longestMs, ms);
    turn.buckets[BucketOf(ms)] += 1;
    if (turn.phase < kOrbitSeconds) {
        return false;
    }
    turn.orbit += 1;
    *result = {turn.orbit,       turn.particles,   turn.frames,   turn.seconds,
               Percentile(0.50), Percentile(0.99), turn.longestMs};
    StartTurn(particles, std::fmod(turn.phase, kOrbitSeconds));
    KeepTurn(*result);
    return true;
}

void PrintOrbitLine(const OrbitResult& r, std::FILE* out) {
    std::fprintf(out,
                 "orbit=%d particles=%d frames=%d seconds=%.2f fps=%.1f kps=%lld "
                 "frame_ms_p50=%.2f frame_ms_p99=%.2f frame_ms_max=%.2f\n",
                 r.orbit, r.particles, r.frames, r.seconds, FramesPerSecond(r),
                 static_cast<long long>(KiloParticlesPerSecond(r)), r.frameMsP50, r.frameMsP99,
                 r.frameMsMax);
    std::fflush(out);
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
