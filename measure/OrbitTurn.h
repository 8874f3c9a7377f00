// Benchmark mode's turn: the frames of one full turn of the camera's orbit, counted into a
// frame-time histogram, and the one result line that each completed turn prints, with the turn's
// frame rate, throughput and frame-time percentiles, so that a run can be kept and compared. No GL
// here; the frame feeds it.
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
    int32_t width;  // the picture's size during the whole turn, pixels
    int32_t height;
    bool summed;   // the run's summary counts it: set by the caller, from KeepTurn
    double cpuMs;  // the program's processor time during the turn, all its threads
};

// Frames per second over the turn.
double OrbitFramesPerSecond(const OrbitResult& result);
// Thousands of particles per second over the turn, truncated as the HUD's.
int64_t OrbitKiloParticlesPerSecond(const OrbitResult& result);

// Forgets the unfinished turn and numbers the next one 1: entering and leaving benchmark mode.
void ResetOrbitTurns();

// Drops the unfinished turn and starts a fresh one with the next frame, keeping the numbering:
// anything that changes what a frame draws (an effect, a menu entry, the viewport, the window's
// size), so that no line mixes two workloads.
void RestartOrbitTurn();

// Counts one benchmark frame of `frameSeconds` (the frame's step) at `particles`, drawn
// `width` x `height`. A count or size other than the turn's starts a fresh turn with this frame.
// Returns true, with the result, when this frame completes a turn: the steps added up reach the
// orbit's 7.2 seconds, with what runs past the turn carried into the next, so that turns stay in
// step with the camera.
bool CountOrbitFrame(float frameSeconds, int particles, int width, int height, OrbitResult* result);

// Writes the line, fields in this order, and flushes it:
// orbit=3 particles=32000 frames=249 seconds=7.20 fps=34.6 kps=1106 frame_ms_p50=28.31
// frame_ms_p99=35.54 frame_ms_max=38.63 width=640 height=480 summed=1 cpu_ms=9811
// The processor time comes last, after the fields that readers knew before it.
void PrintOrbitLine(const OrbitResult& result, std::FILE* out);
