// Windows clocks behind the program's clock seam: the performance counter at the frequency the
// system reports, and its millisecond tick count, which the frame timer falls back to on a
// machine whose counter query fails.
#include <ctime>

#include <windows.h>

#include "platform/Clock.h"

namespace {

bool SystemFrequency(int64_t* frequency) {
    LARGE_INTEGER value;
    if (!QueryPerformanceFrequency(&value) || value.QuadPart <= 0) {
        return false;
    }
    *frequency = value.QuadPart;
    return true;
}

int64_t SystemCounter() {
    LARGE_INTEGER value;
    QueryPerformanceCounter(&value);
    return value.QuadPart;
}

uint32_t SystemTickCount() {
    return GetTickCount();  // wraps after about 49.7 days, as callers expect
}

int64_t SystemCalendarSeconds() {
    return static_cast<int64_t>(std::time(nullptr));
}

// FILETIME counts 100 ns units.
int64_t Nanoseconds(const FILETIME& time) {
    const uint64_t units = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<int64_t>(units) * 100;
}

int64_t SystemProcessCpuNanoseconds() {
    FILETIME creation, exit, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user)) {
        return 0;
    }
    return Nanoseconds(kernel) + Nanoseconds(user);
}

}  // namespace

const ClockSource kSystemClock = {SystemFrequency, SystemCounter, SystemTickCount,
                                  SystemCalendarSeconds, SystemProcessCpuNanoseconds};
