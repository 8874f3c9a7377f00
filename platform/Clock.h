// The program's clocks: a high-resolution counter, a wrapping millisecond tick count and the
// calendar time. Everything that reads time goes through here, so tests can swap in their own.
#pragma once

#include <cstdint>

// The clock functions in use. Every member is set; a test replaces the whole table and puts the
// system one back with UseSystemClock.
struct ClockSource {
    // Counter ticks per second; returns false (and leaves *frequency alone) when there is no
    // high-resolution counter.
    bool (*queryFrequency)(int64_t* frequency);
    // Current counter value, increasing monotonically at the frequency above.
    int64_t (*queryCounter)();
    // Milliseconds since an arbitrary origin; wraps around after about 49.7 days.
    uint32_t (*tickCount)();
    // Whole seconds since 1970-01-01 00:00 UTC.
    int64_t (*calendarSeconds)();
    // The processor time that this process has used, user and system, all its threads (the
    // software renderer's too), in nanoseconds.
    int64_t (*processCpuNanoseconds)();
};

// The platform's clocks: on POSIX the monotonic clock (nanoseconds, frequency 10^9), on Windows
// the performance counter at the frequency it reports, and the system's tick count.
extern const ClockSource kSystemClock;

void UseClockSource(const ClockSource& source);
void UseSystemClock();

bool QueryCounterFrequency(int64_t* frequency);
int64_t QueryCounter();
uint32_t TickCount();
int64_t CalendarSeconds();
int64_t ProcessCpuNanoseconds();
