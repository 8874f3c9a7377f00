// Benchmark mode's result line: one line on standard output for each full turn of the camera's
// orbit, with the turn's frame rate, throughput and frame-time percentiles, so that a run can be
// kept and compared. No GL here; the frame clock feeds it.
#pragma once

#include <cstdint>
#include <cstdio>

// Frame times are counted in buckets 1/64 of an octave wide, from 1 microsecond up to about
// 65 seconds: a percentile read back as its bucket's geometric middle is within 0.55% of the
// true frame time, whatever the frame rate, in a table of fixed size.
constexpr int kOrbitBucketsPerOctave = 64;
constexpr int kOrbitOctaves = 26;
constexpr double kOrbitShortestFrameMs = 0.001;

// One turn's figures, as the line prints them.
struct OrbitResult {
    int32_t orbit;      // turns completed since benchmark mode was entered, from 1
    int32_t particles;  // the count during the whole turn
    int32_t frames;
    double seconds;  // the turn's frame steps added up
    double frameMsP50;
    double frameMsP99;
    double frameMsMax;
};

// Forgets the unfinished turn and the run's completed ones, and numbers the next turn 1:
// entering and leaving benchmark mode.
void ResetOrbitReport();

// Drops the unfinished turn and starts a fresh one with the next frame, keeping the numbering:
// anything that changes what a frame draws (an effect, a menu entry, the viewport, the window's
// size), so that no line mixes two workloads.
void RestartOrbitTurn();

// Counts one benchmark frame of `frameSeconds` (the frame clock's step) at `particles`. A count
// other than the turn's starts a fresh turn with this frame. Returns true, with the result, when
// this frame completes a turn: the steps added up reach the orbit's 7.2 seconds, with what runs
// past the turn carried into the next, so that turns stay in step with the camera.
bool CountOrbitFrame(float frameSeconds, int particles, OrbitResult* result);

// Writes the line, fields in this order, and flushes it:
// orbit=3 particles=32000 frames=249 seconds=7.20 fps=34.6 kps=1106 frame_ms_p50=28.31
// frame_ms_p99=35.54 frame_ms_max=38.63
void PrintOrbitLine(const OrbitResult& result, std::FILE* out);

// Writes the run's one-line result and flushes it, when benchmark mode ends (the "N" key, or the
// window closed while in it):
// summary particles=32000 turns=5 fps_median=33.9 kps_median=1083 kps_min=1044 kps_max=1170
// frame_ms_p99_median=35.54
// It covers the completed turns at `particles`, the count in force, since the count was last
// changed, less the first one after entering benchmark mode or after a count change, which
// carries that change's settling. Each median is by nearest rank,
// so it is one turn's own printed figure. With no such turn: "summary particles=32000 turns=0".
void PrintOrbitSummary(int particles, std::FILE* out);

// Where the frame clock prints each completed turn: standard output unless a test redirects it.
extern std::FILE* orbitReportStream;
