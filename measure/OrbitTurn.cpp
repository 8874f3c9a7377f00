// Turn accounting and the frame-time histogram behind benchmark mode's result line.
#include "measure/OrbitTurn.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "measure/OrbitRate.h"
#include "platform/Clock.h"

namespace {

constexpr int kBuckets = kOrbitBucketsPerOctave * kOrbitOctaves;

// The turn in progress. Static: nothing is allocated per frame, and the size is the same at any
// frame rate.
struct Turn {
    int32_t orbit;
    int32_t particles;
    int32_t width;
    int32_t height;
    int32_t frames;
    double seconds;
    double phase;  // seconds into the orbit's current turn, carried across turns
    double shortestMs;
    double longestMs;
    int64_t cpuStart;  // the process's processor time as the turn began, ns
    uint32_t buckets[kBuckets];
} turn = {0, 0, 0, 0, 0, 0, 0, HUGE_VAL, 0, 0, {}};

// A fresh turn of the workload that the last frame drew, its processor time counted from
// `cpuStart`.
void StartTurn(double phase, int64_t cpuStart = ProcessCpuNanoseconds()) {
    turn.cpuStart = cpuStart;
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

double OrbitFramesPerSecond(const OrbitResult& r) {
    return r.frames / r.seconds;
}

int64_t OrbitKiloParticlesPerSecond(const OrbitResult& r) {
    return static_cast<int64_t>(r.particles * OrbitFramesPerSecond(r)) / 1000;
}

void ResetOrbitTurns() {
    turn.orbit = 0;
    StartTurn(/*phase=*/0);
}

void RestartOrbitTurn() {
    StartTurn(/*phase=*/0);
}

bool CountOrbitFrame(float frameSeconds, int particles, int width, int height,
                     OrbitResult* result) {
    if ((particles != turn.particles || width != turn.width || height != turn.height) &&
        turn.frames > 0) {
        StartTurn(/*phase=*/0);
    }
    turn.particles = particles;
    turn.width = width;
    turn.height = height;
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
    // One reading ends this turn and starts the next, so that no processor time falls between.
    const int64_t cpuNow = ProcessCpuNanoseconds();
    *result = {turn.orbit,       turn.particles,
               turn.frames,      turn.seconds,
               Percentile(0.50), Percentile(0.99),
               turn.longestMs,   width,
               height,
               /*summed=*/false, (cpuNow - turn.cpuStart) / 1e6};
    StartTurn(std::fmod(turn.phase, kOrbitSeconds), cpuNow);
    return true;
}

void PrintOrbitLine(const OrbitResult& r, std::FILE* out) {
    std::fprintf(out,
                 "orbit=%d particles=%d frames=%d seconds=%.2f fps=%.1f kps=%lld "
                 "frame_ms_p50=%.2f frame_ms_p99=%.2f frame_ms_max=%.2f width=%d height=%d "
                 "summed=%d cpu_ms=%.0f\n",
                 r.orbit, r.particles, r.frames, r.seconds, OrbitFramesPerSecond(r),
                 static_cast<long long>(OrbitKiloParticlesPerSecond(r)), r.frameMsP50, r.frameMsP99,
                 r.frameMsMax, r.width, r.height, r.summed ? 1 : 0, r.cpuMs);
    std::fflush(out);
}
