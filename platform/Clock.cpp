// The clock seam: the table in use, the platform's own until a test swaps in another. The
// platform's table is in its own file (posix/ or win32/), which the build picks.
#include "platform/Clock.h"

namespace {

// A pointer to the platform's table, not a copy: it is in force from the start, before any
// constructor of another file could read the clock.
ClockSource testClock = {};
const ClockSource* currentClock = &kSystemClock;

}  // namespace

void UseClockSource(const ClockSource& source) {
    testClock = source;
    currentClock = &testClock;
}
void UseSystemClock() {
    currentClock = &kSystemClock;
}

bool QueryCounterFrequency(int64_t* frequency) {
    return currentClock->queryFrequency(frequency);
}
int64_t QueryCounter() {
    return currentClock->queryCounter();
}
uint32_t TickCount() {
    return currentClock->tickCount();
}
int64_t CalendarSeconds() {
    return currentClock->calendarSeconds();
}
int64_t ProcessCpuNanoseconds() {
    return currentClock->processCpuNanoseconds();
}
