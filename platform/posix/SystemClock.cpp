// POSIX clocks behind the program's clock seam: the monotonic clock counts nanoseconds, and the
// tick count is taken from it.
#include <ctime>

#include "platform/Clock.h"

namespace {

int64_t Nanoseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

int64_t MonotonicNanoseconds() {
    return Nanoseconds(CLOCK_MONOTONIC);
}

int64_t SystemProcessCpuNanoseconds() {
    return Nanoseconds(CLOCK_PROCESS_CPUTIME_ID);
}

bool SystemFrequency(int64_t* frequency) {
    *frequency = 1000000000;
    return true;
}

uint32_t SystemTickCount() {
    // Truncation to 32 bits is the wrap that callers expect of a tick count.
    return static_cast<uint32_t>(MonotonicNanoseconds() / 1000000);
}

int64_t SystemCalendarSeconds() {
    return static_cast<int64_t>(std::time(nullptr));
}

}  // namespace

const ClockSource kSystemClock = {SystemFrequency, MonotonicNanoseconds, SystemTickCount,
                                  SystemCalendarSeconds, SystemProcessCpuNanoseconds};
