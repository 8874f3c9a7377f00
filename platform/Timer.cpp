// The stopwatch's readings and its fall-back to the tick count.
#include "platform/Timer.h"

#include "platform/Clock.h"

namespace {

constexpr double kSecondsPerMillisecond = 0.001;

}  // namespace

void Timer::Start() {
    int64_t frequency = 0;
    if (QueryCounterFrequency(&frequency) && frequency > 0) {
        startCount = QueryCounter();
        secondsPerTick = static_cast<float>(1.0 / static_cast<double>(frequency));
    } else {
        useHighResolution = 0;
        startCount = TickCount();
    }
}

int64_t Timer::Reading() const {
    return useHighResolution ? QueryCounter() : TickCount();
}

double Timer::SecondsBetween(int64_t earlier, int64_t later) const {
    if (useHighResolution) {
        return static_cast<double>(later - earlier) * secondsPerTick;
    }
    const uint32_t ticks = static_cast<uint32_t>(later) - static_cast<uint32_t>(earlier);
    return ticks * kSecondsPerMillisecond;
}

float Timer::ElapsedSeconds() const {
    return static_cast<float>(SecondsBetween(startCount, Reading()));
}

void Timer::Restart() {
    startCount = Reading();
}
