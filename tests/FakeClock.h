// A clock for tests: counter and tick count that move only when the test says so.
#pragma once

#include <cstdint>

#include "platform/Clock.h"

struct FakeClock {
    static inline bool hasCounter = true;
    static inline int64_t counter = 0;  // nanoseconds
    static inline uint32_t ticks = 0;   // milliseconds
    static inline int64_t calendar = 0;

    static void Install(bool withCounter) {
        hasCounter = withCounter;
        counter = 0;
        ticks = 0;
        UseClockSource({
            [](int64_t* frequency) {
                if (hasCounter) {
                    *frequency = 1000000000;
                }
                return hasCounter;
            },
            [] { return counter; },
            [] { return ticks; },
            [] { return calendar; },
        });
    }

    static void Advance(double seconds) {
        counter += static_cast<int64_t>(seconds * 1e9 + 0.5);
        ticks += static_cast<uint32_t>(seconds * 1e3 + 0.5);
    }
};
