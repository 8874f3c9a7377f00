// The program's stopwatch on the platform clock: the high-resolution counter when there is
// one, else the wrapping millisecond tick count.
#pragma once

#include <cstdint>

class Timer {
public:
    Timer() : useHighResolution(1) {}

    // Takes the start reading; falls back to the tick count for good when the counter has no
    // frequency.
    void Start();
    // Seconds since Start or the last Restart.
    float ElapsedSeconds() const;
    // A new start reading; the frequency is not asked again.
    void Restart();

    // The current raw reading: counter ticks, or milliseconds in tick-count mode.
    int64_t Reading() const;
    // Seconds from one raw reading to a later one. In tick-count mode only the low 32 bits
    // count, so a wrap of the tick count between the two still gives the true interval.
    double SecondsBetween(int64_t earlier, int64_t later) const;

    int32_t useHighResolution;  // 1: counter; 0: tick count
    int64_t startCount = 0;     // in tick-count mode only the low 32 bits are used
    float secondsPerTick = 0;   // 1 / counter frequency; unused in tick-count mode
};
